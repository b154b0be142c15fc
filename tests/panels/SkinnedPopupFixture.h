// A host window with a skinned pop-up's bitmaps written by the test: the window the
// pop-up floats over, the template registered under its instance, the library's own
// handlers, and the messages the host received.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "panels/SkinnedPopup.h"
#include "plat/sim.h"
#include "support/TempDir.h"

namespace popup_test {

// 0xRRGGBB of the pixel at (x, y).
using PixelFn = std::function<uint32_t(int32_t x, int32_t y)>;
// A 24-bit bottom-up BMP file.
std::string BmpFile(int32_t width, int32_t height, const PixelFn& pixel);

struct HostMessage {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

class PopupTest : public testing::Test {
 public:
  // The WM_USER messages the host received.
  static std::vector<HostMessage>& UserMessages();

 protected:
  static constexpr int32_t kHostX = 100, kHostY = 50, kHostWidth = 800, kHostHeight = 600;
  void SetUp() override;
  void TearDown() override;
  // Writes `name` in the image folder.
  void WriteBmp(const std::string& name, int32_t width, int32_t height, const PixelFn& pixel);
  static void PumpAll();
  testing_support::TempDir dir_;
  HWND host_ = nullptr;
};

}  // namespace popup_test
