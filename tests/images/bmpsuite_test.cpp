// Every file of the BMP test corpus: good files (g) must be shown as the
// independent decoder shows them; questionable (q) and bad (b) files are
// shown the same way or refused. No file may crash the loader, the painter
// or the mask builder, or make the loader read past the file's end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "images/bmp_files.h"
#include "images/bmp_image.h"
#include "images/mask_region.h"
#include "images/picture.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace {

const char kSuite[] = NIVALO_BMPSUITE_DIR;
const char kRefs[] = NIVALO_BMPSUITE_REFS;

struct SuiteFile {
  std::string folder;
  std::string name;  // without .bmp
};

std::vector<SuiteFile> ListSuite() {
  std::vector<SuiteFile> files;
  for (const char* folder : {"g", "q", "b"}) {
    WIN32_FIND_DATAA found;
    const std::string pattern = std::string(kSuite) + "/" + folder + "/*.bmp";
    HANDLE h = FindFirstFileA(pattern.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) continue;
    do {
      std::string name = found.cFileName;
      files.push_back({folder, name.substr(0, name.size() - 4)});
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
  return files;
}

Bytes ReadAll(const std::string& path) {
  Bytes bytes;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return bytes;
  uint8_t buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  fclose(f);
  return bytes;
}

class BmpSuite : public testing::TestWithParam<SuiteFile> {};

TEST_P(BmpSuite, ShownAsTheDecoderShowsItOrRefused) {
  const SuiteFile& file = GetParam();
  auto& boxes = RecordMessageBoxes();
  ResetSettings();
  const std::string path = std::string(kSuite) + "/" + file.folder + "/" + file.name + ".bmp";
  const Bytes bytes = ReadAll(path);
  ASSERT_FALSE(bytes.empty());

  BmpImage guarded = FreshImage();
  const int guardedResult = ReadAtPageEnd(bytes, &guarded);
  FreeBmpImage(&guarded);

  BmpImage image = FreshImage();
  const int loaded = LoadBmpImage(nullptr, path.c_str(), 0, &image);
  EXPECT_EQ(guardedResult, loaded);
  EXPECT_TRUE(boxes.empty());
  const bool good = file.folder == "g" && file.name != "pal8os2";  // core headers are refused
  if (good) {
    EXPECT_EQ(1, loaded);
  }
  if (!loaded) {
    printf("SUITE %s/%s refused\n", file.folder.c_str(), file.name.c_str());
    FreeBmpImage(&image);
    return;
  }

  const int w = PictureWidth(image.info), h = PictureHeight(image.info);
  Canvas canvas;
  MakeCanvas(&canvas, w, h, RGB(1, 2, 3));
  Settings().PictureLayout = 1;
  DrawPicture(nullptr, canvas.dc, &image, w, h);
  GdiFlush();

  // Pixels that differ from a reference by more than rounding.
  auto differing = [&](const Bytes& ref, int* maxDiff) {
    int count = 0;
    *maxDiff = 0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const COLORREF c = canvas.At(x, y);
        const uint8_t* r = &ref[(static_cast<size_t>(y) * w + x) * 3];
        const int d = std::max({std::abs(GetRValue(c) - r[0]), std::abs(GetGValue(c) - r[1]),
                                std::abs(GetBValue(c) - r[2])});
        *maxDiff = std::max(*maxDiff, d);
        count += d > 2;
      }
    }
    return count;
  };
  auto reference = [&](const std::string& folder, const std::string& name) {
    return ReadAll(std::string(kRefs) + "/" + folder + "-" + name + ".rgb");
  };

  const Bytes ref = reference(file.folder, file.name);
  std::string verdict = "no reference";
  if (!ref.empty()) {
    ASSERT_EQ(static_cast<size_t>(w) * h * 3, ref.size()) << "size differs from the decoder's";
    int maxDiff = 0;
    const int off = differing(ref, &maxDiff);
    verdict = off ? "differs from the decoder in " + std::to_string(off) + " pixels (by up to " +
                        std::to_string(maxDiff) + ")"
                  : "as the decoder shows it";
    // The decoder's own reading of the questionable files is not always
    // right (it scales channels of other than 5, 6 and 8 bits short of
    // full, and misreads a 64-byte OS/2 header); the good files must match.
    if (file.folder == "g") {
      EXPECT_EQ(0, off) << verdict;
    }
  }
  // Files that hold the same picture as the plain 8-bit one in other clothes.
  if (file.folder == "q" && (file.name.rfind("pal8os2v2", 0) == 0 || file.name == "pal8offs" ||
                             file.name == "pal8oversizepal")) {
    const Bytes plain = reference("g", "pal8");
    if (!plain.empty()) {
      int maxDiff = 0;
      EXPECT_EQ(0, differing(plain, &maxDiff)) << "not the picture of g/pal8";
      verdict += ", same as g/pal8";
    }
  }
  printf("SUITE %s/%s displayed %dx%d, %s\n", file.folder.c_str(), file.name.c_str(), w, h,
         verdict.c_str());

  // NIVALO_SUITE_DUMP=folder writes what was painted there, to look at.
  if (const char* dump = getenv("NIVALO_SUITE_DUMP")) {
    BmpParts shot;
    shot.width = w;
    shot.height = h;
    shot.bitCount = 24;
    shot.pixels = PackRows(w, h, 24, [&](int x, int y) {
      const COLORREF c = canvas.At(x, y);
      return static_cast<uint32_t>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
    });
    const Bytes out = BmpFile(shot);
    const std::string name = std::string(dump) + "/" + file.folder + "-" + file.name + ".bmp";
    if (FILE* f = fopen(name.c_str(), "wb")) {
      fwrite(out.data(), 1, out.size(), f);
      fclose(f);
    }
  }

  // The same picture as a mask, in every layout.
  for (int layout = 0; layout < 3; ++layout) {
    HRGN edge = UserMaskRegion(&image, kMaskEdge, 320, 200, layout);
    HRGN body = UserMaskRegion(&image, kMaskBody, 320, 200, layout);
    EXPECT_NE(nullptr, edge);
    EXPECT_NE(nullptr, body);
    DeleteObject(edge);
    DeleteObject(body);
  }
  FreeBmpImage(&image);
}

INSTANTIATE_TEST_SUITE_P(Corpus, BmpSuite, testing::ValuesIn(ListSuite()),
                         [](const testing::TestParamInfo<SuiteFile>& info) {
                           std::string name = info.param.folder + "_" + info.param.name;
                           for (char& c : name) {
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

// The corpus lives in the repository: a clone alone must test every file.
TEST(BmpSuiteCorpus, HoldsAllNinetyFiles) { EXPECT_EQ(90u, ListSuite().size()); }

}  // namespace
