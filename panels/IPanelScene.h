// What the panels ask of the scene that owns them. The scene implements it; panels
// keep this pointer, so they never reach up into the scene.
#pragma once

#include <cstdint>

class IPanelScene {
 public:
  // Tells the server the observe state; 1 when the command went out.
  virtual int32_t SendObserveMode(int32_t state) = 0;

 protected:
  ~IPanelScene() = default;
};
