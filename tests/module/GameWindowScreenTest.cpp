// The game window's screen: built windowed, handed over in one order, rebuilt after a
// mode change or a failed present without recursing, and shown in each format.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "GameWindowFixture.h"
#include "MsgBoxTestSupport.h"
#include "graphics/KK_FXMan.h"
#include "graphics/XResEntryMgr.h"
#include "plat/time.h"
#include "support/TempDir.h"
#include "widgets/GDDScreen.h"
#include "widgets/WidgetTestSupport.h"

namespace {

using game_window_test::GameWindowFixture;
using plat::sim::DisplayFormat;

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
  BOOL Draw(IDirectDrawSurface4* target, const GRect&) override {
    ComPtr<IDirectDrawSurface4> picture = XResEntryMgr::Global().GetEntrySurface(GetImage());
    if (!IsVisible() || !picture) return 1;
    const GRect r = GetRect();
    RECT dest{r.left, r.top, r.right, r.bottom};
    RECT src{0, 0, r.Width(), r.Height()};
    target->Blt(&dest, picture.Get(), &src, DDBLT_WAIT, nullptr);
    return 1;
  }
};

class GameWindowScreenTest : public GameWindowFixture {
 protected:
  void TearDown() override {
    XResEntryMgr::Global().ReleaseAll();
    GameWindowFixture::TearDown();
  }
  GDDScreen& Screen() { return *wnd_->Screen(); }
  size_t Closes() { return PostedToHost(WM_GAME_CLOSE).size(); }
  // The surfaces lost, and the first restore failing: the screen must be rebuilt.
  static void LoseSurfacesOnce() {
    plat::sim::LoseSurfaces();
    plat::sim::FailNextRestore(1);
  }
  void Paint() {
    InvalidateRect(game_, nullptr, FALSE);
    UpdateWindow(game_);
  }
  // A fresh window system and a game window on a desktop of format `f`.
  void OpenOn(DisplayFormat f) {
    if (wnd_) {
      TearDown();
      SetUp();
    }
    plat::sim::ResetDisplay(f);
    Open(0);
  }
  GVWnd* Filled(DisplayFormat f, GRect rect, uint8_t r, uint8_t g, uint8_t b, bool visible = true) {
    auto* w = new GVWnd;
    w->SetRect(rect);
    w->SetBkColor(widget_test::DevicePixel(f, r, g, b));
    w->Show(visible);
    scene_->AddWnd(w);
    return w;
  }
};

TEST_F(GameWindowScreenTest, EffectCodeFollowsTheDesktopAndUnusableDesktopsFailCreation) {
  struct Case { DisplayFormat format; int32_t created; int32_t code; };
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
    wnd->EndByHost();
  }
}

