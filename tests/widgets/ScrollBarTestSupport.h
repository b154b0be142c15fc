// Shared pieces of the scroll bar, text view and list view tests: bar part pictures,
// a target recording its scroll codes, and a window handing its WM_TIMER to the bar.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WidgetTestSupport.h"
#include "graphics/XResEntryMgr.h"
#include "plat/winuser.h"
#include "support/TempDir.h"
#include "widgets/GVScrollBar.h"
#include "widgets/GWnd.h"

namespace widget_test {

// Part colours (0xRRGGBB) and sizes: a bar 16 wide with 20-pixel arrows and a 12-pixel
// thumb has a free travel of height - 52.
constexpr uint32_t kTrackRgb = 0x202020;
constexpr uint32_t kUpRgb = 0x00C000;
constexpr uint32_t kDownRgb = 0x0000C0;
constexpr uint32_t kThumbRgb = 0xC00000;
constexpr int32_t kBarWidth = 16;
constexpr int32_t kArrowHeight = 20;
constexpr int32_t kThumbHeight = 12;

// One solid picture of w x h in `rgb`, as a 24-bit BMP file in `dir`.
inline std::string WriteSolidBmp(const testing_support::TempDir& dir, const std::string& name, int32_t w, int32_t h,
                                 uint32_t rgb) {
  BmpPicture pic(w, h, 24, std::vector<uint32_t>(static_cast<size_t>(w * h), rgb));
  const std::vector<uint8_t> bytes = WriteBmp(pic);
  dir.Write(name, std::string(bytes.begin(), bytes.end()));
  return dir / name;
}

struct ScrollCall {
  int32_t code, position; GVWnd* sender;
  bool operator==(const ScrollCall&) const = default;
};

// Answers like the text view: thumb positions outside 0..1000 are refused.
class ScrollRecorder : public GVWnd {
 public:
  std::vector<ScrollCall> calls;
  BOOL OnScroll(int32_t code, int32_t position, GVWnd* sender) override {
    calls.push_back({code, position, sender});
    return code != SB_THUMBTRACK || (position >= 0 && position <= GVScrollBar::kPositionScale);
  }
};

// The bar's timer window: it forwards the bar's timer to the bar.
class BarTimerWnd : public GWnd {
 public:
  explicit BarTimerWnd(GVScrollBar*& bar) : bar_(bar) {}
  LRESULT OnTimer(UINT_PTR id) override {
    if (bar_) bar_->OnTimer(id);
    return 0;
  }
  BOOL Open() {
    std::string className = "BarTimerWnd";
    const auto instance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x5100));
    if (!RegisterWndClass(className, instance, 0, nullptr, nullptr, nullptr)) return 0;
    const GRect rect(0, 0, 10, 10);
    return Create(className, "timer", instance, WS_POPUP, 0, &rect, nullptr, nullptr, nullptr);
  }
 private:
  GVScrollBar*& bar_;
};

// The resource manager on the test's DirectDraw object, the bar part files and a
// surface to draw on.
class ControlTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    XResEntryMgr::Global().SetDirectDraw(dd_.Get());
    trackPath_ = WriteSolidBmp(dir_, "track.bmp", kBarWidth, 8, kTrackRgb);
    upPath_ = WriteSolidBmp(dir_, "up.bmp", kBarWidth * 4, kArrowHeight, kUpRgb);
    downPath_ = WriteSolidBmp(dir_, "down.bmp", kBarWidth * 4, kArrowHeight, kDownRgb);
    thumbPath_ = WriteSolidBmp(dir_, "thumb.bmp", kBarWidth * 4, kThumbHeight, kThumbRgb);
  }
  void TearDown() override {
    plat::sim::ResetWindowSystem();
    DisplayTest::TearDown();
  }
  // A bar at `rect` for `target`.
  std::unique_ptr<GVScrollBar> MakeBar(GVWnd* target, GRect rect, HWND timerWnd = nullptr) {
    auto bar = std::make_unique<GVScrollBar>();
    EXPECT_EQ(bar->Create(target, trackPath_, upPath_, downPath_, thumbPath_, GVWnd::kNoColorKey, timerWnd), 1);
    bar->LayoutParts(rect);
    return bar;
  }
  testing_support::TempDir dir_;
  std::string trackPath_, upPath_, downPath_, thumbPath_;
};

}  // namespace widget_test
