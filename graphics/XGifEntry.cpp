// GIF composition: the parts are played side by side, each stepped once per frame of
// the longest part, and copied over each other in layer order into the strip.
#include "graphics/XGifEntry.h"

#include <memory>

#include "graphics/CGif.h"

int32_t XGifEntry::GetFrameDelay(int32_t i) const { return delays_.at(static_cast<size_t>(i)); }

HRESULT XGifEntry::Load(DDObject newDd, COLORREF key) {
  Keep(newDd, key);
  surface = nullptr;
  delays_.clear();
  const size_t count = partNames_.size();
  if (count != kFullParts && count != kFaceParts && count != kSingleParts) return E_INVALIDARG;

  std::vector<std::unique_ptr<CGif>> parts(count);
  size_t longest = count;
  for (size_t i = 0; i < count; ++i) {
    if (partNames_[i].empty()) continue;
    auto part = std::make_unique<CGif>();
    if (part->Load(partNames_[i], dd, nullptr) != 1) continue;
    if (longest == count || part->GetFrameCount() > parts[longest]->GetFrameCount()) longest = i;
    parts[i] = std::move(part);
  }
  if (longest == count) return E_FAIL;

  const CGif& lead = *parts[longest];
  frameCount_ = lead.GetFrameCount();
  const GSize picture = lead.ScreenSize();
  frameRect = GRect(GPoint(), picture);
  // Frames x width can pass 32 bits long before any surface is refused.
  const int64_t stripWidth = int64_t(picture.cx) * frameCount_;
  if (stripWidth > INT32_MAX) return DDERR_OUTOFMEMORY;
  HRESULT hr = CreateOffscreenSurface(dd, surface, GSize(static_cast<int32_t>(stripWidth), picture.cy));
  if (FAILED(hr)) return hr;
  hr = FillSurfaceRect(surface, nullptr, key, DDBLT_WAIT);
  if (FAILED(hr)) return hr;
  for (int32_t f = 0; f < frameCount_; ++f) {
    if (frameCount_ > 1) delays_.push_back(lead.Frames()[static_cast<size_t>(f)].delay);
    RECT cell{};
    GRect(GPoint(f * picture.cx, 0), picture).CopyTo(&cell);
    for (int32_t layer : kLayerOrder) {
      const size_t i = static_cast<size_t>(layer);
      if (i >= count || !parts[i]) continue;
      // Shorter parts wrap to their first frame; single frames stay as loaded.
      parts[i]->StepGifFrame();
      hr = BltWithColorKey(surface, &cell, parts[i]->MainSurface(), nullptr, DDBLT_WAIT);
      if (FAILED(hr)) return hr;
    }
  }
  if (key != kNoColorKey) hr = SetSurfaceColorKey(surface, key);
  return hr;
}

const XGifEntry* AsGifEntry(const XBaseEntry* entry) {
  if (!entry || entry->kind != kEntryFrames) return nullptr;
  return dynamic_cast<const XGifEntry*>(entry);
}

int32_t EntryFrameCount(const XBaseEntry* entry) {
  if (!entry) return 0;
  const XGifEntry* gif = AsGifEntry(entry);
  return gif ? gif->GetFrameCount() : 1;
}

int32_t EntryDelayCount(const XBaseEntry* entry) {
  const XGifEntry* gif = AsGifEntry(entry);
  return gif ? gif->GetDelayCount() : 0;
}

int32_t EntryFrameDelay(const XBaseEntry* entry, int32_t frame) {
  const XGifEntry* gif = AsGifEntry(entry);
  return gif ? gif->GetFrameDelay(frame) : 0;
}

GRect EntryFrameRect(const XBaseEntry* entry) {
  if (!entry) return GRect();
  const XGifEntry* gif = AsGifEntry(entry);
  return gif ? gif->frameRect : GRect(GPoint(), entry->size);
}
