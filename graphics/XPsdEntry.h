// Layered pictures for the resource manager: each layer of the picture's companion
// file becomes a frame with its own surface, alpha plane, size, drawing offset,
// display time and name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/PsdLayers.h"
#include "graphics/XBaseEntry.h"

class XPsdEntry : public XBaseEntry {
 public:
  XPsdEntry() {
    multiFrame = 1;
    hasAlpha = 1;
  }

  // A missing or damaged companion leaves no frames and gives 0. A surface that cannot
  // be made gives 1 with the frames made so far; a failed colour key its result.
  HRESULT Load(DDObject dd, COLORREF colorKey) override;
  // The frames from layers already read.
  HRESULT LoadLayers(const DDObject& dd, COLORREF colorKey, PsdLayerSet layers);

  void SetFileName(const std::string& name) { fileName_ = name; }
  const char* GetFileName() const { return fileName_.c_str(); }
  const std::string* FileName() const override { return &fileName_; }

  static std::unique_ptr<XPsdEntry> Named(const std::string& name);

  std::vector<uint32_t> durations;  // milliseconds, one per frame
  std::vector<std::string> names;

 private:
  // Cuts every per-frame array to the frames whose surfaces were made.
  void KeepMadeFrames();

  std::string fileName_;
};
