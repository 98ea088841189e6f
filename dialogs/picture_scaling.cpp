#include "dialogs/picture_scaling.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "resources/resource.h"
#include "system/later_messages.h"
#include "system/optional_calls.h"
#include "system/shell_state.h"

namespace {

// A picture control of a dialog template and the resource it shows: the
// controls whose title in the template is a number.
struct TemplatePicture {
  int control;
  int resource;
};

constexpr WORD kNumberFollows = 0xFFFF;

DWORD DwordAt(const WORD* p) {
  DWORD d;
  memcpy(&d, p, sizeof d);
  return d;
}

// Past a name or number of a template: a number is two words, a name runs
// to its terminating zero.
const WORD* SkipNameOrNumber(const WORD* p) {
  if (*p == kNumberFollows) return p + 2;
  while (*p++) {
  }
  return p;
}

const WORD* DwordAligned(const WORD* p) {
  const uintptr_t at = reinterpret_cast<uintptr_t>(p);
  return reinterpret_cast<const WORD*>((at + 3) & ~uintptr_t{3});
}

// The picture controls of an extended dialog template (the one kind the
// resource compiler writes for DIALOGEX), in word offsets: the header's
// style at 6, item count at 8, menu at 13; an item's id at 10, class at 12.
std::vector<TemplatePicture> TemplatePictures(int templateId) {
  std::vector<TemplatePicture> pictures;
  const HINSTANCE instance = Shell().instance;
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(templateId), RT_DIALOG);
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  const WORD* p = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
  if (!p || p[1] != kNumberFollows) return pictures;
  const DWORD style = DwordAt(p + 6);
  const WORD count = p[8];
  p = SkipNameOrNumber(SkipNameOrNumber(p + 13));  // menu, class
  p = SkipNameOrNumber(p);                         // caption
  if (style & DS_SETFONT) p = SkipNameOrNumber(p + 3);  // size, weight, italic and charset; face
  for (WORD i = 0; i < count; ++i) {
    p = DwordAligned(p);
    const int control = static_cast<int>(DwordAt(p + 10));
    p = SkipNameOrNumber(p + 12);
    if (p[0] == kNumberFollows) pictures.push_back({control, p[1]});
    p = SkipNameOrNumber(p);
    const WORD extraBytes = *p++;
    p += (extraBytes + 1) / 2;
  }
  return pictures;
}

HANDLE LoadPicture(int resource, UINT type, int width, int height) {
  return LoadImageA(Shell().instance, MAKEINTRESOURCEA(resource), type, width, height, 0);
}

// A copy of the bitmap with each pixel repeated as a block of scale x scale
// pixels. The system's stretching does not promise that every block comes
// out whole (Wine's does not), so the pixels are repeated here.
HBITMAP Enlarged(HBITMAP original, int scale) {
  BITMAP b;
  if (!GetObjectA(original, sizeof b, &b)) return nullptr;
  const int width = b.bmWidth, height = b.bmHeight;
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof info.bmiHeader, width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  std::vector<uint32_t> blocks(pixels.size() * scale * scale);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, original, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  for (size_t y = 0; y < static_cast<size_t>(height) * scale; ++y) {
    for (size_t x = 0; x < static_cast<size_t>(width) * scale; ++x) {
      blocks[y * width * scale + x] = pixels[y / scale * width + x / scale];
    }
  }
  info.bmiHeader.biWidth = width * scale;
  info.bmiHeader.biHeight = height * scale;
  HBITMAP enlarged = CreateCompatibleBitmap(screen, width * scale, height * scale);
  if (enlarged) SetDIBits(screen, enlarged, 0, height * scale, blocks.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return enlarged;
}

// A bitmap resource at a whole multiple of its size.
HANDLE ScaledBitmap(int resource, int scale) {
  HANDLE original = LoadPicture(resource, IMAGE_BITMAP, 0, 0);
  if (scale == 1 || !original) return original;
  HANDLE scaled = Enlarged(static_cast<HBITMAP>(original), scale);
  DeleteObject(original);
  return scaled;
}

void DeleteImage(UINT type, HANDLE image) {
  if (!image) return;
  if (type == IMAGE_ICON) {
    DestroyIcon(static_cast<HICON>(image));
  } else {
    DeleteObject(image);
  }
}

// Shows the image in the control and deletes the one it showed, unless that
// is an icon the control loaded itself: those are the system's, shared.
void Replace(HWND control, UINT type, HANDLE image, bool first) {
  HANDLE shown = reinterpret_cast<HANDLE>(
      SendMessageA(control, STM_SETIMAGE, type, reinterpret_cast<LPARAM>(image)));
  if (shown != image && !(first && type == IMAGE_ICON)) DeleteImage(type, shown);
}

UINT ImageType(HWND control) {
  switch (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) {
    case SS_BITMAP: return IMAGE_BITMAP;
    case SS_ICON: return IMAGE_ICON;
    default: return ~0u;
  }
}

// The program's icon in the caption (small) and the task switcher (big).
void ShowOwnIcons(HWND dialog, int dpi) {
  const struct { WPARAM kind; int metric; } icons[] = {{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}};
  for (const auto& i : icons) {
    const int size = SystemMetricAt(i.metric, dpi);
    HANDLE icon = LoadPicture(IDI_PROGRAM, IMAGE_ICON, size, size);
    DeleteImage(IMAGE_ICON, reinterpret_cast<HANDLE>(
                                SendMessageA(dialog, WM_SETICON, i.kind, reinterpret_cast<LPARAM>(icon))));
  }
}

}  // namespace

void ShowPicturesAt(HWND dialog, int templateId, int dpi, bool first) {
  const int scale = std::max(1, dpi / kUsualPixelsPerInch);
  const int iconSize = SystemMetricAt(SM_CXICON, dpi);
  for (const TemplatePicture& p : TemplatePictures(templateId)) {
    HWND control = GetDlgItem(dialog, p.control);
    const UINT type = ImageType(control);
    if (type == IMAGE_BITMAP) Replace(control, type, ScaledBitmap(p.resource, scale), first);
    if (type == IMAGE_ICON) Replace(control, type, LoadPicture(p.resource, type, iconSize, iconSize), first);
  }
  ShowOwnIcons(dialog, dpi);
}

void DeletePictures(HWND dialog) {
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const UINT type = ImageType(c);
    if (type != ~0u) DeleteImage(type, reinterpret_cast<HANDLE>(SendMessageA(c, STM_SETIMAGE, type, 0)));
  }
  for (WPARAM kind : {ICON_BIG, ICON_SMALL}) {
    DeleteImage(IMAGE_ICON, reinterpret_cast<HANDLE>(SendMessageA(dialog, WM_SETICON, kind, 0)));
  }
}

BOOL FollowNewResolution(HWND dialog, WPARAM wParam, LPARAM lParam) {
  const RECT& r = *reinterpret_cast<const RECT*>(lParam);
  SetWindowPos(dialog, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  PostMessageA(dialog, kShowPicturesMessage, LOWORD(wParam), 0);
  return FALSE;
}