TEST_F(GameWindowScreenTest, RebuildHandsOverInOrderAndPostsReadyBeforeTheRepaint) {
  Open(0);
  // Yellow in the pixels of the screen that the mode change brings.
  Filled(DisplayFormat::Rgb555, GRect(0, 0, 800, 600), 255, 255, 0);
  // What the scene's redraw inside the rebuild finds: the host told, the new screen
  // handed to the manager, the effects and the scene, and the window already showing
  // the new screen's first picture.
  struct Seen {
    size_t ready = 0;
    bool managerHasScreen = false;
    int32_t key = 0, effects = 0;
    std::string window;
  };
  Seen atRedraw;
  bool armed = false;
  auto* probe = new ProbeWnd([&] {
    if (!armed) return;
    armed = false;
    atRedraw = {PostedToHost(WM_GAME_SCREEN_READY).size(),
                XResEntryMgr::Global().GetDirectDraw() == Screen().DirectDraw().Get(), scene_->ColorKey(),
                GetPixelFormatCode(), plat::sim::HashImage(plat::sim::CaptureWindow(game_))};
  });
  probe->SetRect(GRect(0, 0, 10, 10));
  scene_->AddWnd(probe);
  scene_->SetFullRedraw();
  scene_->Draw(nullptr, GRect());
  const std::string before = plat::sim::HashImage(plat::sim::CaptureWindow(game_));
  armed = true;
  plat::sim::ChangeDisplayMode(800, 600, DisplayFormat::Rgb555);
  const GRect drawn = scene_->Draw(nullptr, GRect());
  EXPECT_EQ(atRedraw.ready, 1u) << "the host hears of the screen before the scene draws on it";
  EXPECT_TRUE(atRedraw.managerHasScreen);
  EXPECT_EQ(atRedraw.key, 0x7C1F);
  EXPECT_EQ(atRedraw.effects, 17);
  EXPECT_NE(atRedraw.window, before) << "the window was repainted from the new screen before the redraw";
  const plat::sim::RgbImage shown = plat::sim::CaptureWindow(game_);
  const size_t middle = (size_t(300) * 800 + 400) * 3;
  EXPECT_EQ(std::vector<uint8_t>(shown.rgb.begin() + middle, shown.rgb.begin() + middle + 3),
            (std::vector<uint8_t>{255, 255, 0}))
      << "the redraw shows the table again, in the new format";
  EXPECT_EQ(PostedToHost(WM_GAME_SCREEN_READY).size(), 1u) << "one rebuild";
  EXPECT_FALSE(Screen().IsFullScreen());
  EXPECT_EQ(GetPixelFormatCode(), 17) << "made again for the new format";
  EXPECT_EQ(XResEntryMgr::Global().GetDirectDraw(), Screen().DirectDraw().Get());
  EXPECT_EQ(scene_->ColorKey(), 0x7C1F);
  EXPECT_EQ(scene_->DisplayBitDepth(), 15);
  EXPECT_EQ(Closes(), 0u);
  EXPECT_FALSE(drawn.HasArea()) << "the rebuild's own full redraw left nothing dirty";
}

TEST_F(GameWindowScreenTest, AFailedPresentRebuildsOnceAndAFailedRebuildPostsOneClose) {
  Open(0);
  // The host's reports come through the window's procedure, check flag and all.
  SendMessageA(game_, WM_GAME_SCREEN_READY, 0, 0);
  EXPECT_EQ(Closes(), 0u) << "a plain ready report only redraws";
  EXPECT_TRUE(scene_->IsDirty());
  EXPECT_TRUE(scene_->IsFullRedraw());
  // Each rebuild tells the host once that the screen is ready again.
  size_t from = PostedToHost(WM_GAME_SCREEN_READY).size();
  LoseSurfacesOnce();
  Paint();
  EXPECT_EQ(PostedToHost(WM_GAME_SCREEN_READY).size() - from, 1u) << "the nested repaint presents on the new screen";
  EXPECT_EQ(Closes(), 0u);
  // A redraw inside the rebuild whose present fails gives up its frame.
  from = PostedToHost(WM_GAME_SCREEN_READY).size();
  bool armed = true;
  auto* probe = new ProbeWnd([&] {
    if (!wnd_->IsRestoringScreen() || !armed) return;
    armed = false;
    LoseSurfacesOnce();
  });
  probe->SetRect(GRect(0, 0, 10, 10));
  scene_->AddWnd(probe);
  LoseSurfacesOnce();
  Paint();
  EXPECT_EQ(PostedToHost(WM_GAME_SCREEN_READY).size() - from, 1u);
  EXPECT_EQ(Closes(), 0u);
  LoseSurfacesOnce();
  plat::sim::SetDirectDrawAvailable(false);
  plat::sim::FailNext("IDirectDraw4::CreateSurface");
  Paint();
  ASSERT_EQ(Closes(), 1u);
  EXPECT_EQ(PostedToHost(WM_GAME_CLOSE)[0].lParam, 1);
  EXPECT_EQ(Screen().DirectDraw().Get(), nullptr);
  // Without a screen the scene draws nothing and asks nothing of it, and nothing can
  // be restored: a ready report that asks for a check ends the game.
  EXPECT_EQ(scene_->Draw(nullptr, GRect()), GRect());
  EXPECT_EQ(wnd_->RestoreScreen(), 0);
  SendMessageA(game_, WM_GAME_SCREEN_READY, 0, 0);
  EXPECT_EQ(Closes(), 1u) << "a plain ready report asks for no check";
  SendMessageA(game_, WM_GAME_SCREEN_READY, 1, 0);
  EXPECT_EQ(Closes(), 2u);
  EXPECT_EQ(PostedToHost(WM_GAME_CLOSE)[1].lParam, 1);
}

