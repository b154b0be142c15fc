// A panel scene that makes the panels' children straight from the sprite tests' folder.
#pragma once

#include <algorithm>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "panels/CVPSPPushBtn.h"
#include "panels/IPanelScene.h"
#include "scene/CardInfoTable.h"
#include "widgets/GVDDSWnd.h"
#include "widgets/GVLightTextWnd.h"
#include "widgets/GVQLSWnd.h"
#include "widgets/GVSlideWnd.h"
#include "widgets/GVTextWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace panel_test {

class FakePanelScene : public IPanelScene {
 public:
  int32_t SendObserveMode(int32_t) override { return 0; }
  void RecordCall(std::string_view) override {}
  GVTextWnd* CreateTextWnd(const GPoint& pos, GSize size, const std::string& text, COLORREF colour, int32_t height,
                           int32_t weight) override {
    auto w = std::make_unique<GVTextWnd>();
    if (!w->Create(SIZE{size.cx, size.cy}, kTextKey, height, weight)) return nullptr;
    w->SetPos(pos);
    w->SetTextColor(colour);
    w->SetText(text);
    w->Enable(0);
    return w.release();
  }
  GVQLAniWnd* CreateQLAniWnd(const std::string& relPath, const GPoint& pos) override {
    auto w = std::make_unique<GVQLAniWnd>();
    return w->Load(kRoot + relPath, pos.x, pos.y) ? w.release() : nullptr;
  }
  GVPSPWnd* CreatePSPWnd(const std::string& relPath, const GPoint& pos, BOOL show) override {
    auto w = std::make_unique<GVPSPWnd>();
    if (!w->Load((kRoot + relPath).c_str())) return nullptr;
    w->SetPos(pos);
    w->Show(show);
    return w.release();
  }
  GVQLSWnd* CreateQLSWnd(const std::string& relPath, const GPoint& pos, BOOL show) override {
    auto w = std::make_unique<GVQLSWnd>();
    if (!w->Load((kRoot + relPath).c_str())) return nullptr;
    w->SetPos(pos);
    w->Show(show);
    w->Enable(0);
    return w.release();
  }
  GVDDSWnd* CreateDDSWnd(const std::string& relPath, const GPoint& pos, BOOL, BOOL show, int32_t columns,
                         int32_t rows) override {
    auto w = std::make_unique<GVDDSWnd>();
    if (columns < 1 || rows < 1 || !w->LoadImage(kRoot + relPath, GVWnd::kNoColorKey)) return nullptr;
    const GSize cell(w->GetRect().Width() / columns, w->GetRect().Height() / rows);
    w->SetRect(GRect(pos, cell));
    w->Show(show);
    w->Enable(0);
    return w.release();
  }
  GVLightTextWnd* CreateLightTextWnd(const GPoint& pos, GSize size, const std::string& text, COLORREF colour,
                                     int32_t height, int32_t weight) override {
    auto w = std::make_unique<GVLightTextWnd>();
    if (!w->Create(SIZE{size.cx, size.cy}, kTextKey, height, weight)) return nullptr;
    w->SetPos(pos);
    w->SetTextColor(colour);
    w->SetText(text);
    w->Enable(0);
    return w.release();
  }
  GVSlideWnd* CreateSlideWnd(const GPoint& pos, const GSize& size, const std::string& knob, bool vertical,
                             const GPoint& track, int32_t length) override {
    auto w = std::make_unique<GVSlideWnd>();
    if (!w->Create(size.cx, size.cy, kRoot + knob)) return nullptr;
    w->SetPos(pos);
    w->SetTrack(vertical, track.x, track.y, length);
    return w.release();
  }
  GVAnimWnd* CreateAnimWnd(const std::string&, const GPoint&, GSize) override { return {}; }
  GVBoxWnd* CreateBoxWnd(const GPoint&, const GSize&, COLORREF, BOOL, int32_t) override { return {}; }
  CVCountWnd* CreateCountWnd(int32_t) override { return {}; }
  CVPSPPushBtn* CreatePSPPushBtn(const std::string& relPath, const GPoint& pos, BOOL show, int32_t sets) override {
    auto w = std::make_unique<CVPSPPushBtn>();
    if (!w->LoadSprite((kRoot + relPath).c_str(), sets, 4)) return nullptr;
    w->SetPos(pos);
    w->Show(show);
    return w.release();
  }
  CVTextShadowWnd* CreateTextShadowWnd(const GPoint&, GSize, const std::string&, COLORREF, int32_t,
                                       int32_t) override {
    return {};
  }
  CVQLATextWnd* CreateQLATextWnd(const std::string&, const GPoint&, const GSize&, const GSize&, int32_t,
                                 int32_t) override {
    return {};
  }
  GVPSPNumberWnd* CreatePSPNumberWnd(const std::string&, const GPoint&, const GSize&, uint32_t, int32_t,
                                     BOOL) override {
    return {};
  }
  CVItemWnd* CreateItemWnd() override { return nullptr; }
  // The scene's lists: the fake owns what joins its drawing order.
  void AddAnimation(GVQLAniWnd* animation) override { animations.push_back(animation); }
  void AddSceneWnd(GVWnd* wnd) override { sceneWnds.push_back(wnd); }
  void InsertSceneWndAfter(GVWnd* ref, GVWnd* wnd) override {
    if (!wnd || wnd == ref || std::find(sceneWnds.begin(), sceneWnds.end(), ref) == sceneWnds.end()) return;
    sceneWnds.remove(wnd);
    sceneWnds.insert(std::next(std::find(sceneWnds.begin(), sceneWnds.end(), ref)), wnd);
  }
  int32_t CardSetOf(int32_t card) override { return CardInfoOf(card).set; }
  ~FakePanelScene() {
    for (GVWnd* w : sceneWnds) delete w;
  }
  std::vector<GVQLAniWnd*> animations;
  std::list<GVWnd*> sceneWnds;
  static constexpr COLORREF kTextKey = 0xFF00FF;
  std::string kRoot = "C:\\Sprites\\";
};

}  // namespace panel_test
