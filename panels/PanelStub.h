// The base of the panels that exist so far only as the scene's call sites: a widget
// that notes each call in its scene's record. Each panel's own work replaces the
// bodies and keeps the calls.
#pragma once

#include "panels/IPanelScene.h"
#include "widgets/GVWnd.h"

class CPanelStub : public GVWnd {
 public:
  explicit CPanelStub(IPanelScene* scene) : scene_(scene) {}

 protected:
  void Note(const char* call) const {
    if (scene_) scene_->RecordCall(call);
  }
  IPanelScene* scene_;
};
