// Drawing helpers for the sprites that stand in front of the snow: the size
// of a bitmap, and the transparent (masked) blit.
#pragma once

#include <windows.h>

// (0, 0, width, height) of the bitmap; a null bitmap leaves r as it is.
void BitmapRect(RECT* r, HBITMAP bitmap);

// The image where the mask is white, the screen where it is black. The
// image must be pure white wherever the mask is black.
void DrawMasked(HDC dc, HBITMAP mask, HBITMAP image, int x, int y, int w, int h);

// DrawMasked's memory DCs and work bitmap, made once with the scene and
// freed once with it.
void CreateSpriteDrawing();
void DeleteSpriteDrawing();
