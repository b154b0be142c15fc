// A surface widget showing a whole GIF entry of the resource manager (every frame of
// its strip side by side), with an owner value kept beside it.
#pragma once

#include <cstdint>
#include <string>

#include "widgets/GVDDSWnd.h"

// The size of the surface a GIF widget just loaded, with the query's result (E_FAIL
// without a surface) as the widget's last result; 0 on failure.
BOOL QueryLoadedSurfaceSize(GVDDSWnd& widget, SIZE* size);

class GVGifWnd : public GVDDSWnd {
 public:
  GVGifWnd() = default;
  ~GVGifWnd() override = default;

  // The GIF entry of `name`, keyed with the manager's colour key; the widget takes the
  // strip's size. 0 without an entry, or (with the last result set) without a
  // readable surface.
  BOOL LoadGif(const std::string& name, int32_t value);
  int32_t GetValue() const { return value_; }

 private:
  int32_t value_ = 0;
};
