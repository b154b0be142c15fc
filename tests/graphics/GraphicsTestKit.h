// What several graphics test files need alike: fixture folders reached through a
// Windows path, GIF pictures of solid frames, the readers' blue-green-red-alpha byte
// order, and a check that GDI work gave back every object and DC it made.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/KK_GdiScope.h"
#include "graphics/XResEntryMgr.h"
#include "plat/gdi.h"
#include "plat/sim_files.h"
#include "plat/sim_gdi.h"
#include "support/GifWriter.h"
#include "support/TempDir.h"
#include "widgets/WidgetTestSupport.h"

namespace gfx_test {

using Bytes = std::vector<uint8_t>;

// A temporary folder, mapped under `prefix` (when given) while it lives.
class Folder : public testing_support::TempDir {
 public:
  explicit Folder(std::string prefix = "") : prefix_(std::move(prefix)) {
    if (!prefix_.empty()) plat::sim::MapPathPrefix(prefix_, path());
  }
  ~Folder() {
    if (!prefix_.empty()) plat::sim::ClearPathPrefixes();
  }
  // Writes the bytes and gives the file's native path.
  std::string Put(const std::string& name, const Bytes& bytes) const {
    Write(name, std::string(bytes.begin(), bytes.end()));
    return *this / name;
  }
  Bytes Get(const std::string& name) const {
    const std::string s = Read(name);
    return Bytes(s.begin(), s.end());
  }

 private:
  std::string prefix_;
};

// 0xAARRGGBB pixels as the readers store them: blue, green, red, alpha.
inline Bytes Bgra(const std::vector<uint32_t>& pixels) {
  Bytes out;
  for (uint32_t p : pixels)
    for (int c = 0; c < 4; ++c) out.push_back(static_cast<uint8_t>(p >> (8 * c)));
  return out;
}

// A w x h image of one palette index at (l, t), with a graphic-control block unless
// told otherwise.
inline testing_support::GifFrameDesc SolidFrame(uint16_t l, uint16_t t, uint16_t w, uint16_t h, uint8_t index,
                                                bool control = true) {
  testing_support::GifFrameDesc f;
  f.left = l, f.top = t, f.width = w, f.height = h;
  f.indices.assign(size_t(w) * h, index);
  f.control = control;
  return f;
}

inline testing_support::GifDesc GifScreen(uint16_t w, uint16_t h, std::vector<uint32_t> table) {
  testing_support::GifDesc g;
  g.width = w, g.height = h;
  g.globalTable = std::move(table);
  return g;
}

// Any bitmap read back as 0x00RRGGBB pixels, rows top-down (a mask reads 0 or white).
inline std::vector<uint32_t> ReadBitmap(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return {};
  struct {
    BITMAPINFO info;
    RGBQUAD more[255];
  } request{};
  request.info.bmiHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint32_t> out(size_t(bm.bmWidth) * size_t(bm.bmHeight));
  KK_WindowDC screen;
  GetDIBits(screen.Get(), bitmap, 0, UINT(bm.bmHeight), out.data(), &request.info, DIB_RGB_COLORS);
  return out;
}

// Live GDI objects and DCs when made (after the process's stock objects exist);
// Check expects the same counts, plus `extraObjects` still held.
class GdiBalance {
 public:
  GdiBalance() {
    GetStockObject(WHITE_BRUSH);
    DeleteDC(CreateCompatibleDC(nullptr));
    objects_ = plat::sim::LiveGdiObjects();
    dcs_ = plat::sim::LiveDeviceContexts();
  }
  void Check(size_t extraObjects = 0) const {
    EXPECT_EQ(plat::sim::LiveGdiObjects(), objects_ + extraObjects);
    EXPECT_EQ(plat::sim::LiveDeviceContexts(), dcs_);
  }

 private:
  size_t objects_ = 0, dcs_ = 0;
};

// A display and a resource manager on it with the magenta key (or another screen and
// key, by Hand); every entry is released at the end.
class ManagerTest : public widget_test::DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    Hand(widget_test::DisplayFormat::Xrgb8888, 0xFF00FF);
  }
  void TearDown() override {
    m_.ReleaseAll();
    DisplayTest::TearDown();
  }
  void Hand(widget_test::DisplayFormat f, uint32_t key) {
    m_.ReleaseAll();
    UseDesktop(f);
    m_.SetDirectDraw(dd_.Get());
    m_.SetColorKey(key);
  }
  XResEntryMgr m_;
};

}  // namespace gfx_test
