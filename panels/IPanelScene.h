// What the panels ask of the scene that owns them. The scene implements it; panels
// keep this pointer, so they never reach up into the scene.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "plat/types.h"
#include "base/GGeometry.h"

class CVItemWnd;
class GVPSPWnd;
class GVQLAniWnd;
class GVTextWnd;

class IPanelScene {
 public:
  // Tells the server the observe state; 1 when the command went out.
  virtual int32_t SendObserveMode(int32_t state) = 0;
  // Adds to the scene's ordered record of calls ("CVMissionWnd::Tick"), which the
  // stand-in panels write until their own work replaces them.
  virtual void RecordCall(std::string_view call) = 0;
  // The scene's widget factory for the panels' children: null on failure, which the
  // scene has recorded.
  virtual GVTextWnd* CreateTextWnd(const GPoint& pos, GSize size, const std::string& text, COLORREF colour,
                                   int32_t fontHeight, int32_t fontWeight) = 0;
  virtual GVQLAniWnd* CreateQLAniWnd(const std::string& relPath, const GPoint& pos) = 0;
  virtual GVPSPWnd* CreatePSPWnd(const std::string& relPath, const GPoint& pos, BOOL show) = 0;
  // The result panel holds the item panel as a child.
  virtual CVItemWnd* CreateItemWnd() = 0;

 protected:
  ~IPanelScene() = default;
};
