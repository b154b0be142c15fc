// The 16-bit effect manager: 5-6-5 rows, or 5-5-5 after SwitchTo555; colours packed
// into both halves of a 32-bit word so fills store two pixels at a time.
#include "graphics/KK_FXMan.h"
#include "base/PixelFormat.h"

KK_FXMan_16::KK_FXMan_16() : KK_FXMan(kk::kFormat565, 2, 31) {
  SetRows(kk::FastRows(kk::kFormat565));
}

void KK_FXMan_16::SwitchTo555() {
  m_format = kk::kFormat555;
  SetRows(kk::FastRows(kk::kFormat555));
}

uint32_t KK_FXMan_16::PackColor(uint32_t colour) const {
  const uint32_t one = m_format == kk::kFormat555 ? kk::Px555::FromRef(colour) : kk::Px565::FromRef(colour);
  return one | (one << 16);
}

void KK_FXMan_16::FillRow(void* dst, int32_t count, uint32_t packed) {
  kk::FillPacked(m_format, dst, count, packed);
}

void KK_FXMan_16::FillColumn(void* dst, int32_t pitch, int32_t count, uint32_t packed) {
  auto* d = static_cast<uint8_t*>(dst);
  for (int32_t i = 0; i < count; ++i, d += pitch) kk::StorePixel<uint16_t>(d, uint16_t(packed));
}
