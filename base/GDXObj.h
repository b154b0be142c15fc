// Root of everything that draws or owns drawing resources: widgets, the window
// system, the screen and the resource manager. It keeps the result word of the last
// platform call whose outcome the object records.
#pragma once

#include "plat/types.h"

class GDXObj {
 public:
  GDXObj() = default;
  GDXObj(const GDXObj&) = default;
  GDXObj& operator=(const GDXObj&) = default;
  virtual ~GDXObj() = default;

  HRESULT GetLastResult() const { return lastResult_; }
  void SetLastResult(HRESULT hr) { lastResult_ = hr; }

 private:
  HRESULT lastResult_ = 0;
};
