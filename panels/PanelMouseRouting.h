// The mouse routing of the panels whose children keep a hover or a press between
// events: releases and moves go through the tracked child, the child that last took
// one, so that a button left by the pointer hears of it. Each panel keeps its own
// tracked child and says which children are its own buttons.
#pragma once

#include <functional>

#include "panels/CVPanelWnd.h"

namespace panel_mouse {

// A child the panel acts on itself; `clicked` is what the child's release answered.
using ButtonAction = std::function<bool(GVWnd* child, BOOL clicked)>;
// `isButton` picks the panel's own buttons, which always take the release (1); their
// action runs after the release reached them.
BOOL RouteButtonUp(CVPanelWnd& panel, GVWnd*& tracked, UINT keyFlags, GPoint pt,
                   const std::function<bool(GVWnd*)>& isButton, const ButtonAction& onRelease);
BOOL RouteMouseMove(CVPanelWnd& panel, GVWnd*& tracked, UINT keyFlags, GPoint pt);

}  // namespace panel_mouse
