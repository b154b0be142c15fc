// The GIF entry of the resource manager: one or more GIF files, the layers of one
// picture, composed into one surface, a horizontal strip of frames with a delay each
// when the longest layer is animated. Also the frame reads the widgets make of any
// entry, which answer for GIF entries only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/XBaseEntry.h"

// The resource manager's selector that makes GIF strips.
constexpr int32_t kGifSelector = 5;

class XGifEntry : public XBaseEntry {
 public:
  // Part lists of these lengths are the ones with a layer order.
  static constexpr size_t kFullParts = 9;
  static constexpr size_t kFaceParts = 7;
  static constexpr size_t kSingleParts = 1;
  // Parts bottom to top; an index not below the part count is skipped.
  static constexpr int32_t kLayerOrder[kFullParts] = {8, 2, 1, 4, 0, 3, 5, 6, 7};

  // E_INVALIDARG for a part count without a layer order, E_FAIL when no part loads
  // (the manager then deletes the entry), else the result of the last surface call.
  HRESULT Load(DDObject dd, COLORREF colorKey) override;

  void SetPartNames(const std::vector<std::string>& names) { partNames_ = names; }
  const std::vector<std::string>& GetPartNames() const { return partNames_; }
  int32_t GetFrameCount() const { return frameCount_; }
  void SetFrameCount(int32_t n) { frameCount_ = n; }
  int32_t GetDelayCount() const { return static_cast<int32_t>(delays_.size()); }
  // Milliseconds; an index outside the stored delays throws std::out_of_range, so
  // callers check GetDelayCount first.
  int32_t GetFrameDelay(int32_t i) const;

 protected:
  std::vector<int32_t> delays_;
  std::vector<std::string> partNames_;
  int32_t frameCount_ = 0;
};

// A GIF entry (or one derived from it) by its stored kind; null for any other entry.
// A selector-5 request can be answered by a bitmap, TGA or layered entry that shares
// the name, so these reads never assume the kind.
const XGifEntry* AsGifEntry(const XBaseEntry* entry);
// Any other entry is one frame without delays; null has no frame.
int32_t EntryFrameCount(const XBaseEntry* entry);
int32_t EntryDelayCount(const XBaseEntry* entry);
// The delay of a frame below EntryDelayCount.
int32_t EntryFrameDelay(const XBaseEntry* entry, int32_t frame);
// One frame's rectangle: the GIF entry's own, else the whole picture.
GRect EntryFrameRect(const XBaseEntry* entry);
