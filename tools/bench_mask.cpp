// Cost of building the scene with the built-in mask stretched over the
// screen, and of its two mask regions in each layout: placing the mask on
// the screen, and turning the placed bits into a region. Prints how many
// rectangles each region took.
//
//   bench_mask WxH     the screen must be that size (benchmark.sh sees to it)
//   bench_mask store [picture=PATH] [mask=PATH] [layout=N] [flakes=N] [sleigh-speed=N]
//                      stores the defaults so changed, for a run of the real
//                      saver (the screenshots)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench_support.h"
#include "images/mask_region.h"
#include "resources/resource.h"
#include "surface/surface.h"
#include "system/message_box.h"

namespace {

int boxesSeen = 0;
int CountBox(HWND, const char*, const char*, UINT) {
  ++boxesSeen;
  return IDOK;
}

unsigned RegionRectCount(HRGN region) {
  const DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<BYTE> data(size);
  GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data()));
  return reinterpret_cast<RGNDATA*>(data.data())->rdh.nCount;
}

double Median(const std::vector<double>& v) { return Percentile(v, 0.5); }

}  // namespace

// The defaults with the given picture, mask and layout, stored for the saver.
int Store(int argc, char** argv) {
  return StoreSettings([argc, argv](SettingsRecord& s) {
    for (int i = 2; i < argc; ++i) {
      const char* arg = argv[i];
      if (!strncmp(arg, "picture=", 8)) {
        lstrcpynA(s.PicturePath, arg + 8, sizeof s.PicturePath);
      } else if (!strncmp(arg, "mask=", 5)) {
        lstrcpynA(s.MaskPath, arg + 5, sizeof s.MaskPath);
      } else if (!strncmp(arg, "layout=", 7)) {
        s.PictureLayout = atoi(arg + 7);
      } else if (!strncmp(arg, "flakes=", 7)) {
        s.FlakeCount = atoi(arg + 7);
      } else if (!strncmp(arg, "sleigh-speed=", 13)) {
        s.SleighSpeed = atoi(arg + 13);
      }
    }
  }) ? 0 : 1;
}

int main(int argc, char** argv) {
  if (argc > 1 && !strcmp(argv[1], "store")) return Store(argc, argv);
  int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
  if (argc > 1) sscanf(argv[1], "%dx%d", &W, &H);
  SetMessageBoxStandIn(CountBox);
  StoreSettings([](SettingsRecord&) {});  // the defaults: built-in mask, stretched

  // The process's first window pays Wine's one-time costs (window station,
  // X connection, first mapping); a plain full-screen popup takes them first,
  // so that the scene's own figures below are what the saver adds.
  double t0 = NowMs();
  HWND plain = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, W, H,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  UpdateWindow(plain);
  const double firstWindow = NowMs() - t0;
  DestroyWindow(plain);

  // The whole scene, as the saver builds it on start.
  std::vector<double> scene;
  for (int round = 0; round < 5; ++round) {
    t0 = NowMs();
    HWND saver = StartBenchSaver();
    scene.push_back(NowMs() - t0);
    StopBenchSaver(saver);
  }
  printf("screen %dx%d: the process's first window (a plain popup) %.1f ms; then scene creation "
         "with the built-in mask stretched: median %.1f ms (of 5; first %.1f ms)\n",
         Surface().screenWidth ? Surface().screenWidth : W, H, firstWindow, Median(scene), scene[0]);

  HBITMAP mask = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                 MAKEINTRESOURCEA(IDB_MASK_2000),
                                                 IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE));
  HDC source = CreateCompatibleDC(nullptr);
  HBITMAP old = static_cast<HBITMAP>(SelectObject(source, mask));
  for (int layout : {0, 1, 2})
  for (MaskRegionKind kind : {kMaskEdge, kMaskBody}) {
    const char* name = kind == kMaskEdge ? "edge" : "body";
    if (kind == kMaskEdge) printf(" %s:\n", layout == 0 ? "stretched" : layout == 1 ? "centred" : "tiled");
    std::vector<double> placing, joining;
    HRGN region = nullptr;
    for (int round = 0; round < 3; ++round) {
      BITMAP placed;
      t0 = NowMs();
      PlaceMaskBits(source, 640, 490, {W, H, layout, Settings().MaskMaxRects}, kind, &placed);
      placing.push_back(NowMs() - t0);
      if (region) DeleteObject(region);
      t0 = NowMs();
      region = MaskBitsToRegion(&placed, Settings().MaskMaxRects);
      joining.push_back(NowMs() - t0);
      FreeMaskBits(&placed);
    }
    printf("  %s region: placing %.1f ms, to a region %.1f ms; %d rectangles added, region of "
           "%u\n", name, Median(placing), Median(joining), MaskRectCount(),
           RegionRectCount(region));
    DeleteObject(region);
  }
  SelectObject(source, old);
  DeleteDC(source);
  DeleteObject(mask);
  printf("  message boxes: %d\n", boxesSeen);
  return 0;
}
