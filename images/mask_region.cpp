#include "images/mask_region.h"

namespace {
HRGN edgeRegion = nullptr;
HRGN bodyRegion = nullptr;
}  // namespace

void BuildMaskEdgeRegion(BmpImage*) {}
void BuildMaskBodyRegion(BmpImage*) {}
void BuildBuiltinMaskEdgeRegion() {}
void BuildBuiltinMaskBodyRegion() {}
HRGN MaskBitsToRegion(const BITMAP*) { return CreateRectRgn(0, 0, 0, 0); }

HRGN MaskEdgeRegion() { return edgeRegion; }
HRGN MaskBodyRegion() { return bodyRegion; }

void DeleteMaskRegions() {
  if (edgeRegion) DeleteObject(edgeRegion);
  if (bodyRegion) DeleteObject(bodyRegion);
  edgeRegion = bodyRegion = nullptr;
}
