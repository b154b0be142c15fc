// The game window's screen: built windowed whatever the full-screen flag, handed to the
// resource manager and the effect manager in one order, rebuilt after a mode change or
// a failed present without recursing, and what it shows in each desktop format.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "GameWindowFixture.h"
#include "graphics/KK_FXMan.h"
#include "graphics/XResEntryMgr.h"
#include "plat/time.h"
#include "support/TempDir.h"
#include "widgets/GDDScreen.h"
#include "widgets/WidgetTestSupport.h"

namespace {

using game_window_test::GameWindowFixture;
using plat::sim::DisplayFormat;

int Count(const std::vector<std::string>& steps, const std::string& step) {
  return static_cast<int>(std::count(steps.begin(), steps.end(), step));
}

// A widget that runs a test's action whenever it is drawn.
class ProbeWnd : public GVWnd {
 public:
  explicit ProbeWnd(std::function<void()> onDraw) : onDraw_(std::move(onDraw)) {}
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override {
    if (onDraw_) onDraw_();
    return GVWnd::Draw(target, clip);
  }

 private:
  std::function<void()> onDraw_;
};

// A widget that shows a resource-manager picture by a plain blit.
class PictureWnd : public GVWnd {
 public:
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override {
    ComPtr<IDirectDrawSurface4> picture = XResEntryMgr::Global().GetEntrySurface(GetImage());
    if (!IsVisible() || !picture) return 1;
    const GRect r = GetRect();
    RECT dest{r.left, r.top, r.right, r.bottom};
    RECT src{0, 0, r.Width(), r.Height()};
    target->Blt(&dest, picture.Get(), &src, DDBLT_WAIT, nullptr);
    (void)clip;
    return 1;
  }
};

void Put(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

// A 16 x 16 24-bit BMP of four 8 x 8 blocks in pure colours, which every format keeps
// exactly: red, green over blue, white (rows stored bottom-up).
std::string FourBlockBmp() {
  constexpr uint32_t kSide = 16, kRow = kSide * 3;
  std::string s = "BM";
  Put(s, 54 + kRow * kSide, 4);
  Put(s, 0, 4);
  Put(s, 54, 4);
  for (uint32_t v : {40u, kSide, kSide}) Put(s, v, 4);
  Put(s, 1, 2);
  Put(s, 24, 2);
  for (int i = 0; i < 6; ++i) Put(s, 0, 4);
  for (uint32_t fileRow = 0; fileRow < kSide; ++fileRow) {
    const uint32_t y = kSide - 1 - fileRow;
    for (uint32_t x = 0; x < kSide; ++x)
      Put(s, y < 8 ? (x < 8 ? 0xFF0000u : 0x00FF00u) : (x < 8 ? 0x0000FFu : 0xFFFFFFu), 3);
  }
  return s;
}

class GameWindowScreenTest : public GameWindowFixture {
 protected:
  void TearDown() override {
    XResEntryMgr::Global().ReleaseAll();
    GameWindowFixture::TearDown();
  }
  GDDScreen& Screen() { return *wnd_->Screen(); }
  std::vector<std::string> StepsSince(size_t from) {
    const auto& all = wnd_->ScreenSteps();
    return std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(from), all.end());
  }
  size_t Closes() { return PostedToHost(WM_GAME_CLOSE).size(); }
  void Paint() {
    InvalidateRect(game_, nullptr, FALSE);
    UpdateWindow(game_);
  }
};

TEST_F(GameWindowScreenTest, CreationBuildsAWindowedScreenWhateverTheFlag) {
  plat::sim::ResetDisplay(DisplayFormat::Rgb555);
  Open(1);
  EXPECT_FALSE(Screen().IsFullScreen());
  EXPECT_EQ(Screen().CooperativeWindow(), game_);
  EXPECT_EQ(wnd_->ScreenSteps(), (std::vector<std::string>{"create windowed", "manager", "effects 17"}))
      << "no scene yet, no restore at creation";
  EXPECT_EQ(GetPixelFormatCode(), 17) << "5-5-5 pixels reported as 16 bits still get their own code";
  EXPECT_EQ(XResEntryMgr::Global().GetDirectDraw(), Screen().DirectDraw().Get());
  EXPECT_EQ(XResEntryMgr::Global().GetBackBuffer(), Screen().BackBuffer().Get());
  EXPECT_EQ(XResEntryMgr::Global().GetColorKey(), 0x7C1Fu);
  EXPECT_EQ(scene_->colorKey, 0x7C1F) << "the scene takes the screen's key at every hand-over";
  EXPECT_EQ(plat::sim::CurrentDisplayMode().format, DisplayFormat::Rgb555) << "the desktop mode stays";
}

TEST_F(GameWindowScreenTest, EffectCodeFollowsTheDesktopAndUnusableDesktopsFailCreation) {
  struct Case {
    DisplayFormat format;
    int32_t created;
    int32_t code;
  };
  const Case cases[] = {{DisplayFormat::Rgb565, 1, 16},
                        {DisplayFormat::Rgb555, 1, 17},
                        {DisplayFormat::Xrgb8888, 1, 32},
                        {DisplayFormat::Rgb888, 0, 0},
                        {DisplayFormat::Palette8, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.format));
    plat::sim::ResetDisplay(c.format);
    CreateFXManager(0);
    auto* wnd = new CDorvik2Wnd(&host);
    EXPECT_EQ(wnd->CreateGameWindow(nullptr, hostWnd, "D:\\game\\", "D:\\portal\\", "", GSize(800, 600), 0, 0),
              c.created);
    EXPECT_EQ(GetPixelFormatCode(), c.code);
    delete wnd;
  }
}

