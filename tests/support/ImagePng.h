// Captured pixels (the layer's XRGB window or desktop images) written as PNG files,
// for a person to look at when a picture test fails.
#pragma once

#include <string>

#include "plat/sim_user.h"

namespace testing_support {

// RGB PNG of `image`; false with `error` set when it is empty or the file cannot be
// written.
bool WriteImagePng(const plat::sim::WindowImage& image, const std::string& path, std::string& error);

}  // namespace testing_support
