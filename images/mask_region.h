// A mask laid on the screen and turned into two regions: its black body,
// where snow may grow, and the 2-pixel band under it, where snow settles.
#pragma once

#include <windows.h>

#include <vector>

#include "images/bmp_loader.h"

// How a mask is laid on the screen: over a screen of this size, in the
// picture's layout (0 stretched, 1 centred, 2 tiled, anything else no mask),
// and turned into at most maxRects rectangles.
struct MaskLayout {
  int screenWidth;
  int screenHeight;
  int layout;
  int maxRects;
};

enum MaskRegionKind { kMaskEdge, kMaskBody };

// Each builds one region and stores it (see MaskEdgeRegion, MaskBodyRegion):
// from a user mask loaded into image (owner owns the message boxes), or from
// the built-in mask among the resources of instance.
void BuildMaskEdgeRegion(BmpImage* image, HWND owner, const MaskLayout& laid);
void BuildMaskBodyRegion(BmpImage* image, HWND owner, const MaskLayout& laid);
void BuildBuiltinMaskEdgeRegion(HINSTANCE instance, const MaskLayout& laid);
void BuildBuiltinMaskBodyRegion(HINSTANCE instance, const MaskLayout& laid);

// The union of the black pixels of a 1-bit top-down bitmap description, cut
// short (with a message) once more than maxRects rectangles were added.
// Only the first bmWidth pixels of a row are pixels: a byte whose pixels are
// all black counts as black whatever its bits past the width hold, and no
// rectangle is made for those bits alone.
HRGN MaskBitsToRegion(const BITMAP* placed, int maxRects);

// The union of the rectangles, joined in halves pairwise: the same region as
// OR-ing them one at a time into a growing region, at a fraction of the cost.
HRGN UnionOfRects(const std::vector<RECT>& rects);

// How many rectangles the latest MaskBitsToRegion added.
int MaskRectCount();

// Null until built; a null region counts as empty.
HRGN MaskEdgeRegion();
HRGN MaskBodyRegion();
void DeleteMaskRegions();

// Lays a black-and-white source of w x h pixels (selected into source) on
// the screen as laid says and fills placed with the resulting 1-bit bits,
// drawn for one kind of region. Free with FreeMaskBits.
void PlaceMaskBits(HDC source, int w, int h, const MaskLayout& laid, MaskRegionKind kind,
                   BITMAP* placed);
void FreeMaskBits(BITMAP* placed);

// The same followed by MaskBitsToRegion.
HRGN PlaceMaskRegion(HDC source, int w, int h, const MaskLayout& laid, MaskRegionKind kind);

// A region of the built-in mask (from the resources of instance) or of a
// user mask loaded into image. Null when the source cannot be had (no bitmap
// resource; no index table, after its message, owned by owner).
HRGN BuiltinMaskRegion(HINSTANCE instance, MaskRegionKind kind, const MaskLayout& laid);
HRGN UserMaskRegion(BmpImage* image, HWND owner, MaskRegionKind kind, const MaskLayout& laid);
