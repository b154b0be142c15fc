// The pixel-effect manager: the row functions of the screen's pixel format, their
// blend tables, and the choice of a row function from an effect mode, a level and a
// colour. A manager is made once for each format code, the first time a screen of that
// format asks, and is read-only afterwards: every game's threads draw with it at once,
// each draw filling its own parameters. One of them is current, the last screen's.
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/KK_AlphaChannel.h"

// The ten row functions, in the manager's table order.
enum class FXRow : int32_t {
  kCopy,
  kLighten,
  kDarken,
  kHalfMix,
  kTableBlend,
  kFill,
  kDestColorBlend,
  kSourceColorBlend,
  kAlphaPlaneBlend,
  kAlphaPlaneFill,
  kCount
};

// Everything a row function reads besides its pixels: the draw's own, made by the
// manager's DrawParams and filled by SetFXMode; the blitters add the sprite's alpha
// mode and the current run's alpha bytes. The semantic fields (level, table index,
// colour channels) sit beside the table pointers so that the reference rows can
// evaluate the formulas without the tables.
struct KK_FXParams {
  int32_t alphaMode = 0;  // 0 none, 1 fourth byte of 32-bit pixels, 2 bytes at `alpha`, 3 none
  int32_t direction = 1;  // -1: the destination walks backwards
  const uint8_t* levelRow = nullptr;
  int32_t level = 0;      // the level of levelRow, 0 without one
  const uint8_t* alpha = nullptr;
  const void* tableBase = nullptr;
  const void* table = nullptr;
  int32_t tableIndex = -1;
  uint32_t fillColor = 0;  // packed
  const void* colorRow[3] = {nullptr, nullptr, nullptr};  // R, G, B
  int32_t colorIndex = -1;
  int32_t colorChannel[3] = {0, 0, 0};  // R, G, B in table units
  FXRow row = FXRow::kCount;
  // The alpha plane read by the plane blend, and the image it was made for.
  const KK_AlphaChannel* plane = nullptr;
  const uint8_t* planeImage = nullptr;
  int32_t planeImagePitch = 0;
  int32_t bytesPerPixel = 0;
};

using KK_RowFn = void (*)(void* dst, const void* src, int32_t count, const KK_FXParams& params);

class KK_FXMan {
 public:
  static constexpr int32_t kMaxBlurRadius = 200;
  static constexpr uint32_t kMirrorBit = 0x10000;
  static constexpr int32_t kMaxMode = 200;

  virtual ~KK_FXMan();
  KK_FXMan(const KK_FXMan&) = delete;
  KK_FXMan& operator=(const KK_FXMan&) = delete;

  // Fills with a packed colour (PackColor).
  virtual void FillRow(void* dst, int32_t count, uint32_t packed) = 0;
  virtual void FillColumn(void* dst, int32_t pitch, int32_t count, uint32_t packed) = 0;
  virtual uint32_t PackColor(uint32_t colour) const = 0;
  virtual int32_t BuildTables();

  // A draw's parameters before any selection: this format's pixel size and tables.
  KK_FXParams DrawParams() const;
  // Each selection fills `params` for the row function it answers, or answers null.
  KK_RowFn SelectBlendLevel(KK_FXParams& params, int32_t index) const;
  KK_RowFn SelectFillColor(KK_FXParams& params, uint32_t colour) const;
  KK_RowFn SelectColorBlend(KK_FXParams& params, int32_t index, uint32_t colour, int32_t onDestination) const;
  // The row function for an effect (mode bit 0x10000 mirrors), or null: draw nothing.
  KK_RowFn SetFXMode(KK_FXParams& params, uint32_t mode, int32_t level, uint32_t colour) const;
  KK_RowFn SelectAlphaFill(KK_FXParams& params, uint32_t colour, int32_t level) const;

  int32_t FormatCode() const { return m_format; }
  int32_t BytesPerPixel() const { return m_bpp; }
  int32_t TableCount() const { return m_tableCount; }
  int32_t ChannelMax() const { return m_max; }
  const uint8_t* LevelRow(int32_t level) const;  // level 1..30, else null
  const void* BlendTable(int32_t index) const;   // null without tables or out of range
  KK_RowFn Row(FXRow row) const { return m_rows[int32_t(row)]; }

