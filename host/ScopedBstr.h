// A BSTR owned for the length of one host call: made from CP949 text through the
// layer and freed when the holder goes, so no text leaks when a call is skipped.
#pragma once

#include <string_view>

#include "plat/oleauto.h"

class ScopedBstr {
 public:
  ScopedBstr() = default;
  explicit ScopedBstr(BSTR owned) : bstr_(owned) {}
  ~ScopedBstr() { SysFreeString(bstr_); }
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  ScopedBstr(ScopedBstr&& other) noexcept : bstr_(other.Release()) {}
  ScopedBstr& operator=(ScopedBstr&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  // The text converted from the ANSI code page; empty text gives an empty BSTR, and
  // the holder stays null when no BSTR could be allocated.
  static ScopedBstr FromMultiByte(std::string_view text);

  BSTR Get() const { return bstr_; }
  explicit operator bool() const { return bstr_ != nullptr; }
  // For out arguments: frees what the holder had and hands out its slot.
  BSTR* Out() {
    Reset(nullptr);
    return &bstr_;
  }
  BSTR Release() {
    BSTR b = bstr_;
    bstr_ = nullptr;
    return b;
  }
  void Reset(BSTR owned) {
    SysFreeString(bstr_);
    bstr_ = owned;
  }

 private:
  BSTR bstr_ = nullptr;
};
