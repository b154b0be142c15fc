// Shared set-up of the result, item, mission, prompt and bijou panel tests: every file
// those panels load, written small, behind the fake scene's folder; and a scene whose
// n-th create call fails, so a test reaches the failure of each child in turn.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "graphics/XResEntryMgr.h"
#include "panels/FakePanelScene.h"
#include "platform/GdiFixtures.h"
#include "tables/PanelPaths.h"
#include "widgets/SpriteWidgetFixture.h"

namespace panel_test {

class FailingPanelScene : public FakePanelScene {
 public:
  int32_t failAt = -1;  // the create call (from 0) that gives null; -1 none
  int32_t calls = 0;

  GVTextWnd* CreateTextWnd(const GPoint& p, GSize s, const std::string& t, COLORREF c, int32_t h,
                           int32_t w) override {
    return Pass() ? FakePanelScene::CreateTextWnd(p, s, t, c, h, w) : nullptr;
  }
  GVQLAniWnd* CreateQLAniWnd(const std::string& path, const GPoint& p) override {
    return Pass() ? FakePanelScene::CreateQLAniWnd(path, p) : nullptr;
  }
  GVPSPWnd* CreatePSPWnd(const std::string& path, const GPoint& p, BOOL show) override {
    return Pass() ? FakePanelScene::CreatePSPWnd(path, p, show) : nullptr;
  }
  GVQLSWnd* CreateQLSWnd(const std::string& path, const GPoint& p, BOOL show) override {
    return Pass() ? FakePanelScene::CreateQLSWnd(path, p, show) : nullptr;
  }
  GVBoxWnd* CreateBoxWnd(const GPoint& p, const GSize& s, COLORREF fill, BOOL show, int32_t level) override {
    return Pass() ? FakePanelScene::CreateBoxWnd(p, s, fill, show, level) : nullptr;
  }
  CVPSPPushBtn* CreatePSPPushBtn(const std::string& path, const GPoint& p, BOOL show, int32_t sets) override {
    return Pass() ? FakePanelScene::CreatePSPPushBtn(path, p, show, sets) : nullptr;
  }
  CVQLATextWnd* CreateQLATextWnd(const std::string& path, const GPoint& p, const GSize& s, const GSize& c,
                                 int32_t spacing, int32_t alignment) override {
    return Pass() ? FakePanelScene::CreateQLATextWnd(path, p, s, c, spacing, alignment) : nullptr;
  }
  GVPSPNumberWnd* CreatePSPNumberWnd(const std::string& path, const GPoint& p, const GSize& s, uint32_t style,
                                     int32_t spacing, BOOL show) override {
    return Pass() ? FakePanelScene::CreatePSPNumberWnd(path, p, s, style, spacing, show) : nullptr;
  }
  CVItemWnd* CreateItemWnd() override { return Pass() ? FakePanelScene::CreateItemWnd() : nullptr; }
  GVDDSWnd* CreateHTWnd(int32_t n, const std::string& path, const GSize& s) override {
    return Pass() ? FakePanelScene::CreateHTWnd(n, path, s) : nullptr;
  }