  // The plane read by the plane blend, sized to an image's memory (width = pitch / bpp).
  // The one thing of the manager a caller changes: only code drawing on one thread may
  // prepare it (no game's code does).
  int32_t PrepareAlphaPlane(const uint8_t* bits, int32_t pitch, int32_t height);
  bool IsAlphaPlaneFor(const uint8_t* bits, int32_t pitch, int32_t height) const;
  void ClearAlphaPlane() { m_plane.Clear(); }
  void ResetAlphaPlane();
  KK_AlphaChannel& AlphaPlane() { return m_plane; }

  // Box blur: each output pixel is the per-channel average of the source pixels within
  // `radius` (clamped to 0..200) on either side, clipped to the row. `step` is the byte
  // distance between neighbouring pixels (0: one pixel), so columns blur too. A negative
  // format means the manager's own.
  void BlurRow(void* dst, const void* src, int32_t count, int32_t radius, int32_t step,
               int32_t format) const;

 protected:
  KK_FXMan(int32_t format, int32_t bytesPerPixel, int32_t channelMax);
  void SetRows(const KK_RowFn* rows);

  int32_t m_format;
  int32_t m_bpp;
  int32_t m_max;
  int32_t m_tableCount = 0;
  int32_t m_entries;  // per table: (max + 1)^2
  uint8_t m_levelTable[30][31];
  std::unique_ptr<uint8_t[]> m_tables;
  KK_RowFn m_rows[int32_t(FXRow::kCount)] = {};
  KK_AlphaChannel m_plane;
  const uint8_t* m_planeImage = nullptr;
  int32_t m_planePitch = 0;

 private:
  KK_RowFn Select(KK_FXParams& params, FXRow row) const;
  void SetColorChannels(KK_FXParams& params, uint32_t colour) const;
};

class KK_FXMan_16 : public KK_FXMan {
 public:
  KK_FXMan_16();
  void FillRow(void* dst, int32_t count, uint32_t packed) override;
  void FillColumn(void* dst, int32_t pitch, int32_t count, uint32_t packed) override;
  uint32_t PackColor(uint32_t colour) const override;
  // Format code 17 and the 5-5-5 row functions.
  void SwitchTo555();
};

class KK_FXMan_32 : public KK_FXMan {
 public:
  KK_FXMan_32();
  void FillRow(void* dst, int32_t count, uint32_t packed) override;
  void FillColumn(void* dst, int32_t pitch, int32_t count, uint32_t packed) override;
  uint32_t PackColor(uint32_t colour) const override;
};

// 1 when a manager for `format` is current afterwards (16, 17, 32), else 0 and none.
// The manager of a format is made once, whichever threads ask at once, and stays, so a
// draw on another thread never loses the one it holds.
int32_t CreateFXManager(int32_t format);
// The current manager's format code, 0 without one.
int32_t GetPixelFormatCode();
KK_FXMan* GetFXManager();
// Deletes every manager made (tests and shut-down, when nothing draws).
void DestroyFXManager();
// Makes the managers' slot, empty, with the module's other globals; it goes, with every
// manager made, when they go.
void MakeFXManagerSlot();

namespace kk {
// The fast rows of a format (16, 17, 32), or null; used by the managers.
const KK_RowFn* FastRows(int32_t format);
// Fills `count` pixels forwards with a packed colour, two 16-bit pixels per store.
void FillPacked(int32_t format, void* dst, int32_t count, uint32_t packed);
// The slow, obvious rows: per pixel, per channel, straight from the formulas, no tables.
// The oracle of every fast-path test; null for an unknown format.
KK_RowFn ReferenceRow(int32_t format, FXRow row);
void ReferenceBlurRow(void* dst, const void* src, int32_t count, int32_t radius, int32_t step,
                      int32_t format);
}  // namespace kk
