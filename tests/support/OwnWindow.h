// A top-level window of a class of its own, with a test's procedure, for a host window
// that answers a message its own way; the class goes with the window.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "plat/user.h"

namespace testing_support {

class OwnWindow {
 public:
  OwnWindow(std::string className, WNDPROC proc, DWORD style, int32_t width, int32_t height)
      : className_(std::move(className)) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = className_.c_str();
    if (RegisterClassA(&wc) == 0) return;
    handle_ = CreateWindowExA(0, className_.c_str(), className_.c_str(), style, 0, 0, width, height, nullptr, nullptr,
                              nullptr, nullptr);
  }
  ~OwnWindow() {
    if (handle_ && IsWindow(handle_)) DestroyWindow(handle_);
    UnregisterClassA(className_.c_str(), nullptr);
  }
  OwnWindow(const OwnWindow&) = delete;
  OwnWindow& operator=(const OwnWindow&) = delete;
  // Null when the class or the window could not be made.
  HWND Handle() const { return handle_; }

 private:
  std::string className_;
  HWND handle_ = nullptr;
};

}  // namespace testing_support
