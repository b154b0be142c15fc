// A panel scene that makes the panels' children straight from the sprite tests' folder.
#pragma once

#include <memory>
#include <string>

#include "panels/IPanelScene.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace panel_test {

class FakePanelScene : public IPanelScene {
 public:
  int32_t SendObserveMode(int32_t) override { return 0; }
  void RecordCall(std::string_view) override {}
  GVTextWnd* CreateTextWnd(const GPoint&, GSize, const std::string&, COLORREF, int32_t, int32_t) override { return {}; }
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
  GVQLSWnd* CreateQLSWnd(const std::string&, const GPoint&, BOOL) override { return {}; }
  GVDDSWnd* CreateDDSWnd(const std::string&, const GPoint&, BOOL, BOOL, int32_t, int32_t) override { return {}; }
  GVLightTextWnd* CreateLightTextWnd(const GPoint&, GSize, const std::string&, COLORREF, int32_t, int32_t) override {
    return {};
  }
  GVSlideWnd* CreateSlideWnd(const GPoint&, const GSize&, const std::string&, bool, const GPoint&, int32_t) override {
    return {};
  }
  GVAnimWnd* CreateAnimWnd(const std::string&, const GPoint&, GSize) override { return {}; }
  GVBoxWnd* CreateBoxWnd(const GPoint&, const GSize&, COLORREF, BOOL, int32_t) override { return {}; }
  CVCountWnd* CreateCountWnd(int32_t) override { return {}; }
  CVPSPPushBtn* CreatePSPPushBtn(const std::string&, const GPoint&, BOOL, int32_t) override { return {}; }
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
  void AddAnimation(GVQLAniWnd*) override {}
  void AddSceneWnd(GVWnd*) override {}
  void InsertSceneWndAfter(GVWnd*, GVWnd*) override {}
  std::string kRoot = "C:\\Sprites\\";
};

}  // namespace panel_test
