// A stand-in for a scene widget that the senders switch before the widget exists:
// it keeps what it was told, so that the senders' effects can be checked. The
// countdown animation and the betting buttons take its place with the widgets.
#pragma once

#include <cstdint>

struct SceneWidgetStub {
  void Show(int32_t show) { visible = show ? 1 : 0; }
  void Enable(int32_t enable) { enabled = enable ? 1 : 0; }
  // An animation's stop: back to its first frame, hidden.
  void Stop() {
    ++stops;
    visible = 0;
  }

  int32_t visible = 0;
  int32_t enabled = 1;
  int32_t stops = 0;
};
