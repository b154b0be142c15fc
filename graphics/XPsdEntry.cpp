// The layered-picture entry.
#include "graphics/XPsdEntry.h"

#include <utility>

#include "graphics/EntrySurfaceFill.h"
#include "graphics/PsdSidecar.h"

namespace {
constexpr uint8_t kOpaqueAlpha = 0xFF;
}  // namespace

HRESULT XPsdEntry::Load(DDObject newDd, COLORREF key) {
  PsdLayerSet layers;
  ReadPsdSidecar(fileName_, layers);
  return LoadLayers(newDd, key, std::move(layers));
}

HRESULT XPsdEntry::LoadLayers(const DDObject& newDd, COLORREF key, PsdLayerSet layers) {
  dd = newDd;
  colorKey = key;
  frames.clear();
  frameAlpha.clear();
  frameSizes = std::move(layers.sizes);
  frameOffsets = std::move(layers.offsets);
  durations = std::move(layers.durations);
  names = std::move(layers.names);
  HRESULT result = S_OK;
  for (size_t i = 0; i < frameSizes.size(); ++i) {
    const GSize s = frameSizes[i];
    static const std::vector<uint8_t> kNone;
    const std::vector<uint8_t>& src = i < layers.pixels.size() ? layers.pixels[i] : kNone;
    const size_t w = static_cast<size_t>(s.cx);
    std::vector<uint8_t> plane(w * static_cast<size_t>(s.cy));
    DDSurface made;
    const HRESULT hr = src.size() != plane.size() * 4 ? S_FALSE
                       : FillNewEntrySurface(dd, s, made, [&](int32_t y, const EntryRow& row) {
                           const size_t first = static_cast<size_t>(y) * w;
                           for (size_t x = 0; x < w; ++x) {
                             const uint8_t* p = &src[4 * (first + x)];
                             plane[first + x] = p[3];
                             const auto at = static_cast<int32_t>(x);
                             if (p[3] == 0) {
                               row.PutKey(at);
                               continue;
                             }
                             row.Put(at, p[2], p[1], p[0]);
                             if (row.Format() == EntryFormat::k32) row.PutFourth(at, kOpaqueAlpha);
                           }
                         });
    if (hr != S_OK) {
      KeepMadeFrames();
      return S_FALSE;
    }
    if (key != kNoColorKey) {
      result = SetSurfaceColorKey(made, key);
      if (FAILED(result)) {
        KeepMadeFrames();
        return result;
      }
    }
    frames.push_back(std::move(made));
    frameAlpha.push_back(std::move(plane));
  }
  return result;
}

void XPsdEntry::KeepMadeFrames() {
  const size_t n = frames.size();
  frameAlpha.resize(n);
  frameSizes.resize(n);
  frameOffsets.resize(n);
  durations.resize(n);
  names.resize(n);
}

std::unique_ptr<XPsdEntry> XPsdEntry::Named(const std::string& name) {
  auto entry = std::make_unique<XPsdEntry>();
  entry->kind = kEntryLayered;
  entry->SetFileName(name);
  return entry;
}
