#include <gtest/gtest.h>

#include "images/mask_region.h"
#include "scene/scene_state.h"
#include "snow/cover.h"
#include "snow/flakes.h"
#include "snow/snow_support.h"
#include "support/test_support.h"

namespace {

void NoMask(SettingsRecord& s) {
  s.MaskPath[0] = 0;
  s.SleighOn = 0;
  s.SceneryOn = 0;
}

void BuiltinMask(SettingsRecord& s) {
  s.SleighOn = 0;
  s.SceneryOn = 0;
}

HRGN Copy(HRGN r) {
  HRGN c = CreateRectRgn(0, 0, 0, 0);
  if (r) CombineRgn(c, r, nullptr, RGN_COPY);
  return c;
}

void Or(HRGN target, HRGN r) {
  if (r) CombineRgn(target, target, r, RGN_OR);
}

void OrRect(HRGN target, int l, int t, int r, int b) {
  HRGN rect = CreateRectRgn(l, t, r, b);
  CombineRgn(target, target, rect, RGN_OR);
  DeleteObject(rect);
}

// One pixel inside a region, or (-1, -1) for an empty one.
POINT SomePixel(HRGN r) {
  DWORD size = GetRegionData(r, 0, nullptr);
  std::vector<char> buffer(size);
  RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
  GetRegionData(r, size, data);
  if (data->rdh.nCount == 0) return POINT{-1, -1};
  const RECT* first = reinterpret_cast<const RECT*>(data->Buffer);
  return POINT{first->left, first->top};
}

TEST(SnowCover, MeasureScreenTakesTheDeviceSizeAndTheWindowRectangle) {
  HWND saver = StartSaver(NoMask);
  const SceneState& scene = Scene();
  HDC dc = GetDC(saver);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), scene.screenWidth);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), scene.screenHeight);
  ReleaseDC(saver, dc);
  EXPECT_EQ(scene.workingDC, GetDC(saver)) << "the window's own DC";
  EXPECT_EQ(0, scene.windowRect.left);
  EXPECT_EQ(0, scene.windowRect.top);
  EXPECT_EQ(scene.screenWidth, scene.windowRect.right);
  EXPECT_EQ(scene.screenHeight, scene.windowRect.bottom);
  StopSaver(saver);
}

TEST(SnowCover, WithoutAMaskTheNullRegionsActAsEmpty) {
  HWND saver = StartSaver(NoMask);
  const SceneState& scene = Scene();
  EXPECT_EQ(nullptr, MaskEdgeRegion());
  EXPECT_EQ(nullptr, MaskBodyRegion());
  const int w = scene.screenWidth, h = scene.screenHeight;
  HRGN band = CreateRectRgn(0, h, w, h + 14);
  HRGN room = CreateRectRgn(0, h - 40, w, h + 14);
  EXPECT_TRUE(EqualRgn(band, scene.coverRegion));
  EXPECT_TRUE(EqualRgn(room, scene.roomRegion));
  DeleteObject(band);
  DeleteObject(room);
  StopSaver(saver);
}

TEST(SnowCover, TheFourCombinationsOfMaskAndGround) {
  HWND saver = StartSaver(BuiltinMask);
  SceneState& scene = Scene();
  ASSERT_NE(nullptr, MaskEdgeRegion());
  ASSERT_NE(nullptr, MaskBodyRegion());
  const int w = scene.screenWidth, h = scene.screenHeight;
  for (int onMask = 0; onMask < 2; ++onMask) {
    for (int onGround = 0; onGround < 2; ++onGround) {
      Settings().SnowOnMask = onMask;
      Settings().SnowOnGround = onGround;
      BuildCover();
      BuildRoom();
      HRGN cover = CreateRectRgn(0, 0, 0, 0);
      HRGN room = CreateRectRgn(0, 0, 0, 0);
      if (onMask) Or(cover, MaskEdgeRegion());
      if (onGround) {
        OrRect(cover, 0, h, w, h + 14);
        OrRect(room, 0, h - 40, w, h + 14);
        Or(room, MaskBodyRegion());
      }
      EXPECT_TRUE(EqualRgn(cover, scene.coverRegion)) << onMask << onGround;
      EXPECT_TRUE(EqualRgn(room, scene.roomRegion)) << onMask << onGround;
      DeleteObject(cover);
      DeleteObject(room);
    }
  }
  StopSaver(saver);
}

