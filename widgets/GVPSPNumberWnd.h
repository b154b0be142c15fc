// The number widget: a signed 64-bit value drawn as a row of glyph sprites from a
// sprite set, with optional sign, thousands separators or 10^4 unit glyphs, a trailing
// unit glyph, alignment inside the widget and a blend level.
#pragma once

#include <array>
#include <cstdint>

#include "widgets/GVWnd.h"

class GVPSPNumberWnd : public GVWnd {
 public:
  // Glyph indices, added to the glyph base to find the frame.
  static constexpr int8_t kGlyphMinus = 10;
  static constexpr int8_t kGlyphPlus = 11;
  static constexpr int8_t kGlyphSeparator = 12;
  static constexpr int8_t kGlyphUnit = 13;      // the trailing unit
  static constexpr int8_t kGlyphTenThousand = 14;  // 10^4; 15 is 10^8, 16 10^12, 17 10^16
  // Style flags: layout.
  static constexpr uint32_t kRightAligned = 0x2;
  static constexpr uint32_t kCentred = 0x4;
  static constexpr uint32_t kMiddle = 0x10;
  static constexpr uint32_t kBottom = 0x20;
  // Style flags: format.
  static constexpr uint32_t kUnitGroups = 0x10000;
  static constexpr uint32_t kThousands = 0x20000;
  static constexpr uint32_t kTrailingUnit = 0x40000;
  static constexpr uint32_t kPlusSign = 0x80000;
  static constexpr uint32_t kFormatBits = 0xF0000;
  // Blend levels from here on draw nothing.
  static constexpr int32_t kHiddenLevel = 32;
  static constexpr size_t kMaxGlyphs = 40;

  GVPSPNumberWnd() = default;
  ~GVPSPNumberWnd() override;

  void ReleaseImage() override;
  ComPtr<IDirectDrawSurface4> GetSurface() override;
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;

  // The set's frame 0 gives the glyph size; the widget takes (x, y, x + w, y + h).
  // 0 when the file gives no set.
  virtual int32_t Load(const char* fileName, int32_t x, int32_t y, int32_t w, int32_t h);
  // Another set with its glyph base; 0 (the old set kept) when the file gives none.
  int32_t ChangeSprite(const char* fileName, int32_t glyphBase);
  void SetGlyphBase(int32_t base);
  void SetNumber(int64_t value);
  void SetStyle(uint32_t flags, int32_t spacing);
  // 0 draws plain, 1..31 blend at that level, 32 and above draw nothing.
  void SetBlendLevel(int32_t level);

  int64_t GetNumber() const { return value_; }
  uint32_t GetStyle() const { return style_; }
  int32_t GetSpacing() const { return spacing_; }
  int32_t GetBlendLevel() const { return level_; }
  int32_t GetGlyphBase() const { return glyphBase_; }
  GSize GetGlyphSize() const { return {glyphWidth_, glyphHeight_}; }
  int32_t GetGlyphCount() const { return glyphCount_; }
  const int8_t* GetGlyphs() const { return glyphs_.data(); }

 private:
  void BuildGlyphs();

  int32_t glyphBase_ = 0;
  int32_t glyphHeight_ = 0;
  int32_t glyphWidth_ = 0;
  int32_t spacing_ = 0;
  int64_t value_ = 0;
  int32_t glyphCount_ = 0;
  std::array<int8_t, kMaxGlyphs> glyphs_{};
  uint32_t style_ = 0;
  int32_t level_ = 0;
};
