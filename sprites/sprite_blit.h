// Drawing helpers for the sprites that stand in front of the snow: loading
// them, and the transparent (masked) blit.
#pragma once

#include <windows.h>

#include "images/bitmap_dc.h"

// A sprite bitmap from the program's resources, as a DIB section: drawing
// from it needs no conversion of a device bitmap.
HBITMAP LoadSprite(HINSTANCE instance, int id);

// The image where the mask is white, the screen where it is black. The
// image must be pure white wherever the mask is black.
void DrawMasked(HDC dc, HBITMAP mask, HBITMAP image, int x, int y, int w, int h);

// Reads a sprite's mask and image once into memory, so that DrawMasked puts
// the sprite together there, with the same pixels as the raster operations
// and none of the cost of selecting the two bitmaps every time. Forget it
// before the bitmaps are deleted.
void PrepareSprite(HBITMAP mask, HBITMAP image);
void ForgetSprite(HBITMAP mask, HBITMAP image);

// DrawMasked's memory DCs and work area, made once with the scene and freed
// once with it (with every prepared sprite).
void CreateSpriteDrawing();
void DeleteSpriteDrawing();

// A 32-bit top-down DIB section of width x height in a DC of its own: what
// sprites are put together and saved in. Empty when it cannot be made; a
// sprite without one is not drawn, and the animation goes on.
BitmapDC MakeSpriteDibDC(int width, int height);
// Makes those DIB sections (CreateDIBSection); a test puts one in place that
// fails. Null puts the real one back.
void SetSpriteDibMaker(DibSectionMaker maker);