TEST(SnowCover, RebuildKeepsGrownSnowAndBuildDiscardsIt) {
  HWND saver = StartSaver(NoMask);
  SceneState& scene = Scene();
  const int h = scene.screenHeight;
  OrRect(scene.coverRegion, 100, h - 2, 107, h);
  RebuildCover();
  EXPECT_TRUE(PtInRegion(scene.coverRegion, 103, h - 1));
  EXPECT_TRUE(PtInRegion(scene.coverRegion, 500, h + 3));
  BuildCover();
  EXPECT_FALSE(PtInRegion(scene.coverRegion, 103, h - 1));
  // With the ground off the clearing is cut out of whatever the cover has.
  Settings().SnowOnGround = 0;
  OrRect(scene.coverRegion, 0, h, 50, h + 30);
  RebuildCover();
  EXPECT_FALSE(PtInRegion(scene.coverRegion, 10, h + 13));
  EXPECT_TRUE(PtInRegion(scene.coverRegion, 10, h + 14));
  StopSaver(saver);
}

TEST(SnowCover, LoweringTheGroundDepthWipesWhatLostItsRoomAndAbove) {
  HWND saver = StartSaver(NoMask);
  SceneState& scene = Scene();
  const int w = scene.screenWidth, h = scene.screenHeight;
  OrRect(scene.coverRegion, 200, h - 38, 207, h - 36);  // snow above the new surface
  OrRect(scene.coverRegion, 300, h - 30, 307, h - 28);  // snow below it
  FillSaver(saver, RGB(255, 255, 255));
  Settings().GroundSnowDepth = 35;
  ApplySnowDepth(35, 40);
  // d = 5: the strip (h - 40 .. h - 36), copies 5 and 10 rows higher.
  Capture c = CaptureSaver(saver);
  for (int x : {0, 1, 500, w - 1}) {
    EXPECT_EQ(0xFFFFFFu, c.At(x, h - 51)) << x;
    for (int y = h - 50; y < h - 35; ++y) EXPECT_EQ(0x808080u, c.At(x, y)) << x << "," << y;
    EXPECT_EQ(0xFFFFFFu, c.At(x, h - 35)) << x;
    EXPECT_EQ(0xFFFFFFu, c.At(x, h - 1)) << x;
  }
  HRGN room = CreateRectRgn(0, h - 35, w, h + 14);
  EXPECT_TRUE(EqualRgn(room, scene.roomRegion));
  DeleteObject(room);
  EXPECT_FALSE(PtInRegion(scene.coverRegion, 203, h - 37));
  EXPECT_TRUE(PtInRegion(scene.coverRegion, 303, h - 29));
  EXPECT_TRUE(PtInRegion(scene.coverRegion, 0, h));
  StopSaver(saver);
}

TEST(SnowCover, WipeReachesSevenRowsAboveForLargeSteps) {
  HWND saver = StartSaver(NoMask);
  const int h = Scene().screenHeight;
  FillSaver(saver, RGB(255, 255, 255));
  Settings().GroundSnowDepth = 20;
  ApplySnowDepth(20, 40);  // d = 20: one copy 7 rows up
  Capture c = CaptureSaver(saver);
  EXPECT_EQ(0xFFFFFFu, c.At(10, h - 48));
  EXPECT_EQ(0x808080u, c.At(10, h - 47));
  EXPECT_EQ(0x808080u, c.At(10, h - 21));
  EXPECT_EQ(0xFFFFFFu, c.At(10, h - 20));
  StopSaver(saver);
}

TEST(SnowCover, RaisingADepthOrTheWindowDepthRepaintsNothing) {
  HWND saver = StartSaver(BuiltinMask);
  SceneState& scene = Scene();
  const int w = scene.screenWidth, h = scene.screenHeight;
  FillSaver(saver, RGB(255, 255, 255));
  Settings().GroundSnowDepth = 60;
  ApplySnowDepth(60, 40);
  HRGN room = CreateRectRgn(0, h - 60, w, h + 14);
  Or(room, MaskBodyRegion());
  EXPECT_TRUE(EqualRgn(room, scene.roomRegion));
  // The window depth leaves the room alone; grown snow outside the room
  // goes, the mask's seeds come back.
  OrRect(scene.coverRegion, 5, 5, 12, 7);
  HRGN cover = Copy(scene.coverRegion);
  Settings().WindowSnowDepth = 10;
  ApplySnowDepth(10, 15);
  EXPECT_TRUE(EqualRgn(room, scene.roomRegion));
  EXPECT_FALSE(PtInRegion(scene.coverRegion, 6, 6));
  const POINT edge = SomePixel(MaskEdgeRegion());
  EXPECT_TRUE(PtInRegion(scene.coverRegion, edge.x, edge.y));
  ApplySnowDepth(10, 10);
  Capture c = CaptureSaver(saver);
  for (size_t i = 0; i < c.pixels.size(); i += 997) ASSERT_EQ(0xFFFFFFu, c.pixels[i]) << i;
  DeleteObject(cover);
  DeleteObject(room);
  StopSaver(saver);
}

