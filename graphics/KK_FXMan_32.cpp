// The 32-bit effect manager: B, G, R, A pixels, blends by byte tables.
#include "graphics/KK_FXMan.h"
#include "base/PixelFormat.h"

KK_FXMan_32::KK_FXMan_32() : KK_FXMan(kk::kFormat32, 4, 255) {
  SetRows(kk::FastRows(kk::kFormat32));
}

uint32_t KK_FXMan_32::PackColor(uint32_t colour) const { return kk::Px8888::FromRef(colour); }

void KK_FXMan_32::FillRow(void* dst, int32_t count, uint32_t packed) { kk::FillPacked(m_format, dst, count, packed); }

void KK_FXMan_32::FillColumn(void* dst, int32_t pitch, int32_t count, uint32_t packed) {
  auto* d = static_cast<uint8_t*>(dst);
  for (int32_t i = 0; i < count; ++i, d += pitch) kk::StorePixel<uint32_t>(d, packed);
}
