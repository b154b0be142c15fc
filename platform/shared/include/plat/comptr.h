// The counted holder of component objects, whose use through null raises E_POINTER
// as the error the component code expects, on every side of the layer.
#pragma once

#include <cstddef>
#include <exception>
#include <utility>

#include "plat/types.h"

// The error a call through a null counted holder raises.
class ComError : public std::exception {
 public:
  explicit ComError(HRESULT hr) : hr_(hr) {}
  HRESULT Error() const noexcept { return hr_; }
  const char* what() const noexcept override { return "COM error"; }

 private:
  HRESULT hr_;
};

// Counted holder: copying adds a reference, assignment releases the old one, and
// `->` through an empty holder throws ComError(E_POINTER).
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Takes a new reference to `p`.
  explicit ComPtr(T* p) : p_(p) { if (p_) p_->AddRef(); }
  ComPtr(const ComPtr& o) : p_(o.p_) { if (p_) p_->AddRef(); }
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(const ComPtr& o) {
    if (o.p_) o.p_->AddRef();
    Reset();
    p_ = o.p_;
    return *this;
  }
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) {
      Reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) {
    Reset();
    return *this;
  }

  // Adopts a reference the caller already owns (no AddRef).
  void Attach(T* p) {
    Reset();
    p_ = p;
  }
  T* Detach() { return std::exchange(p_, nullptr); }
  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  // The out-pointer of a creating call: releases what is held first.
  T** ReleaseAndGetAddressOf() {
    Reset();
    return &p_;
  }

  T* Get() const { return p_; }
  T* operator->() const {
    if (!p_) throw ComError(E_POINTER);
    return p_;
  }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};
