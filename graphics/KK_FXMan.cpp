// The effect manager's format-independent half: level rows, blend tables, the choice
// of a row function by effect mode, the alpha plane, the box blur and the one current
// manager.
#include "graphics/KK_FXMan.h"

#include <algorithm>
#include <new>

#include "graphics/KK_FXMath.h"
#include "base/PixelFormat.h"

KK_FXMan* g_pFXManCurrent = nullptr;

namespace {
KK_FXMan* g_manager = nullptr;

constexpr uint32_t kModeCopy = 0;
constexpr uint32_t kModeLevel = 1;
constexpr uint32_t kModeCurve = 100;
constexpr uint32_t kModeDifference = 103;
constexpr uint32_t kModeFirstTableOfCurve = 70;  // modes 100..103 select tables 30..33
constexpr uint32_t kModeHalfMix = 150;
constexpr uint32_t kModeTint = 151;
constexpr uint32_t kModeLighten = 152;
constexpr uint32_t kModeDarken = 153;
constexpr uint32_t kModeAlphaPlane = 154;
constexpr uint32_t kModeDestColor = 200;
constexpr int32_t kOpaqueLevel = 31;
}  // namespace

KK_FXMan::KK_FXMan(int32_t format, int32_t bytesPerPixel, int32_t channelMax)
    : m_format(format), m_bpp(bytesPerPixel), m_max(channelMax), m_entries((channelMax + 1) * (channelMax + 1)) {
  for (int32_t l = 1; l <= kk::fxmath::kLevelRows; ++l)
    for (int32_t a = 0; a < kk::fxmath::kLevelRowLength; ++a)
      m_levelTable[l - 1][a] = uint8_t(kk::fxmath::LevelRowEntry(l, a));
  m_params.bytesPerPixel = bytesPerPixel;
}

KK_FXMan::~KK_FXMan() = default;

void KK_FXMan::SetRows(const KK_RowFn* rows) {
  std::copy(rows, rows + int32_t(FXRow::kCount), m_rows);
}

int32_t KK_FXMan::BuildTables() {
  const int32_t entrySize = m_bpp == 2 ? 2 : 1;
  const size_t bytes = size_t(kk::fxmath::kTableCount) * size_t(m_entries) * size_t(entrySize);
  m_tables.reset(new (std::nothrow) uint8_t[bytes]);
  m_tableCount = 0;
  if (!m_tables) return 0;
  for (int32_t t = 0; t < kk::fxmath::kTableCount; ++t) {
    uint8_t* table = m_tables.get() + size_t(t) * size_t(m_entries) * size_t(entrySize);
    for (int32_t a = 0; a <= m_max; ++a)
      for (int32_t b = 0; b <= m_max; ++b) {
        const int32_t v = kk::fxmath::TableEntry(t, a, b, m_max);
        const size_t index = size_t(a) * size_t(m_max + 1) + size_t(b);
        if (entrySize == 2) kk::StorePixel<uint16_t>(table + index * 2, uint16_t(v));
        else table[index] = uint8_t(v);
      }
  }
  m_tableCount = kk::fxmath::kTableCount;
  m_params.tableBase = m_tables.get();
  return m_tableCount;
}

const uint8_t* KK_FXMan::LevelRow(int32_t level) const {
  if (level < 1 || level > kk::fxmath::kLevelRows) return nullptr;
  return m_levelTable[level - 1];
}

const void* KK_FXMan::BlendTable(int32_t index) const {
  if (index < 0 || index >= m_tableCount) return nullptr;
  return m_tables.get() + size_t(index) * size_t(m_entries) * size_t(m_bpp == 2 ? 2 : 1);
}

KK_RowFn KK_FXMan::Select(FXRow row) {
  m_params.row = row;
  return m_rows[int32_t(row)];
}

