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
  CVItemWnd* CreateItemWnd() override { return nullptr; }
  std::string kRoot = "C:\\Sprites\\";
};

}  // namespace panel_test
