// The base of the panels that exist so far only as the scene's call sites: a panel
// that notes each call in its scene's record and makes no children yet. Each panel's
// own work replaces the bodies and keeps the calls.
#pragma once

#include <cstdint>

#include "panels/CVPanelWnd.h"

class CPanelStub : public CVPanelWnd {
 public:
  explicit CPanelStub(IPanelScene* scene) : CVPanelWnd(scene) {}
  // The panel's children at their places; 0 at the first that fails.
  int32_t Create(IPanelScene* scene) {
    SetScene(scene);
    return 1;
  }
  // The per-seat panels: the same at screen position 0 (bottom) or 1 (top).
  int32_t Create(IPanelScene* scene, int32_t /*screenPos*/) { return Create(scene); }
};
