// What a window shows, written as a PNG file.
#pragma once

#include <string>

#include "plat/types.h"

namespace testhost {

// RGB PNG of the window's pixels (its store with its visible children on top); false
// with `error` set when the window does not exist or the file cannot be written.
bool WriteWindowPng(HWND hwnd, const std::string& path, std::string& error);

}  // namespace testhost
