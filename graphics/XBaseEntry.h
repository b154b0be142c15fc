// The picture objects the resource manager hands out by handle: a base holding one
// surface or a set of frame surfaces, and the blank, text and bitmap kinds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plat/com.h"
#include "plat/ddraw.h"
#include "plat/types.h"
#include "base/DDSurfaceUtil.h"
#include "base/GGeometry.h"

enum ResEntryKind : int32_t {
  kEntryNormal = 0,
  kEntryText = 1,
  kEntryBitmap = 2,
  kEntryTga = 3,
  kEntryFrames = 4,
  kEntryLayered = 6,
};

class XBaseEntry {
 public:
  XBaseEntry() = default;
  XBaseEntry(const XBaseEntry&) = delete;
  XBaseEntry& operator=(const XBaseEntry&) = delete;
  virtual ~XBaseEntry() = default;

  virtual HRESULT Load(DDObject dd, COLORREF colorKey) = 0;

  // The holder of the frame's surface for a multi-frame entry, else of the one
  // surface; null for a frame the entry does not have.
  DDSurface* GetSurfaceRef(int32_t frame);
  // The surface a widget shows: the first frame's for a multi-frame entry.
  DDSurface DisplaySurface() const;
  // The file kinds answer their name; the others null.
  virtual const std::string* FileName() const { return nullptr; }

  int32_t kind = kEntryNormal;
  GRect frameRect;
  DDSurface surface;
  uint32_t refCount = 0;
  uint16_t serial = 0;
  COLORREF colorKey = 0xFFFFFFFFu;
  GSize size;
  int32_t bitDepth = 16;
  BOOL hasAlpha = 0;
  std::vector<uint8_t> alpha;
  DDObject dd;
  BOOL multiFrame = 0;
  std::vector<DDSurface> frames;
  std::vector<std::vector<uint8_t>> frameAlpha;
  std::vector<GSize> frameSizes;
  std::vector<GPoint> frameOffsets;

 protected:
  void Keep(const DDObject& newDd, COLORREF key);
};

// A blank surface of the entry's size that a widget draws into.
class XNormalEntry : public XBaseEntry {
 public:
  HRESULT Load(DDObject dd, COLORREF colorKey) override;
  HRESULT Resize(GSize newSize);
};

// One string drawn with a GDI font; drawn again on every text change and resize.
class XTextEntry : public XBaseEntry {
 public:
  HRESULT Load(DDObject dd, COLORREF colorKey) override;
  virtual BOOL SetText(const std::string& newText);
  // A new surface of the size with the text drawn again; a failed drawing is E_FAIL.
  HRESULT Resize(GSize newSize);

  std::string text;
  HFONT font = nullptr;
  COLORREF textColor = 0;
  UINT format = 0;
};

// A BMP file; a missing file leaves the entry without surface, size (0, 0).
class XBitmapEntry : public XBaseEntry {
 public:
  HRESULT Load(DDObject dd, COLORREF colorKey) override;
  void SetFileName(const std::string& name) { fileName_ = name; }
  const char* GetFileName() const { return fileName_.c_str(); }
  const std::string* FileName() const override { return &fileName_; }

 private:
  std::string fileName_;
};
