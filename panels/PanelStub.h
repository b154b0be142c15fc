// The base of the panels that exist so far only as the scene's call sites: a panel
// that notes each call in its scene's record. Each panel's own work replaces the
// bodies and keeps the calls.
#pragma once

#include "panels/CVPanelWnd.h"

class CPanelStub : public CVPanelWnd {
 public:
  explicit CPanelStub(IPanelScene* scene) : CVPanelWnd(scene) {}
};
