// The message-box tests' fixture: a game window at (3, 3) in a host window, the box's
// bitmaps (each piece and strip frame a colour of its own) in a mapped game folder,
// and boxes run through the modal hook on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "module/CMsgBoxDlg.h"
#include "plat/sim.h"
#include "support/TempDir.h"

namespace msgbox_test {

constexpr const char* kGameFolder = "C:\\Game\\";
constexpr int kHostX = 100;
constexpr int kHostY = 50;
constexpr int kGameOffset = 3;
constexpr int kGameWidth = 800;
constexpr int kGameHeight = 600;
constexpr COLORREF kHeadingColour = 0xCF7F00;

constexpr int kStripFrameWidth = 40;
constexpr int kStripFrameHeight = 20;
// XRGB of frame `frame` (0..3) of the strip "ok", "yes" or "no".
uint32_t StripColour(const std::string& strip, int frame);
// A 24-bit BMP through the sprite library's writer, pixel by pixel (0xRRGGBB).
std::string Bitmap(int width, int height, const std::function<uint32_t(int x, int y)>& colourAt);
inline uint32_t Xrgb(COLORREF c) {
  return static_cast<uint32_t>(GetRValue(c)) << 16 | static_cast<uint32_t>(GetGValue(c)) << 8 | GetBValue(c);
}

struct Capture {
  plat::sim::WindowImage image;
  uint32_t At(int x, int y) const { return image.pixels[static_cast<size_t>(y) * image.width + x]; }
};

// What a box looked like at the first modal wait.
struct Seen {
  HWND dialog = nullptr;
  RECT window{};
  RECT client{};
  RECT button[2]{};  // client coordinates of buttons 1 and 2
  Capture capture;
};

// Client-coordinate centre of button `id` of `dialog`.
POINT ButtonCentre(HWND dialog, int id);

class MsgBoxTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The hook's job at each modal wait: gets the dialog and the number of the call
  // (0 first) for that dialog.
  using Step = std::function<void(HWND dialog, int call)>;
  // Runs a box; `step` is the hook. The first wait is recorded in `seen_`.
  int32_t Show(const std::string& body, int32_t type, uint32_t autoCloseMs, const std::string& heading,
               const Step& step, COLORREF headingColour = kHeadingColour);
  DWORD Elapsed() const;
  void RemoveFixture(const std::string& fileName);
  static Seen Look(HWND dialog);
  testing_support::TempDir dir_;
  HWND host_ = nullptr;
  HWND game_ = nullptr;
  Seen seen_;
  DWORD start_ = 0;
  size_t gdiBefore_ = 0;
  size_t dcsBefore_ = 0;
};

}  // namespace msgbox_test
