// The resource-manager entry of one avatar: its part pictures as GIF entries of the
// same manager, in layer order, and a surface of the avatar's size filled with the key
// that the avatar widget composes the parts into.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/XAvatarComposer.h"
#include "graphics/XDib.h"
#include "graphics/XGifEntry.h"

class XResEntryMgr;

class XAvatarEntry : public XGifEntry {
 public:
  static constexpr int kMaxParts = 24;

  // Parts are loaded from and released to `manager`, which must outlive the entry.
  explicit XAvatarEntry(XResEntryMgr& manager) : manager_(manager) {}
  ~XAvatarEntry() override;

  // One GIF entry per name, -1 for an empty name, a file that cannot be opened or a
  // failed load; then the handles are put in layer order. 1.
  int LoadParts(const std::vector<std::string>& names);
  // 0 (list untouched) for no handles or more than 24; one stays; more are rebuilt in
  // layer order. 1.
  static int SortParts(std::vector<int32_t>& handles);
  // A system-memory surface of the entry size, filled with the key and keyed by it;
  // the surface's depth is stored. The first failing result, else the last one.
  HRESULT Load(DDObject dd, COLORREF colorKey) override;
  // 1 without a surface; the key is stored only when the surface accepts it.
  HRESULT SetColorKey(COLORREF key);

  const std::vector<int32_t>& PartHandles() const { return parts_; }

  XDib canvas;
  XAvatarComposer composer;

 private:
  XResEntryMgr& manager_;
  std::vector<int32_t> parts_;
};
