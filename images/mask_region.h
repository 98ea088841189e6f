// A mask laid on the screen and turned into two regions: its black body,
// where snow may grow, and the 2-pixel band under it, where snow settles.
#pragma once

#include <windows.h>

#include <vector>

#include "images/bmp_loader.h"

enum MaskRegionKind { kMaskEdge, kMaskBody };

// How a mask is laid on the screen: over a screen of this size, in the
// picture's layout (0 stretched, 1 centred, 2 tiled, anything else no mask),
// and turned into at most maxRects rectangles. A mask cut short says so in
// a message box; when told is given, only if it is still false, and it is
// then set, so that several masks laid at once say so once.
struct MaskLayout {
  int screenWidth;
  int screenHeight;
  int layout;
  int maxRects;
  bool* told = nullptr;
};

// Adds a region laid for one screen to the mask regions of its kind (see
// MaskEdgeRegion, MaskBodyRegion), moved to that screen's corner (x, y); the
// region is taken over. A null region adds nothing.
void AddMaskRegion(MaskRegionKind kind, HRGN region, int x, int y);

// The union of the black pixels of a 1-bit top-down bitmap description, cut
// short (with a message) once more than maxRects rectangles were added.
// Only the first bmWidth pixels of a row are pixels: a byte whose pixels are
// all black counts as black whatever its bits past the width hold, and no
// rectangle is made for those bits alone.
HRGN MaskBitsToRegion(const BITMAP* placed, int maxRects, bool* told = nullptr);

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
