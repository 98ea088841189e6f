// A mask laid on the screen and turned into two regions: its black body,
// where snow may grow, and the 2-pixel band under it, where snow settles.
#pragma once

#include <windows.h>

#include "images/bmp_image.h"

void BuildMaskEdgeRegion(BmpImage* image);
void BuildMaskBodyRegion(BmpImage* image);
void BuildBuiltinMaskEdgeRegion();
void BuildBuiltinMaskBodyRegion();

// The union of the black pixels of a 1-bit top-down bitmap description, cut
// short (with a message) once more than MaskMaxRects rectangles were added.
HRGN MaskBitsToRegion(const BITMAP* placed);

// Null until built; a null region counts as empty.
HRGN MaskEdgeRegion();
HRGN MaskBodyRegion();
void DeleteMaskRegions();