KK_RowFn KK_FXMan::SelectBlendLevel(int32_t index) {
  const void* table = BlendTable(index);
  if (!table) return nullptr;
  m_params.table = table;
  m_params.tableIndex = index;
  return Select(FXRow::kTableBlend);
}

KK_RowFn KK_FXMan::SelectFillColor(uint32_t colour) {
  m_params.fillColor = PackColor(colour);
  return Select(FXRow::kFill);
}

void KK_FXMan::SetColorChannels(uint32_t colour) {
  const int32_t shift = m_bpp == 2 ? 3 : 0;
  m_params.colorChannel[0] = int32_t(kk::RefRed(colour) >> shift);
  m_params.colorChannel[1] = int32_t(kk::RefGreen(colour) >> shift);
  m_params.colorChannel[2] = int32_t(kk::RefBlue(colour) >> shift);
}

KK_RowFn KK_FXMan::SelectColorBlend(int32_t index, uint32_t colour, int32_t onDestination) {
  const void* table = BlendTable(index);
  if (!table) return nullptr;
  SetColorChannels(colour);
  const int32_t entrySize = m_bpp == 2 ? 2 : 1;
  for (int32_t c = 0; c < 3; ++c)
    m_params.colorRow[c] =
        static_cast<const uint8_t*>(table) + size_t(m_params.colorChannel[c]) * size_t(m_max + 1) * entrySize;
  m_params.colorIndex = index;
  return Select(onDestination == 1 ? FXRow::kDestColorBlend : FXRow::kSourceColorBlend);
}

KK_RowFn KK_FXMan::SetFXMode(uint32_t mode, int32_t level, uint32_t colour) {
  m_params.direction = (mode & kMirrorBit) ? -1 : 1;
  m_params.levelRow = nullptr;
  m_params.level = 0;
  m_params.row = FXRow::kCount;
  const uint32_t effect = mode & 0xFFFF;
  auto useLevelRow = [this](int32_t l) {
    m_params.levelRow = LevelRow(l);
    m_params.level = l;
  };
  switch (effect) {
    case kModeCopy: return Select(FXRow::kCopy);
    case kModeLevel:
      if (level >= kOpaqueLevel) return nullptr;
      if (level < 1) return Select(FXRow::kCopy);
      if (m_tableCount == 0) return nullptr;
      useLevelRow(level);
      return SelectBlendLevel(level - 1);
    case kModeHalfMix: return Select(FXRow::kHalfMix);
    case kModeTint:
      if (level < 1) return Select(FXRow::kCopy);
      if (level >= kOpaqueLevel) return SelectFillColor(colour);
      if (m_tableCount == 0) return nullptr;
      useLevelRow(level);
      return SelectColorBlend(level - 1, colour, 0);
    case kModeLighten: return Select(FXRow::kLighten);
    case kModeDarken: return Select(FXRow::kDarken);
    case kModeAlphaPlane:
      m_params.plane = &m_plane;
      m_params.planeImage = m_planeImage;
      m_params.planeImagePitch = m_planePitch;
      return Select(FXRow::kAlphaPlaneBlend);
    case kModeDestColor:
      if (level >= kOpaqueLevel) return nullptr;
      if (level < 1) return SelectFillColor(colour);
      return SelectColorBlend(kk::fxmath::kLevelRows - level, colour, 1);
    default:
      if (effect >= kModeCurve && effect <= kModeDifference)
        return SelectBlendLevel(int32_t(effect - kModeFirstTableOfCurve));
      return nullptr;
  }
}

KK_RowFn KK_FXMan::SelectAlphaFill(uint32_t colour, int32_t level) {
  m_params.fillColor = PackColor(colour);
  m_params.direction = 1;
  m_params.levelRow = nullptr;
  m_params.level = 0;
  if (level >= kOpaqueLevel || m_tableCount == 0) return nullptr;
  if (level >= 1) {
    m_params.levelRow = LevelRow(level);
    m_params.level = level;
  }
  return Select(FXRow::kAlphaPlaneFill);
}