// What the game window shows: filled widgets and a picture of the resource manager,
// the same after a rebuild, and the whole display in full screen. Pure colours survive
// every format unchanged, so each format shows the same.
TEST_F(GameWindowScreenTest, GoldenFramesPerDesktopFormat) {
  struct Case { DisplayFormat format; const char* tag; const char* window; const char* desktop; };
  const Case cases[] = {
      {DisplayFormat::Rgb565, "565", "1d05d9a251890cd2", "8973a37483282eb8"},
      {DisplayFormat::Rgb555, "555", "1d05d9a251890cd2", "8973a37483282eb8"},
      {DisplayFormat::Xrgb8888, "32", "1d05d9a251890cd2", "8973a37483282eb8"},
  };
  // Four 8 x 8 blocks: red, green over blue, white.
  testing_support::TempDir dir;
  dir.Write("pic.bmp", msgbox_test::Bitmap(16, 16, [](int x, int y) {
              return y < 8 ? (x < 8 ? 0xFF0000u : 0x00FF00u) : (x < 8 ? 0x0000FFu : 0xFFFFFFu);
            }));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    OpenOn(c.format);
    Filled(c.format, GRect(0, 0, 800, 600), 0, 0, 255);
    Filled(c.format, GRect(100, 100, 300, 250), 255, 255, 0);
    auto* picture = new PictureWnd;
    picture->SetRect(GRect(400, 300, 416, 316));
    picture->SetImage(XResEntryMgr::Global().LoadEntry(2, dir / "pic.bmp", GSize(), 0xFFFFFFFFu));
    ASSERT_NE(picture->GetImage(), -1);
    scene_->AddWnd(picture);
    scene_->SetFullRedraw();
    ASSERT_EQ(scene_->Draw(nullptr, GRect()), GRect(0, 0, 800, 600));
    const plat::sim::RgbImage shown = plat::sim::CaptureWindow(game_);
    const auto check = plat::sim::CheckFrame(shown, std::string("screen_") + c.tag, c.window);
    EXPECT_TRUE(check.matches) << check.actualHash << ", picture in " << check.actualPath;
    plat::sim::ChangeDisplayMode(plat::sim::CurrentDisplayMode().width, plat::sim::CurrentDisplayMode().height,
                                 c.format);
    scene_->Draw(nullptr, GRect());
    EXPECT_EQ(PostedToHost(WM_GAME_SCREEN_READY).size(), 1u);
    EXPECT_EQ(plat::sim::HashImage(plat::sim::CaptureWindow(game_)), plat::sim::HashImage(shown))
        << "the rebuild shows the same";
    ASSERT_EQ(static_cast<IClientInterface*>(wnd_)->SetScreenMode(1, 800, 600, 0), 0);
    const auto display =
        plat::sim::CheckFrame(plat::sim::CaptureDesktop(), std::string("screen_full_") + c.tag, c.desktop);
    EXPECT_TRUE(display.matches) << display.actualHash << ", picture in " << display.actualPath;
  }
}

// Widgets drawn by dirty rectangles into the back buffer and the changed area presented
// to the window at (3, 3), against an oracle that paints the layers back to front.
using GameWindowFrameTest = GameWindowScreenTest;