TEST(SnowCover, GroundSwitchedOffWipesThePileAndTakesAllRoom) {
  HWND saver = StartSaver(NoMask);
  SceneState& scene = Scene();
  const int w = scene.screenWidth, h = scene.screenHeight;
  OrRect(scene.coverRegion, 100, h - 10, 107, h - 8);
  FillSaver(saver, RGB(255, 255, 255));
  Settings().SnowOnGround = 0;
  ApplySnowOnGround(0, 1);
  Capture c = CaptureSaver(saver);
  EXPECT_EQ(0xFFFFFFu, c.At(10, h - 41));
  EXPECT_EQ(0x808080u, c.At(10, h - 40));
  EXPECT_EQ(0x808080u, c.At(w - 1, h - 1));
  EXPECT_FALSE(PtInRegion(scene.coverRegion, 103, h - 9));
  EXPECT_FALSE(PtInRegion(scene.coverRegion, 10, h + 1));
  HRGN empty = CreateRectRgn(0, 0, 0, 0);
  EXPECT_TRUE(EqualRgn(empty, scene.roomRegion));
  EXPECT_TRUE(EqualRgn(empty, scene.coverRegion));
  ApplySnowOnGround(0, 0);
  Settings().SnowOnGround = 1;
  ApplySnowOnGround(1, 0);
  EXPECT_TRUE(PtInRegion(scene.coverRegion, 10, h + 1));
  EXPECT_TRUE(PtInRegion(scene.roomRegion, 10, h - 40));
  DeleteObject(empty);
  StopSaver(saver);
}

TEST(SnowCover, MaskSwitchedOffKeepsOnlySnowInTheRoom) {
  HWND saver = StartSaver(BuiltinMask);
  SceneState& scene = Scene();
  const int h = scene.screenHeight;
  const POINT body = SomePixel(MaskBodyRegion());
  HRGN edgeOnly = Copy(MaskEdgeRegion());
  CombineRgn(edgeOnly, edgeOnly, scene.roomRegion, RGN_DIFF);
  const POINT edge = SomePixel(edgeOnly);
  ASSERT_GE(body.x, 0);
  ASSERT_GE(edge.x, 0);
  OrRect(scene.coverRegion, body.x, body.y, body.x + 1, body.y + 1);  // grown into the mask
  FillSaver(saver, RGB(255, 255, 255));
  Settings().SnowOnMask = 0;
  ApplySnowOnMask(0, 1);
  EXPECT_TRUE(PtInRegion(scene.coverRegion, body.x, body.y));
  EXPECT_FALSE(PtInRegion(scene.coverRegion, edge.x, edge.y));
  EXPECT_TRUE(PtInRegion(scene.coverRegion, 3, h + 3));
  Capture c = CaptureSaver(saver);
  EXPECT_EQ(0xFFFFFFu, c.At(body.x, body.y)) << "snow in the room stays on the screen";
  EXPECT_EQ(0xFFFFFFu, c.At(3, h - 3));
  EXPECT_EQ(0x808080u, c.At(edge.x, edge.y));
  EXPECT_EQ(0x808080u, c.At(3, 3));
  Settings().SnowOnMask = 1;
  ApplySnowOnMask(1, 0);
  EXPECT_TRUE(PtInRegion(scene.coverRegion, edge.x, edge.y));
  DeleteObject(edgeOnly);
  StopSaver(saver);
}

TEST(SnowCover, WithoutASceneTheApplyCallsDoNothing) {
  ApplySnowOnMask(0, 1);
  ApplySnowOnMask(1, 0);
  ApplySnowOnGround(0, 1);
  ApplySnowOnGround(1, 0);
  ApplySnowDepth(35, 40);
  ApplySnowDepth(45, 40);
  EXPECT_EQ(nullptr, Scene().coverRegion);
  EXPECT_EQ(nullptr, Scene().roomRegion);
}

TEST(SnowCover, DefaultsPileUpAlongTheGroundToAboutTheDepth) {
  HWND saver = StartSaver([](SettingsRecord& s) {
    s.SleighOn = 0;
    s.SceneryOn = 0;
    s.FlakeCount = 500;
    s.MaskPath[0] = 0;
  });
  const int h = Scene().screenHeight;
  RunFrames(saver, 1500);
  RECT box;
  GetRgnBox(Scene().coverRegion, &box);
  EXPECT_GE(box.top, h - 40 - 2) << "the cover never grows above its room";
  EXPECT_LE(box.top, h - 10) << "it has grown";
  StopSaver(saver);
}

}  // namespace