int32_t KK_FXMan::PrepareAlphaPlane(const uint8_t* bits, int32_t pitch, int32_t height) {
  if (!bits || pitch <= 0 || height <= 0) return 0;
  const int32_t width = pitch / m_bpp;
  if (m_plane.Width() != width || m_plane.Height() != height) {
    if (!m_plane.Create(width, height)) return 0;
    m_plane.Clear();
  }
  m_planeImage = bits;
  m_planePitch = pitch;
  return 1;
}

bool KK_FXMan::IsAlphaPlaneFor(const uint8_t* bits, int32_t pitch, int32_t height) const {
  return bits && bits == m_planeImage && pitch == m_planePitch && m_plane.Width() == pitch / m_bpp &&
         m_plane.Height() == height;
}

void KK_FXMan::ResetAlphaPlane() {
  m_plane.Release();
  m_planeImage = nullptr;
  m_planePitch = 0;
}

namespace {

// Sliding-window box blur over native channels; `Split`/`Join` per format.
template <class P>
void BlurFast(void* dst, const void* src, int32_t n, int32_t radius, int32_t step) {
  using T = typename P::T;
  if (n <= 0) return;
  if (step == 0) step = P::kBpp;
  auto load = [&](int32_t j) { return kk::LoadPixel<T>(static_cast<const uint8_t*>(src) + ptrdiff_t(j) * step); };
  int32_t r = 0, g = 0, b = 0;
  const int32_t firstRight = std::min(radius, n - 1);
  for (int32_t j = 0; j <= firstRight; ++j) {
    const T v = load(j);
    r += P::NR(v), g += P::NG(v), b += P::NB(v);
  }
  for (int32_t i = 0; i < n; ++i) {
    const int32_t lo = std::max(0, i - radius), hi = std::min(n - 1, i + radius);
    const int32_t count = hi - lo + 1;
    kk::StorePixel<T>(static_cast<uint8_t*>(dst) + ptrdiff_t(i) * step, P::FromNative(r / count, g / count, b / count));
    if (i + radius + 1 < n) {
      const T v = load(i + radius + 1);
      r += P::NR(v), g += P::NG(v), b += P::NB(v);
    }
    if (i - radius >= 0) {
      const T v = load(i - radius);
      r -= P::NR(v), g -= P::NG(v), b -= P::NB(v);
    }
  }
}

}  // namespace

void KK_FXMan::BlurRow(void* dst, const void* src, int32_t count, int32_t radius, int32_t step,
                       int32_t format) const {
  if (format < 0) format = m_format;
  radius = std::clamp(radius, int32_t{0}, kMaxBlurRadius);
  switch (format) {
    case kk::kFormat565: BlurFast<kk::Px565>(dst, src, count, radius, step); break;
    case kk::kFormat555: BlurFast<kk::Px555>(dst, src, count, radius, step); break;
    case kk::kFormat32: BlurFast<kk::Px8888>(dst, src, count, radius, step); break;
    default: break;
  }
}

int32_t CreateFXManager(int32_t format) {
  if (g_manager && g_manager->FormatCode() == format) return 1;
  DestroyFXManager();
  KK_FXMan* made = nullptr;
  switch (format) {
    case kk::kFormat565: made = new KK_FXMan_16(); break;
    case kk::kFormat555: {
      auto* m = new KK_FXMan_16();
      m->SwitchTo555();
      made = m;
      break;
    }
    case kk::kFormat32: made = new KK_FXMan_32(); break;
    default: return 0;
  }
  made->BuildTables();
  g_manager = made;
  g_pFXManCurrent = made;
  return 1;
}

void DestroyFXManager() {
  g_pFXManCurrent = nullptr;
  delete g_manager;
  g_manager = nullptr;
}

int32_t GetPixelFormatCode() { return g_manager ? g_manager->FormatCode() : kk::kFormatNone; }

KK_FXMan* GetFXManager() { return g_manager; }