TEST_F(GameWindowFrameTest, WidgetsShowInTheWindowAndAMoveRepaintsBothPlaces) {
  struct Painted { GRect rect; uint8_t r, g, b; bool visible; };
  auto expectShows = [this](const std::vector<Painted>& layers, const std::string& name, const std::string& pinned) {
    plat::sim::RgbImage expected{800, 600, std::vector<uint8_t>(800 * 600 * 3, 0)};
    for (const Painted& p : layers) {
      for (int32_t y = p.rect.top; p.visible && y < p.rect.bottom; ++y)
        for (int32_t x = p.rect.left; x < p.rect.right; ++x) {
          uint8_t* px = &expected.rgb[(static_cast<size_t>(y) * 800 + x) * 3];
          px[0] = p.r;
          px[1] = p.g;
          px[2] = p.b;
        }
    }
    const plat::sim::FrameCheck check = plat::sim::CheckFrame(plat::sim::CaptureWindow(game_), name, pinned);
    if (!check.matches) plat::sim::WritePng(expected, plat::sim::FrameFolder() + "/" + name + ".expected.png");
    EXPECT_TRUE(check.matches) << name << ": hash " << check.actualHash << ", pictures in " << check.actualPath;
    EXPECT_EQ(plat::sim::HashImage(expected), pinned) << name << ": the oracle moved";
  };
  struct Case { DisplayFormat format; const char* tag; const char* first; const char* moved; };
  const Case cases[] = {
      {DisplayFormat::Rgb565, "565", "f91cee0ea541d8c2", "724eb48e4b9328e2"},
      {DisplayFormat::Rgb555, "555", "f91cee0ea541d8c2", "724eb48e4b9328e2"},
      {DisplayFormat::Xrgb8888, "32", "f91cee0ea541d8c2", "724eb48e4b9328e2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    OpenOn(c.format);
    std::vector<Painted> layers = {
        {GRect(0, 0, 800, 600), 0, 0, 255, true},
        {GRect(100, 100, 300, 300), 255, 0, 0, true},
        {GRect(200, 150, 450, 350), 0, 255, 0, true},
        {GRect(250, 50, 350, 500), 255, 255, 255, false},
    };
    std::vector<GVWnd*> widgets;
    for (const Painted& p : layers) widgets.push_back(Filled(c.format, p.rect, p.r, p.g, p.b, p.visible));
    // Creation drew the empty scene; the new widgets come with a full frame.
    scene_->SetFullRedraw();
    EXPECT_EQ(scene_->Draw(nullptr, GRect()), GRect(0, 0, 800, 600));
    expectShows(layers, std::string("game_window_") + c.tag + "_first", c.first);
    // The hidden widget stays dirty through full frames; the first partial frame
    // cleans it, repainting its place still stretched to the origin, and redraws the
    // widgets there, which leaves every history at its own rectangle.
    EXPECT_EQ(scene_->Draw(nullptr, GRect()), GRect(0, 0, 350, 500));
    widgets[1]->SetRect(GRect(400, 200, 600, 400));
    layers[1].rect = GRect(400, 200, 600, 400);
    EXPECT_EQ(scene_->Draw(nullptr, GRect()), GRect(100, 100, 600, 400));
    expectShows(layers, std::string("game_window_") + c.tag + "_moved", c.moved);
    EXPECT_EQ(scene_->Draw(nullptr, GRect()), GRect());
  }
}

TEST_F(GameWindowScreenTest, CreationBuildsAWindowedScreenWhateverTheFlag) {
  plat::sim::ResetDisplay(DisplayFormat::Rgb555);
  wnd_ = HostWindowFixture::Open(1);
  ASSERT_NE(wnd_, nullptr);
  game_ = wnd_->Handle();
  scene_ = wnd_->Scene();
  EXPECT_TRUE(PostedToHost(WM_GAME_SCREEN_READY).empty()) << "a first screen is no rebuild";
  EXPECT_TRUE(PostedToHost(WM_GAME_CLOSE).empty());
  EXPECT_FALSE(Screen().IsFullScreen());
  EXPECT_EQ(Screen().CooperativeWindow(), game_);
  EXPECT_EQ(GetPixelFormatCode(), 17) << "5-5-5 pixels reported as 16 bits still get their own code";
  EXPECT_EQ(XResEntryMgr::Global().GetDirectDraw(), Screen().DirectDraw().Get());
  EXPECT_EQ(XResEntryMgr::Global().GetBackBuffer(), Screen().BackBuffer().Get());
  EXPECT_EQ(XResEntryMgr::Global().GetColorKey(), 0x7C1Fu);
  EXPECT_EQ(scene_->ColorKey(), 0x7C1F) << "the scene takes the screen's key at every hand-over";
  EXPECT_EQ(plat::sim::CurrentDisplayMode().format, DisplayFormat::Rgb555) << "the desktop mode stays";
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

}  // namespace
