// The mouse routing of the panels that take clicks on their own children (the result
// panel, the decision prompt): the tracked child follows the pointer, a release or a
// move away from it still reaches it, so a pressed button can leave its pressed look.
// Each panel decides what its own children's releases mean and what it returns.
#pragma once

#include <cstdint>
#include <functional>

#include "panels/CVPanelWnd.h"

namespace panel_mouse {

// The release after the common steps: the child under the point, and whether the
// previously tracked child (another one) has already had the release.
struct Release {
  GVWnd* current = nullptr;
  bool handedOver = false;
};

// The common steps of a button release. False when the routing has answered already
// (panel disabled, or no child under the point): the panel then returns 0.
bool BeginRelease(CVPanelWnd& panel, GVWnd*& tracked, UINT keyFlags, GPoint pt, Release& out);
// A release on a child the panel gives no meaning: taken (1, dirty) when the hand-over
// took place or the child takes it.
BOOL ReleaseOnOther(CVPanelWnd& panel, const Release& r, UINT keyFlags, GPoint pt);
// A mouse move: with the left button held only the tracked child hears it; otherwise
// the tracked child leaves its hover and the child under the point may take over.
BOOL RouteMouseMove(CVPanelWnd& panel, GVWnd*& tracked, UINT keyFlags, GPoint pt);

// The whole release for a panel whose own buttons always take it: `isButton` picks
// them, and `onRelease` runs after the release reached one, with what it answered.
using ButtonAction = std::function<bool(GVWnd* child, BOOL clicked)>;
BOOL RouteButtonUp(CVPanelWnd& panel, GVWnd*& tracked, UINT keyFlags, GPoint pt,
                   const std::function<bool(GVWnd*)>& isButton, const ButtonAction& onRelease);

}  // namespace panel_mouse
