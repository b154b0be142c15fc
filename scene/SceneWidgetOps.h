// Small steps on widgets the scene may not have: a role the build gives no member, or
// a widget of a build that has not run, is simply skipped.
#pragma once

#include "widgets/GVWnd.h"

namespace scene_widgets {

inline void ShowWnd(GVWnd* wnd, BOOL show) {
  if (wnd) wnd->Show(show);
}

}  // namespace scene_widgets