TEST_F(GameWindowScreenTest, RebuildHandsOverInOrderAndPostsReadyBeforeTheRepaint) {
  Open(0);
  bool readyBeforeRedraw = false;
  auto* probe = new ProbeWnd([&] { readyBeforeRedraw = !PostedToHost(WM_GAME_SCREEN_READY).empty(); });
  probe->SetRect(GRect(0, 0, 10, 10));
  scene_->AddWnd(probe);
  const size_t from = wnd_->ScreenSteps().size();

  plat::sim::ChangeDisplayMode(800, 600, DisplayFormat::Rgb555);
  const GRect drawn = scene_->Draw(nullptr, GRect());

  EXPECT_EQ(StepsSince(from), (std::vector<std::string>{"create windowed", "scene key", "manager", "restore surfaces",
                                                        "effects 17", "ready posted", "repainted", "redrawn"}));
  EXPECT_TRUE(readyBeforeRedraw);
  EXPECT_EQ(PostedToHost(WM_GAME_SCREEN_READY).size(), 1u);
  EXPECT_EQ(GetPixelFormatCode(), 17) << "made again for the new format";
  EXPECT_EQ(XResEntryMgr::Global().GetDirectDraw(), Screen().DirectDraw().Get());
  EXPECT_EQ(scene_->colorKey, 0x7C1F);
  EXPECT_EQ(scene_->DisplayBitDepth(), 15);
  EXPECT_EQ(Closes(), 0u);
  EXPECT_FALSE(drawn.HasArea()) << "the rebuild's own full redraw left nothing dirty";
}

TEST_F(GameWindowScreenTest, ScreenModeGoesFullScreenOnTheHostWindowAndBack) {
  Open(0);
  IClientInterface* client = wnd_;
  ASSERT_EQ(client->SetScreenMode(1, 800, 600, 0), 0);
  EXPECT_TRUE(Screen().IsFullScreen());
  EXPECT_EQ(Screen().CooperativeWindow(), hostWnd);
  EXPECT_EQ(Screen().ClipWindow(), game_);
  const plat::sim::DisplayMode full = plat::sim::CurrentDisplayMode();
  EXPECT_EQ(full.width, 800);
  EXPECT_EQ(full.height, 600);

  ASSERT_EQ(client->SetScreenMode(0, 800, 600, 0), 0);
  EXPECT_FALSE(Screen().IsFullScreen());
  EXPECT_EQ(plat::sim::CurrentDisplayMode().format, DisplayFormat::Rgb565);
  EXPECT_NE(plat::sim::CurrentDisplayMode().width, 800) << "the desktop's own size is back";
  EXPECT_EQ(Closes(), 0u);
}

TEST_F(GameWindowScreenTest, AFailedPresentRebuildsOnceAndAFailedRebuildPostsOneClose) {
  Open(0);
  size_t from = wnd_->ScreenSteps().size();
  plat::sim::LoseSurfaces();
  plat::sim::FailNextRestore(1);
  Paint();
  EXPECT_EQ(Count(StepsSince(from), "create windowed"), 1) << "the nested repaint presents on the new screen";
  EXPECT_EQ(Closes(), 0u);

  // A redraw inside the rebuild whose present fails gives up its frame.
  from = wnd_->ScreenSteps().size();
  bool armed = true;
  auto* probe = new ProbeWnd([&] {
    if (!wnd_->IsRestoringScreen() || !armed) return;
    armed = false;
    plat::sim::LoseSurfaces();
    plat::sim::FailNextRestore(1);
  });
  probe->SetRect(GRect(0, 0, 10, 10));
  scene_->AddWnd(probe);
  plat::sim::LoseSurfaces();
  plat::sim::FailNextRestore(1);
  Paint();
  EXPECT_EQ(Count(StepsSince(from), "create windowed"), 1);
  EXPECT_EQ(Closes(), 0u);

  plat::sim::LoseSurfaces();
  plat::sim::FailNextRestore(1);
  plat::sim::SetDirectDrawAvailable(false);
  Paint();
  ASSERT_EQ(Closes(), 1u);
  EXPECT_EQ(PostedToHost(WM_GAME_CLOSE)[0].lParam, 1);
  EXPECT_EQ(Screen().DirectDraw().Get(), nullptr);

  // Without a screen the scene draws nothing and asks nothing of it.
  EXPECT_EQ(scene_->Draw(nullptr, GRect()), GRect());
}

