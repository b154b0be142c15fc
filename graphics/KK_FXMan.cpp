// The effect manager's format-independent half: level rows, blend tables, the choice
// of a row function by effect mode, the alpha plane, the box blur, and the managers of
// the formats with the current one.
#include "graphics/KK_FXMan.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>

#include "base/ModuleGlobal.h"
#include "base/SectionLock.h"
#include "graphics/KK_FXMath.h"
#include "base/PixelFormat.h"

namespace {

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

KK_FXParams KK_FXMan::DrawParams() const {
  KK_FXParams params;
  params.bytesPerPixel = m_bpp;
  params.tableBase = m_tables.get();
  return params;
}

KK_RowFn KK_FXMan::Select(KK_FXParams& params, FXRow row) const {
  params.row = row;
  return m_rows[int32_t(row)];
}

KK_RowFn KK_FXMan::SelectBlendLevel(KK_FXParams& params, int32_t index) const {
  const void* table = BlendTable(index);
  if (!table) return nullptr;
  params.table = table;
  params.tableIndex = index;
  return Select(params, FXRow::kTableBlend);
}

KK_RowFn KK_FXMan::SelectFillColor(KK_FXParams& params, uint32_t colour) const {
  params.fillColor = PackColor(colour);
  return Select(params, FXRow::kFill);
}

void KK_FXMan::SetColorChannels(KK_FXParams& params, uint32_t colour) const {
  const int32_t shift = m_bpp == 2 ? 3 : 0;
  params.colorChannel[0] = int32_t(kk::RefRed(colour) >> shift);
  params.colorChannel[1] = int32_t(kk::RefGreen(colour) >> shift);
  params.colorChannel[2] = int32_t(kk::RefBlue(colour) >> shift);
}

KK_RowFn KK_FXMan::SelectColorBlend(KK_FXParams& params, int32_t index, uint32_t colour,
                                    int32_t onDestination) const {
  const void* table = BlendTable(index);
  if (!table) return nullptr;
  SetColorChannels(params, colour);
  const int32_t entrySize = m_bpp == 2 ? 2 : 1;
  for (int32_t c = 0; c < 3; ++c)
    params.colorRow[c] =
        static_cast<const uint8_t*>(table) + size_t(params.colorChannel[c]) * size_t(m_max + 1) * entrySize;
  params.colorIndex = index;
  return Select(params, onDestination == 1 ? FXRow::kDestColorBlend : FXRow::kSourceColorBlend);
}

KK_RowFn KK_FXMan::SetFXMode(KK_FXParams& params, uint32_t mode, int32_t level, uint32_t colour) const {
  params.direction = (mode & kMirrorBit) ? -1 : 1;
  params.levelRow = nullptr;
  params.level = 0;
  params.row = FXRow::kCount;
  const uint32_t effect = mode & 0xFFFF;
  auto useLevelRow = [this, &params](int32_t l) {
    params.levelRow = LevelRow(l);
    params.level = l;
  };
  switch (effect) {
    case kModeCopy: return Select(params, FXRow::kCopy);
    case kModeLevel:
      if (level >= kOpaqueLevel) return nullptr;
      if (level < 1) return Select(params, FXRow::kCopy);
      if (m_tableCount == 0) return nullptr;
      useLevelRow(level);
      return SelectBlendLevel(params, level - 1);
    case kModeHalfMix: return Select(params, FXRow::kHalfMix);
    case kModeTint:
      if (level < 1) return Select(params, FXRow::kCopy);
      if (level >= kOpaqueLevel) return SelectFillColor(params, colour);
      if (m_tableCount == 0) return nullptr;
      useLevelRow(level);
      return SelectColorBlend(params, level - 1, colour, 0);
    case kModeLighten: return Select(params, FXRow::kLighten);
    case kModeDarken: return Select(params, FXRow::kDarken);
    case kModeAlphaPlane:
      params.plane = &m_plane;
      params.planeImage = m_planeImage;
      params.planeImagePitch = m_planePitch;
      return Select(params, FXRow::kAlphaPlaneBlend);
    case kModeDestColor:
      if (level >= kOpaqueLevel) return nullptr;
      if (level < 1) return SelectFillColor(params, colour);
      return SelectColorBlend(params, kk::fxmath::kLevelRows - level, colour, 1);
    default:
      if (effect >= kModeCurve && effect <= kModeDifference)
        return SelectBlendLevel(params, int32_t(effect - kModeFirstTableOfCurve));
      return nullptr;
  }
}

KK_RowFn KK_FXMan::SelectAlphaFill(KK_FXParams& params, uint32_t colour, int32_t level) const {
  params.fillColor = PackColor(colour);
  params.direction = 1;
  params.levelRow = nullptr;
  params.level = 0;
  if (level >= kOpaqueLevel || m_tableCount == 0) return nullptr;
  if (level >= 1) {
    params.levelRow = LevelRow(level);
    params.level = level;
  }
  return Select(params, FXRow::kAlphaPlaneFill);
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

namespace {

// One manager a format, each made at the first ask for it and kept until the managers
// are destroyed: a screen of another format makes another current, while draws still
// running with the old one keep it.
struct Managers {
  SectionLock lock;
  std::unique_ptr<KK_FXMan> made[3];
  std::atomic<KK_FXMan*> current{nullptr};
};
ModuleGlobal<Managers> g_managers;

int32_t SlotOf(int32_t format) {
  switch (format) {
    case kk::kFormat565: return 0;
    case kk::kFormat555: return 1;
    case kk::kFormat32: return 2;
    default: return -1;
  }
}

std::unique_ptr<KK_FXMan> MakeFor(int32_t format) {
  if (format == kk::kFormat32) return std::make_unique<KK_FXMan_32>();
  auto made = std::make_unique<KK_FXMan_16>();
  if (format == kk::kFormat555) made->SwitchTo555();
  return made;
}

}  // namespace

void MakeFXManagerSlot() { g_managers.Get(); }

int32_t CreateFXManager(int32_t format) {
  Managers& managers = g_managers.Get();
  const int32_t slot = SlotOf(format);
  SectionGuard hold(managers.lock);
  if (slot < 0) {
    managers.current = nullptr;
    return 0;
  }
  std::unique_ptr<KK_FXMan>& manager = managers.made[slot];
  if (!manager) {
    std::unique_ptr<KK_FXMan> made = MakeFor(format);
    made->BuildTables();
    manager = std::move(made);
  }
  managers.current = manager.get();
  return 1;
}

void DestroyFXManager() {
  Managers& managers = g_managers.Get();
  SectionGuard hold(managers.lock);
  managers.current = nullptr;
  for (std::unique_ptr<KK_FXMan>& manager : managers.made) manager.reset();
}

int32_t GetPixelFormatCode() {
  const KK_FXMan* m = GetFXManager();
  return m ? m->FormatCode() : kk::kFormatNone;
}

KK_FXMan* GetFXManager() { return g_managers.Get().current.load(); }
