// A mask laid on the screen and turned into two regions: its black body,
// where snow may grow, and the 2-pixel band under it, where snow settles.
#pragma once

#include <windows.h>

#include <vector>

#include "images/bmp_loader.h"

// Built from the scene's screen size and PictureLayout; each stores its
// region (see MaskEdgeRegion, MaskBodyRegion).
void BuildMaskEdgeRegion(BmpImage* image);
void BuildMaskBodyRegion(BmpImage* image);
void BuildBuiltinMaskEdgeRegion();
void BuildBuiltinMaskBodyRegion();

// The union of the black pixels of a 1-bit top-down bitmap description, cut
// short (with a message) once more than MaskMaxRects rectangles were added.
// Only the first bmWidth pixels of a row are pixels: a byte whose pixels are
// all black counts as black whatever its bits past the width hold, and no
// rectangle is made for those bits alone.
HRGN MaskBitsToRegion(const BITMAP* placed);

// The union of the rectangles, joined in halves pairwise: the same region as
// OR-ing them one at a time into a growing region, at a fraction of the cost.
HRGN UnionOfRects(const std::vector<RECT>& rects);

// How many rectangles the latest MaskBitsToRegion added.
int MaskRectCount();

// Null until built; a null region counts as empty.
HRGN MaskEdgeRegion();
HRGN MaskBodyRegion();
void DeleteMaskRegions();

enum MaskRegionKind { kMaskEdge, kMaskBody };

// Lays a black-and-white source of w x h pixels (selected into source) on a
// screenWidth x screenHeight screen in the given layout and fills placed with
// the resulting 1-bit bits, drawn for one kind of region. Free with
// FreeMaskBits.
void PlaceMaskBits(HDC source, int w, int h, int screenWidth, int screenHeight, int layout,
                   MaskRegionKind kind, BITMAP* placed);
void FreeMaskBits(BITMAP* placed);

// The same followed by MaskBitsToRegion.
HRGN PlaceMaskRegion(HDC source, int w, int h, int screenWidth, int screenHeight, int layout,
                     MaskRegionKind kind);

// A region of the built-in mask or of a user mask in the record for any
// screen size and layout. Null when the source cannot be had (no bitmap
// resource; no index table, after its message).
HRGN BuiltinMaskRegion(MaskRegionKind kind, int screenWidth, int screenHeight, int layout);
HRGN UserMaskRegion(BmpImage* image, MaskRegionKind kind, int screenWidth, int screenHeight,
                    int layout);
