// FreeType behind the fonts. A hard glyph is hinted for the monochrome target and
// rendered in two levels; a smoothed one is rendered in 256 grey levels. Which a run
// takes is the system's rule (EdgeFor). FreeType is not re-entrant per face, so one
// lock covers it.
#include "gdi/FontEngine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GASP_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>
#include <unordered_map>

#include "gdi/FontFaces.h"
#include "gdi/FontSmoothing.h"

namespace plat::detail::gdi {
namespace {

constexpr int32_t kDefaultCellHeight = 16;
constexpr int64_t kMaxPixelHeight = 1000;
constexpr int32_t kSynthBoldDivisor = 24;  // emboldening strength: em / 24, at least 1 pixel
constexpr FT_Fixed kItalicShear = 0x3800;  // about 0.22 in 16.16
constexpr LONG kBoldWeight = 600;
constexpr BYTE kTmpfVectorTrueType = 0x06;

struct Engine {
  std::mutex mutex;
  FT_Library library = nullptr;
  std::map<std::string, FT_Face> faces;  // by file; a file that fails maps to null
  std::map<std::tuple<FT_Face, int32_t, int32_t, bool, char32_t, GlyphEdge>, Glyph> glyphs;
};

Engine& TheEngine() {
  static Engine* e = [] {
    auto* engine = new Engine;
    if (FT_Init_FreeType(&engine->library) != 0) engine->library = nullptr;
    return engine;
  }();
  return *e;
}

// Caller holds the engine lock.
FT_Face OpenFace(Engine& e, const std::string& file) {
  if (file.empty() || !e.library) return nullptr;
  auto it = e.faces.find(file);
  if (it != e.faces.end()) return it->second;
  FT_Face face = nullptr;
  if (FT_New_Face(e.library, file.c_str(), 0, &face) != 0) face = nullptr;
  e.faces.emplace(file, face);
  return face;
}

Glyph Render(FT_Face face, int32_t em, int32_t embolden, bool italic, char32_t cp, GlyphEdge edge) {
  Glyph g;
  if (cp < 0x20) return g;  // control characters take no room
  if (!face) {
    g.advance = em / 2;
    return g;
  }
  const bool hard = edge == GlyphEdge::Hard;
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em));
  const FT_UInt index = FT_Get_Char_Index(face, cp);
  const FT_Int32 target = hard ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
  if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP | target) != 0) {
    g.advance = em / 2;
    return g;
  }
  FT_GlyphSlot slot = face->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (embolden > 0) FT_Outline_EmboldenXY(&slot->outline, embolden * 64, 0);
    if (italic) {
      FT_Matrix shear{0x10000, kItalicShear, 0, 0x10000};
      FT_Outline_Transform(&slot->outline, &shear);
    }
  }
  g.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6) + embolden;
  if (FT_Render_Glyph(slot, hard ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return g;
  const FT_Bitmap& bm = slot->bitmap;
  const unsigned char mode = hard ? FT_PIXEL_MODE_MONO : FT_PIXEL_MODE_GRAY;
  if (bm.pixel_mode != mode || bm.rows == 0 || bm.width == 0) return g;
  g.left = slot->bitmap_left;
  g.top = slot->bitmap_top;
  g.width = static_cast<int32_t>(bm.width);
  g.rows = static_cast<int32_t>(bm.rows);
  g.cover.resize(static_cast<size_t>(g.width) * static_cast<size_t>(g.rows));
  const int32_t levels = hard ? 2 : (bm.num_grays > 1 ? static_cast<int32_t>(bm.num_grays) : 256);
  for (int32_t y = 0; y < g.rows; ++y) {
    const uint8_t* src = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
    uint8_t* out = &g.cover[static_cast<size_t>(y) * static_cast<size_t>(g.width)];
    for (int32_t x = 0; x < g.width; ++x) {
      if (hard) {
        out[x] = ((src[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0;
      } else {
        out[x] = static_cast<uint8_t>(src[x] * 255 / (levels - 1));
      }
    }
  }
  return g;
}

int32_t RoundDiv(int64_t a, int64_t b) { return static_cast<int32_t>((a * 2 + b) / (2 * b)); }

}  // namespace

const Glyph& FontInstance::GlyphOf(char32_t cp, GlyphEdge edge) const {
  Engine& e = TheEngine();
  std::lock_guard lock(e.mutex);
  auto* f = static_cast<FT_Face>(face);
  auto* fb = static_cast<FT_Face>(fallback);
  // Characters the face lacks come from the fallback face, glyph by glyph.
  if (f && fb && cp >= 0x20 && FT_Get_Char_Index(f, cp) == 0 && FT_Get_Char_Index(fb, cp) != 0) f = fb;
  const auto glyph = [&](GlyphEdge which) -> Glyph& {
    const auto key = std::make_tuple(f, em, emboldenPixels, italic, cp, which);
    auto it = e.glyphs.find(key);
    if (it == e.glyphs.end()) it = e.glyphs.emplace(key, Render(f, em, emboldenPixels, italic, cp, which)).first;
    return it->second;
  };
  if (edge == GlyphEdge::Hard) return glyph(GlyphEdge::Hard);
  const int32_t advance = glyph(GlyphEdge::Hard).advance;
  Glyph& smoothed = glyph(GlyphEdge::Smoothed);
  smoothed.advance = advance;
  return smoothed;
}

GlyphEdge EdgeFor(const FontInstance& font, int bitsPerPixel) {
  // A palette has no levels between the text and what lies under it.
  if (bitsPerPixel <= 8) return GlyphEdge::Hard;
  switch (font.logfont.lfQuality) {
    case NONANTIALIASED_QUALITY:
      return GlyphEdge::Hard;
    case ANTIALIASED_QUALITY:
    case CLEARTYPE_QUALITY:
    case CLEARTYPE_NATURAL_QUALITY:
      break;
    default:  // the font leaves it to the system's setting
      if (!FontSmoothingOn()) return GlyphEdge::Hard;
      break;
  }
  // The face's own size table says which sizes may be grey; a synthetic bold is smoothed
  // at every size, as Wine draws it (Windows documents neither rule).
  if (!font.grayAllowed && font.emboldenPixels == 0) return GlyphEdge::Hard;
  return GlyphEdge::Smoothed;
}

int32_t UnderlineOffset(const FontInstance& font) { return std::max(1, font.descent / 2); }
int32_t StrikeOutOffset(const FontInstance& font) { return std::max(1, font.em * 3 / 10); }
int32_t DecorationThickness(const FontInstance& font) { return std::max(1, font.em / 16); }

std::shared_ptr<FontInstance> Realise(FontObject& object) {
  std::call_once(object.realiseOnce, [&object] {
    auto font = std::make_shared<FontInstance>();
    const LOGFONTA& lf = object.font;
    font->logfont = lf;
    std::string name(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
    const FaceFamily family = FamilyOf(name);
    const bool bold = lf.lfWeight >= kBoldWeight;
    Engine& e = TheEngine();
    std::unique_lock lock(e.mutex);
    FT_Face face = bold ? OpenFace(e, FaceFile(family, true)) : nullptr;
    const bool synthBold = bold && !face;
    if (!face) face = OpenFace(e, FaceFile(family, false));
    if (family == FaceFamily::Latin) font->fallback = OpenFace(e, FaceFile(kFallbackFamily, false));
    font->face = face;

    int64_t asc = 4, desc = 1, upem = 5;  // proportions used without a face file
    int64_t averageWidth = 0;             // in font units; none without the OS/2 table
    if (face) {
      const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
      if (os2 && os2->xAvgCharWidth > 0) averageWidth = os2->xAvgCharWidth;
      asc = (os2 && os2->usWinAscent) ? os2->usWinAscent : face->ascender;
      desc = (os2 && os2->usWinDescent) ? os2->usWinDescent : -face->descender;
      upem = face->units_per_EM ? face->units_per_EM : 1000;
      if (asc <= 0 || desc < 0) asc = upem, desc = 0;
    }
    // Positive heights are cell heights, negative ones em heights.
    int64_t height = lf.lfHeight == 0 ? kDefaultCellHeight : lf.lfHeight;
    height = std::clamp<int64_t>(height, -kMaxPixelHeight, kMaxPixelHeight);
    if (height > 0) {
      font->em = std::max(1, RoundDiv(height * upem, asc + desc));
      font->ascent = RoundDiv(height * asc, asc + desc);
      font->descent = static_cast<int32_t>(height) - font->ascent;
    } else {
      font->em = static_cast<int32_t>(-height);
      font->ascent = RoundDiv(font->em * asc, upem);
      font->descent = RoundDiv(font->em * desc, upem);
    }
    font->emboldenPixels = synthBold ? std::max(1, font->em / kSynthBoldDivisor) : 0;
    if (face) {
      const FT_Int gasp = FT_Get_Gasp(face, static_cast<FT_UInt>(font->em));
      font->grayAllowed = gasp == FT_GASP_NO_TABLE || (gasp & FT_GASP_DO_GRAY) != 0;
    }
    font->italic = lf.lfItalic != 0;
    font->underline = lf.lfUnderline != 0;
    font->strikeOut = lf.lfStrikeOut != 0;

    TEXTMETRICA& tm = font->metrics;
    tm.tmHeight = font->Height();
    tm.tmAscent = font->ascent;
    tm.tmDescent = font->descent;
    tm.tmInternalLeading = std::max(0, tm.tmHeight - font->em);
    tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = '?';
    tm.tmBreakChar = ' ';
    tm.tmItalic = lf.lfItalic;
    tm.tmUnderlined = lf.lfUnderline;
    tm.tmStruckOut = lf.lfStrikeOut;
    tm.tmPitchAndFamily = kTmpfVectorTrueType | (family == FaceFamily::Latin ? FF_SWISS : FF_MODERN);
    tm.tmCharSet = family == FaceFamily::Latin ? ANSI_CHARSET : HANGUL_CHARSET;
    // Widths need glyphs, and glyphs take the engine lock themselves.
    lock.unlock();
    // The system's average is the font's own figure, scaled (a Korean face's is its
    // full-width cell); a face without one is measured by its 'x'. A simulated bold is
    // a pixel wider.
    tm.tmAveCharWidth = averageWidth > 0 ? std::max(1, RoundDiv(averageWidth * font->em, upem)) + (synthBold ? 1 : 0)
                                         : font->GlyphOf(U'x').advance;
    tm.tmMaxCharWidth = std::max(font->GlyphOf(U'W').advance, font->GlyphOf(U'\uAC00').advance);
    object.instance = std::move(font);
  });
  return object.instance;
}

}  // namespace plat::detail::gdi