TEST_F(GameWindowScreenTest, ScreenReadyPostsOnlyWhenAskedToCheck) {
  Open(0);
  wnd_->OnScreenReady(0);
  EXPECT_EQ(Closes(), 0u);
  EXPECT_TRUE(scene_->IsDirty());
  EXPECT_TRUE(scene_->IsFullRedraw());

  // After a failed rebuild the screen holds no objects, so nothing can be restored.
  plat::sim::SetDirectDrawAvailable(false);
  EXPECT_EQ(wnd_->RestoreScreen(), 0);
  wnd_->OnScreenReady(1);
  EXPECT_EQ(Closes(), 1u);
}

TEST_F(GameWindowScreenTest, ExclusiveModeElsewhereMakesTheDrawWaitAndDrawNothing) {
  Open(0);
  scene_->SetFullRedraw();
  plat::sim::SetExclusiveHeldElsewhere(true);
  const DWORD before = timeGetTime();
  EXPECT_EQ(scene_->Draw(nullptr, GRect()), GRect());
  EXPECT_EQ(timeGetTime() - before, 10u);
  EXPECT_TRUE(scene_->IsFullRedraw()) << "the next draw tries again";
  plat::sim::SetExclusiveHeldElsewhere(false);
  EXPECT_EQ(scene_->Draw(nullptr, GRect()), GRect(0, 0, 800, 600));
}

// What the game window shows: filled widgets and a picture of the resource manager,
// the same after a rebuild, and the whole display in full screen.
TEST_F(GameWindowScreenTest, GoldenFramesPerDesktopFormat) {
  struct Case {
    DisplayFormat format;
    const char* tag;
    const char* window;
    const char* desktop;
  };
  // Pure colours survive every format unchanged, so each format shows the same.
  const Case cases[] = {
      {DisplayFormat::Rgb565, "565", "1d05d9a251890cd2", "8973a37483282eb8"},
      {DisplayFormat::Rgb555, "555", "1d05d9a251890cd2", "8973a37483282eb8"},
      {DisplayFormat::Xrgb8888, "32", "1d05d9a251890cd2", "8973a37483282eb8"},
  };
  testing_support::TempDir dir;
  dir.Write("pic.bmp", FourBlockBmp());

  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    if (wnd_) {
      TearDown();
      SetUp();
    }
    plat::sim::ResetDisplay(c.format);
    Open(0);
    auto* back = new GVWnd;
    back->SetRect(GRect(0, 0, 800, 600));
    back->SetBkColor(widget_test::DevicePixel(c.format, 0, 0, 255));
    scene_->AddWnd(back);
    auto* block = new GVWnd;
    block->SetRect(GRect(100, 100, 300, 250));
    block->SetBkColor(widget_test::DevicePixel(c.format, 255, 255, 0));
    scene_->AddWnd(block);
    auto* picture = new PictureWnd;
    picture->SetRect(GRect(400, 300, 416, 316));
    picture->SetImage(XResEntryMgr::Global().LoadEntry(2, dir / "pic.bmp", GSize(), 0xFFFFFFFFu));
    ASSERT_NE(picture->GetImage(), -1);
    scene_->AddWnd(picture);
    scene_->SetFullRedraw();
    ASSERT_EQ(scene_->Draw(nullptr, GRect()), GRect(0, 0, 800, 600));

    const std::string first = plat::sim::HashImage(plat::sim::CaptureWindow(game_));
    const auto check =
        plat::sim::CheckFrame(plat::sim::CaptureWindow(game_), std::string("screen_") + c.tag, c.window);
    EXPECT_TRUE(check.matches) << check.actualHash << ", picture in " << check.actualPath;

    plat::sim::ChangeDisplayMode(plat::sim::CurrentDisplayMode().width, plat::sim::CurrentDisplayMode().height,
                                 c.format);
    scene_->Draw(nullptr, GRect());
    EXPECT_EQ(PostedToHost(WM_GAME_SCREEN_READY).size(), 1u);
    EXPECT_EQ(plat::sim::HashImage(plat::sim::CaptureWindow(game_)), first) << "the rebuild shows the same";

    IClientInterface* client = wnd_;
    ASSERT_EQ(client->SetScreenMode(1, 800, 600, 0), 0);
    const auto display =
        plat::sim::CheckFrame(plat::sim::CaptureDesktop(), std::string("screen_full_") + c.tag, c.desktop);
    EXPECT_TRUE(display.matches) << display.actualHash << ", picture in " << display.actualPath;
  }
}

}  // namespace
