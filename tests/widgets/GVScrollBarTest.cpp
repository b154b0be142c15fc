#include "widgets/GVScrollBar.h"

#include <gtest/gtest.h>

#include "ScrollBarTestSupport.h"
#include "plat/sim.h"
#include "widgets/GVPushBtn.h"

namespace widget_test {
namespace {

constexpr UINT kHeld = MK_LBUTTON;

TEST(GVScrollBarArithmetic, ThumbOffsetFollowsTheWindowAndStaysOnTheTrack) {
  struct Case { int32_t travel; uint32_t visible, total, first; int32_t offset; };
  const Case cases[] = {
      {100, 10, 50, 40, 100},  // the last page pins the thumb to the end
      {100, 10, 50, 0, 0},     // top
      {100, 10, 5, 0, 0},      // nothing to scroll
      {100, 10, 10, 0, 0},     // exactly one page
      {100, 10, 50, 20, 50},   // 100 x 20 / 40
      {100, 10, 50, 39, 97},   // truncated, not rounded
      {100, 10, 50, 45, 100},  // past the last page: clamped to the end
      {-5, 10, 50, 20, -5},    // a bar shorter than its buttons: negative offsets clamp to the travel
  };
  for (const Case& c : cases)
    EXPECT_EQ(GVScrollBar::ThumbOffset(c.travel, c.visible, c.total, c.first), c.offset)
        << c.travel << " " << c.visible << " " << c.total << " " << c.first;
}

TEST(GVScrollBarArithmetic, DragPositionScalesToAThousandTruncatingAndRefusesNoTravel) {
  const struct { int32_t offset, travel, position; } cases[] = {
      {50, 100, 500}, {-15, 100, -150}, {1, 3, 333}, {-1, 3, -333}};
  for (const auto& c : cases) {
    int32_t pos = 12345;
    EXPECT_TRUE(GVScrollBar::DragPosition(c.offset, c.travel, &pos));
    EXPECT_EQ(pos, c.position) << c.offset << " of " << c.travel;
  }
  int32_t pos = 7;
  EXPECT_FALSE(GVScrollBar::DragPosition(50, 0, &pos));
  EXPECT_FALSE(GVScrollBar::DragPosition(50, -10, &pos));
  EXPECT_EQ(pos, 7);
}

class GVScrollBarTest : public ControlTest {
 protected:
  // L = 100: 152 high, up button 0..20, thumb 20..32 at the top, down button 132..152.
  static constexpr GRect kBarRect{0, 0, kBarWidth, 152};
  static constexpr int32_t kX = kBarWidth / 2;
  int32_t ThumbTop() { return bar_->GetThumb()->GetRect().top; }
  ScrollRecorder target_;
  std::unique_ptr<GVScrollBar> bar_;
};

TEST_F(GVScrollBarTest, DraggingTheThumbSendsThePositionAndMovesTheThumbByTheGrab) {
  bar_ = MakeBar(&target_, kBarRect);
  bar_->SetThumbPos(10, 50, 0);
  ASSERT_EQ(bar_->OnMouseMove(0, GPoint(kX, 25)), 1);  // hover first, as a pointer would
  ASSERT_EQ(bar_->OnLButtonDown(kHeld, GPoint(kX, 25)), 1);  // grab 5
  EXPECT_TRUE(target_.calls.empty()) << "a press on the thumb sends nothing yet";
  EXPECT_EQ(bar_->OnMouseMove(kHeld, GPoint(kX, 75)), 1);
  EXPECT_EQ(ThumbTop(), 70);
  // Above the track: the position is negative, the target refuses it, the thumb stays.
  bar_->OnMouseMove(kHeld, GPoint(kX, 10));
  EXPECT_EQ(target_.calls,
            (std::vector<ScrollCall>{{SB_THUMBTRACK, 500, bar_.get()}, {SB_THUMBTRACK, -150, bar_.get()}}));
  EXPECT_EQ(ThumbTop(), 70);
  EXPECT_EQ(bar_->OnLButtonUp(0, GPoint(kX, 75)), 1);
}

TEST_F(GVScrollBarTest, AClickOnTheTrackJumpsTheThumbTenPixelsAboveThePointer) {
  bar_ = MakeBar(&target_, kBarRect);
  bar_->SetThumbPos(10, 50, 0);
  EXPECT_EQ(bar_->OnLButtonDown(kHeld, GPoint(kX, 100)), 1);
  // (100 - 10 - 20) x 1000 / 100
  EXPECT_EQ(target_.calls, (std::vector<ScrollCall>{{SB_THUMBTRACK, 700, bar_.get()}}));
  EXPECT_EQ(ThumbTop(), 90);
  EXPECT_EQ(bar_->GetActivePart(), bar_->GetThumb()) << "the pointer is on the moved thumb";
}

TEST_F(GVScrollBarTest, PressesThatSendNothing) {
  bar_ = MakeBar(&target_, kBarRect);
  for (int32_t y : {5, 25, 100, 140}) EXPECT_EQ(bar_->OnLButtonDblClk(kHeld, GPoint(kX, y)), 1) << "double click " << y;
  EXPECT_EQ(bar_->OnLButtonDown(kHeld, GPoint(kX, 5)), 0) << "no move has made the arrow hovered";
  EXPECT_TRUE(target_.calls.empty());
  bar_->OnMouseMove(0, GPoint(kX, 140));
  EXPECT_EQ(bar_->GetActivePart(), bar_->GetDownButton());
  EXPECT_EQ(bar_->OnLButtonDown(kHeld, GPoint(kX, 140)), 1);
  EXPECT_EQ(target_.calls, (std::vector<ScrollCall>{{SB_LINEDOWN, 0, bar_.get()}}));
  // A bar without travel sends nothing when its thumb is dragged.
  target_.calls.clear();
  bar_ = MakeBar(&target_, GRect(0, 0, kBarWidth, 2 * kArrowHeight + kThumbHeight));
  ASSERT_EQ(bar_->FreeTravel(), 0);
  bar_->OnMouseMove(0, GPoint(kX, 25));
  ASSERT_EQ(bar_->OnLButtonDown(kHeld, GPoint(kX, 25)), 1);
  bar_->OnMouseMove(kHeld, GPoint(kX, 28));
  EXPECT_TRUE(target_.calls.empty());
  EXPECT_EQ(ThumbTop(), 20);
}

class GVScrollBarRepeatTest : public GVScrollBarTest {
 protected:
  void SetUp() override {
    GVScrollBarTest::SetUp();
    ASSERT_TRUE(timerWnd_.Open());
    bar_ = MakeBar(&target_, kBarRect, timerWnd_.Handle());
    barRef_ = bar_.get();
  }
  void TearDown() override {
    barRef_ = nullptr;
    timerWnd_.DestroyWindow();
    GVScrollBarTest::TearDown();
  }
  size_t Steps() const { return target_.calls.size(); }
  // The step count after each advance of the clock.
  std::vector<size_t> StepsAfter(std::initializer_list<uint32_t> advances) {
    std::vector<size_t> out;
    for (uint32_t ms : advances) plat::sim::Advance(ms), out.push_back(Steps());
    return out;
  }
  GVScrollBar* barRef_ = nullptr;
  BarTimerWnd timerWnd_{barRef_};
};

TEST_F(GVScrollBarRepeatTest, AHeldArrowStepsAtThePressAfterTheDelayThenEveryPeriod) {
  bar_->OnMouseMove(0, GPoint(kX, 5));
  ASSERT_EQ(bar_->OnLButtonDown(kHeld, GPoint(kX, 5)), 1);
  EXPECT_EQ(Steps(), 1u);
  EXPECT_EQ(StepsAfter({549, 1, 49, 1, 100}), (std::vector<size_t>{1, 2, 2, 3, 5}));
  EXPECT_EQ(target_.calls, std::vector<ScrollCall>(5, {SB_LINEUP, 0, bar_.get()}));
  bar_->OnLButtonUp(0, GPoint(kX, 5));
  plat::sim::Advance(1000);
  EXPECT_EQ(Steps(), 5u) << "the release stops the repeat";
}

TEST_F(GVScrollBarRepeatTest, MovingOffTheArrowPausesTheRepeatAndComingBackResumesIt) {
  bar_->OnMouseMove(0, GPoint(kX, 140));
  ASSERT_EQ(bar_->OnLButtonDown(kHeld, GPoint(kX, 140)), 1);
  plat::sim::Advance(550);
  ASSERT_EQ(Steps(), 2u);
  bar_->OnMouseMove(kHeld, GPoint(kX, 100));  // off the arrow, over the track
  EXPECT_EQ(StepsAfter({500}), std::vector<size_t>{2});
  EXPECT_EQ(bar_->GetActivePart(), bar_->GetDownButton()) << "a pressed arrow stays hovered";
  bar_->OnMouseMove(kHeld, GPoint(kX, 145));
  EXPECT_EQ(StepsAfter({49, 1}), (std::vector<size_t>{2, 3}));
  EXPECT_EQ(target_.calls.back().code, SB_LINEDOWN);
}

TEST_F(GVScrollBarRepeatTest, OtherTimerIdsAndNonArrowPartsAreNotTheBars) {
  EXPECT_EQ(bar_->OnTimer(bar_->GetTimerId() + 1), 0);
  EXPECT_EQ(bar_->OnTimer(bar_->GetTimerId()), 0) << "no arrow is active";
  bar_->OnMouseMove(0, GPoint(kX, 25));
  ASSERT_EQ(bar_->GetActivePart(), bar_->GetThumb());
  EXPECT_EQ(bar_->OnTimer(bar_->GetTimerId()), 0);
  EXPECT_TRUE(target_.calls.empty());
}

TEST_F(GVScrollBarTest, PartsAreLaidOutTopToBottom) {
  bar_ = MakeBar(&target_, kBarRect);
  EXPECT_EQ(bar_->GetUpButton()->GetRect(), GRect(0, 0, 16, 20));
  EXPECT_EQ(bar_->GetTrack()->GetRect(), GRect(0, 20, 16, 132));
  EXPECT_EQ(bar_->GetThumb()->GetRect(), GRect(0, 20, 16, 32));
  EXPECT_EQ(bar_->GetDownButton()->GetRect(), GRect(0, 132, 16, 152));
  EXPECT_EQ(bar_->FreeTravel(), 100);
  EXPECT_TRUE(bar_->GetTrack()->IsStretch());

  GRect inverted;
  inverted.SetRect(0, 100, 16, 50);
  bar_->LayoutParts(inverted);
  EXPECT_EQ(bar_->GetRect(), kBarRect) << "an inverted rectangle changes nothing";
}

TEST_F(GVScrollBarTest, CreateStopsAtTheFirstMissingPart) {
  GVScrollBar bar;
  EXPECT_EQ(bar.Create(&target_, trackPath_, upPath_, dir_ / "absent.bmp", thumbPath_, GVWnd::kNoColorKey, nullptr), 0);
  EXPECT_NE(bar.GetUpButton(), nullptr);
  EXPECT_EQ(bar.GetThumb(), nullptr);
  bar.ReleaseImage();
  EXPECT_EQ(bar.GetUpButton(), nullptr);
}

TEST_F(GVScrollBarTest, DrawPaintsEveryPartWithinTheBarWhateverTheClip) {
  bar_ = MakeBar(&target_, kBarRect);
  bar_->SetThumbPos(10, 50, 20);  // thumb 70..82
  DDSurface back = MakeSurface(dd_, 40, 160);
  ClearSurface(back, 0);
  EXPECT_EQ(bar_->Draw(back.Get(), GRect(0, 0, 1, 1)), 1);
  const auto px = [&](uint32_t rgb) {
    return DevicePixel(DisplayFormat::Xrgb8888, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
  };
  EXPECT_EQ(PixelAt(back, kX, 10), px(kUpRgb));
  EXPECT_EQ(PixelAt(back, kX, 40), px(kTrackRgb));
  EXPECT_EQ(PixelAt(back, kX, 75), px(kThumbRgb));
  EXPECT_EQ(PixelAt(back, kX, 129), px(kTrackRgb));
  EXPECT_EQ(PixelAt(back, kX, 140), px(kDownRgb));
  EXPECT_EQ(PixelAt(back, kBarWidth + 2, 75), 0u);
  EXPECT_EQ(bar_->GetDrawnRect(), kBarRect);

  ClearSurface(back, 0);
  bar_->Show(0);
  EXPECT_EQ(bar_->Draw(back.Get(), kBarRect), 1);
  EXPECT_EQ(PixelAt(back, kX, 10), 0u);
}

}  // namespace
}  // namespace widget_test
