// Window pixels to PNG. Bound to the layer's frame capture (capture a window, write a
// PNG) once the display part of the layer provides it; until then it reads the
// window's pixels itself.
#include "testhost/WindowPng.h"

#include "plat/sim.h"
#include "support/ImagePng.h"

namespace testhost {

bool WriteWindowPng(HWND hwnd, const std::string& path, std::string& error) {
  const plat::sim::WindowImage image = plat::sim::ReadWindow(hwnd);
  if (image.width <= 0 || image.height <= 0) {
    error = "no window to capture";
    return false;
  }
  return testing_support::WriteImagePng(image, path, error);
}

}  // namespace testhost