 private:
  bool Pass() { return calls++ != failAt; }
};

class PanelFilesTest : public widget_test::SpriteWidgetTest {
 protected:
  void SetUp() override {
    SpriteWidgetTest::SetUp();
    XResEntryMgr::Global().SetDirectDraw(dd_.Get());
    XResEntryMgr::Global().SetColorKey(GVWnd::kNoColorKey);
    WriteCards();
    const std::pair<const char*, int32_t> sheets[] = {
        {MissionCaptureMarkPath, 2},    {MissionSpecialMarkPath, 2}, {MissionStateMarkPath, 3},
        {PromptYesButtonPath, 12 * 4},  {PromptNoButtonPath, 4 * 4}, {ResultWinLoseIconPath, 2},
        {ResultAutoStartButtonPath, 8}, {ResultExpandButtonPath, 8}, {ResultOkButtonPath, 4},
        {ItemChoiceMarkPath, 2},        {ItemWithdrawButtonPath, 4}, {BijouBackPath, 1},
        {BijouFullPicturePath, 1},      {BijouKindPicturePath, 5},   {BijouCountDigitsPath, 18},
        {ItemChanceIconPath, 12},
    };
    const std::pair<const char*, int32_t> animations[] = {
        {MissionMultiplierAnimPath, 11}, {MissionTwoCardAnimPath, 1}, {PromptTitleAnimPath, 21},
        {PromptEffectAnimPath, 4},       {ResultBackAnimPath, 12},    {BijouKindAnimPath, 5},
    };
    for (const auto& [path, frames] : sheets) WriteSheet(path, frames);
    for (const char* path : {ItemBackPath, PromptCardSidePath, PromptSideMoneyMarkPath})
      Write(Unix(path), testing_support::SolidSpriteChunk(32, 4, 4, 0x00FF00, 0, 0));
    for (const auto& [path, count] : animations) WriteAnimations(path, Numbered(count));
    std::vector<std::string> gain{"+", "dama"};  // not first, so the selection shows
    for (char d = '0'; d <= '9'; ++d) gain.emplace_back(1, d);
    WriteAnimations(BijouGainAnimPath, gain);
  }
  void TearDown() override {
    XResEntryMgr::Global().ReleaseAll();
    SpriteWidgetTest::TearDown();
  }
  struct Placed {
    std::string name;
    GVWnd* wnd;
    GPoint pos;
    BOOL shown;
  };
  static void ExpectPlaced(const std::vector<Placed>& rows) {
    for (const Placed& r : rows) {
      ASSERT_NE(r.wnd, nullptr) << r.name;
      EXPECT_EQ(std::pair(r.wnd->GetPos(), r.wnd->IsVisible()), std::pair(r.pos, r.shown)) << r.name;
    }
  }
  static std::vector<GVWnd*> Order(const std::vector<Placed>& rows) {
    std::vector<GVWnd*> out;
    for (const Placed& r : rows) out.push_back(r.wnd);
    return out;
  }
  // The panel's child list, which is its drawing order.
  static std::vector<GVWnd*> Children(GVWnd& panel) {
    return std::vector<GVWnd*>(panel.GetChildren().begin(), panel.GetChildren().end());
  }
  static void ExpectText(GVTextWnd* text, GSize size, COLORREF colour, UINT format, const std::string& name) {
    ASSERT_NE(text, nullptr) << name;
    EXPECT_EQ(std::tuple(text->GetSize(), text->GetTextColor(), text->GetTextFormat(), text->GetText()),
              std::tuple(size, colour, format, std::string())) << name;
  }
  // Every create call of a panel's Create fails in turn and gives 0 (the sanitizer
  // build sees that nothing made so far leaks); with none failing it gives 1. Returns
  // the number of create calls one Create makes.
  template <class Panel>
  int32_t ExpectEachFailureFails() {
    FailingPanelScene whole;
    Panel complete(&whole);
    EXPECT_EQ(complete.Create(&whole), 1);
    for (int32_t n = 0; n < whole.calls; ++n) {
      FailingPanelScene scene;
      scene.failAt = n;
      Panel panel(&scene);
      EXPECT_EQ(panel.Create(&scene), 0) << "create call " << n;
    }
    return whole.calls;
  }

 private:
  static std::string Unix(std::string path) {
    for (char& c : path)
      if (c == '\\') c = '/';
    return path;
  }
  // The card strip: 50 faces and the back, one grey cell each.
  void WriteCards() {
    constexpr int32_t kCells = 51, kW = 36, kH = 55;
    gdi_test::BmpLayout strip;
    strip.width = kW, strip.height = kH * kCells;
    strip.pixels.assign(size_t(gdi_test::Stride(kW, 24)) * size_t(strip.height), 0x66);
    Write(Unix(CardNormalPicturePath), gdi_test::WriteBmp(strip));
  }
  void WriteSheet(const char* path, int32_t frames) {
    Write(Unix(path), testing_support::PspFile(std::vector(size_t(frames), testing_support::SolidSpriteChunk(
                                                                               32, 4, 4, 0xFF0000, 0, 0))));
  }
  static std::vector<std::string> Numbered(int32_t count) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < count; ++i) names.push_back(std::to_string(i));
    return names;
  }
  void WriteAnimations(const char* path, const std::vector<std::string>& names) {
    std::vector<testing_support::QlaAnimation> set;
    for (const std::string& name : names) {
      set.push_back({.name = name, .frames = std::vector<testing_support::QlaFrame>(2)});
      for (auto& f : set.back().frames) f.parts = {{}};
    }
    Write(Unix(path), testing_support::QlaSetFile(set, testing_support::SolidSpriteChunk(32, 4, 4, 0xFF, 0, 0)));
  }
};

}  // namespace panel_test
