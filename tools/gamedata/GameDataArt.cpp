#include "tools/gamedata/GameDataArt.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "plat/gdi.h"
#include "plat/gdi_text.h"
#include "widgets/GVPSPNumberWnd.h"

namespace game_data {
namespace game_data_art {

constexpr const char* kFace = "굴림";
constexpr uint32_t kCardCorner = 0x202020;
constexpr uint32_t kInk = kInkColour;
constexpr uint32_t kSheetGround = 0x808080;
constexpr int32_t kSheetWidth = 800;
constexpr int32_t kSheetGap = 2;
constexpr int32_t kSmallText = 12;

// Twelve month hues, then the bonus cards'.
constexpr uint32_t kMonthColours[13] = {0xE8A0A0, 0xE8C090, 0xE8E090, 0xB8E090, 0x90E0A8, 0x90E0E0, 0x90B8E8,
                                        0xA098E8, 0xC898E8, 0xE898D0, 0xC8C8C8, 0xD8B088, 0xFFD700};

COLORREF Ref(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

uint32_t Shade(uint32_t rgb, int32_t percent) {
  auto ch = [&](int32_t shift) {
    const int32_t v = int32_t((rgb >> shift) & 0xFF) * percent / 100;
    return uint32_t(std::clamp(v, 0, 255)) << shift;
  };
  return ch(16) | ch(8) | ch(0);
}

// A 32-bit DIB section with a memory DC, for GDI text over pixels written directly.
class Canvas {
 public:
  Canvas(int32_t width, int32_t height, uint32_t fill) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    SetBkMode(dc_, TRANSPARENT);
    Fill(0, 0, width, height, fill);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  void Put(int32_t x, int32_t y, uint32_t rgb) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) bits_[size_t(y) * size_t(width_) + size_t(x)] = rgb;
  }
  void Fill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rgb) {
    for (int32_t j = y; j < y + h; ++j)
      for (int32_t i = x; i < x + w; ++i) Put(i, j, rgb);
  }
  void Frame(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rgb) {
    Fill(x, y, w, 1, rgb);
    Fill(x, y + h - 1, w, 1, rgb);
    Fill(x, y, 1, h, rgb);
    Fill(x + w - 1, y, 1, h, rgb);
  }
  // A filled rectangle with its corners cut round and a one-pixel outline.
  void RoundBox(int32_t x, int32_t y, int32_t w, int32_t h, int32_t radius, uint32_t fill, uint32_t outline) {
    for (int32_t j = 0; j < h; ++j)
      for (int32_t i = 0; i < w; ++i) {
        const int32_t dx = std::max({radius - i, i - (w - 1 - radius), 0});
        const int32_t dy = std::max({radius - j, j - (h - 1 - radius), 0});
        const int32_t d2 = dx * dx + dy * dy, r2 = radius * radius;
        if (d2 > r2) continue;
        const bool edge = i == 0 || j == 0 || i == w - 1 || j == h - 1 || d2 > (radius - 1) * (radius - 1);
        Put(x + i, y + j, edge ? outline : fill);
      }
  }
  // Text centred in a box; `height` is the font's cell height.
  void Text(int32_t x, int32_t y, int32_t w, int32_t h, const std::string& text, int32_t height, uint32_t rgb,
            bool bold = false) {
    HFONT font = CreateFontA(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, HANGUL_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, kFace);
    HGDIOBJ old = SelectObject(dc_, font);
    SetTextColor(dc_, Ref(rgb));
    RECT r{x, y, x + w, y + h};
    DrawTextA(dc_, text.c_str(), int(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc_, old);
    DeleteObject(font);
  }
  Picture Take() const {
    Picture p{width_, height_, {}};
    p.px.resize(size_t(width_) * size_t(height_));
    for (size_t i = 0; i < p.px.size(); ++i) p.px[i] = bits_[i] & 0xFFFFFF;
    return p;
  }

 private:
  int32_t width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

// A font that fits a box of height h, never below what stays readable.
int32_t FontFor(int32_t h) { return std::clamp(h - 4, 9, 24); }

// A colour per entry, stable across runs: from the bytes of its path.
uint32_t TintOf(const std::string& path) {
  uint32_t hash = 2166136261u;
  for (char c : path) hash = (hash ^ uint8_t(c)) * 16777619u;
  return 0x404040 | (hash & 0x7F7F7F);
}

Picture CardCell(int32_t card, int32_t w, int32_t h) {
  Canvas c(w, h, kCardCorner);
  constexpr int32_t kRadius = 4;
  if (card == kCardCells - 1) {
    c.RoundBox(0, 0, w, h, kRadius, 0xB02020, 0xF0F0F0);
    for (int32_t j = 2; j < h - 2; ++j)
      for (int32_t i = 2; i < w - 2; ++i)
        if ((i + j) % 6 < 2) c.Put(i, j, 0x601010);
    return c.Take();
  }
  const int32_t month = CardMonth(card);
  const uint32_t fill = MonthColour(month);
  c.RoundBox(0, 0, w, h, kRadius, fill, kInk);
  const std::string top = month > 12 ? "보너스" : std::to_string(month);
  const int32_t big = month > 12 ? std::min(w / 3, 12) : std::clamp(h * 2 / 5, 12, 26);
  c.Text(1, 1, w - 2, h / 2 - 1, top, big, kInk, true);
  c.Text(1, h / 2, w - 2, h / 2 - 4, CardKindText(card), std::clamp(w / 3, 9, 13), 0x800000);
  // The card's number in dots along the bottom, so that two cards of one kind differ.
  for (int32_t bit = 0; bit < 6; ++bit)
    if (card >> bit & 1) c.Fill(w - 5 - 3 * bit, h - 4, 2, 2, 0x800000);
  return c.Take();
}

Picture Cloth(const ManifestEntry& e) {
  static constexpr uint32_t kCloths[] = {0x2E6B3A, 0x34407A, 0x6B4A2E};
  const int32_t skin = e.path.back() == 'p' ? e.path[e.path.size() - 5] - '0' : 0;
  const uint32_t ground = kCloths[std::clamp(skin, 0, 2)];
  const uint32_t line = Shade(ground, 140);
  Canvas c(e.width, e.height, ground);
  static constexpr int32_t kFloor[12][2] = {{285, 161}, {364, 311}, {242, 235}, {397, 238}, {272, 312}, {369, 164},
                                            {198, 158}, {457, 315}, {181, 311}, {458, 158}, {153, 238}, {487, 233}};
  for (const auto& p : kFloor) c.Frame(p[0], p[1], 80, 55, line);
  for (int32_t k = 0; k < 5; ++k)
    for (int32_t row = 0; row < 2; ++row) {
      c.Frame(405 + 43 * k, 388 + 64 * row, 36, 55, line);
      c.Frame(472 + 27 * k, 40 + 38 * row, 25, 36, line);
    }
  static constexpr int32_t kPiles[8][3] = {{20, 458, 88}, {118, 400, 132}, {118, 458, 132}, {260, 458, 136},
                                           {20, 24, 88},  {118, 24, 132},  {118, 81, 132},  {260, 81, 160}};
  for (const auto& p : kPiles) c.Frame(p[0], p[1], p[2], 55, line);
  c.Frame(331, 241, 44, 63, line);
  static constexpr int32_t kPanels[][4] = {{626, 414, 174, 100}, {626, 25, 174, 100}, {638, 352, 154, 63},
                                           {638, 124, 154, 63},  {632, 417, 91, 17},  {632, 104, 91, 17},
                                           {12, 399, 93, 21},    {12, 114, 93, 21},   {636, 338, 167, 59}};
  for (const auto& p : kPanels) c.Frame(p[0], p[1], p[2], p[3], line);
  c.Text(4, 580, 120, 16, e.label, kSmallText, line);
  return c.Take();
}

// A labelled rounded picture; `keyed` puts the key colour outside the shape.
Picture Labelled(const ManifestEntry& e, const std::string& label, uint32_t tint, bool keyed) {
  Canvas c(e.width, e.height, keyed ? kKeyColour : Shade(tint, 50));
  const int32_t radius = std::min({4, e.width / 4, e.height / 4});
  c.RoundBox(0, 0, e.width, e.height, radius, tint, Shade(tint, 40));
  c.Text(0, 0, e.width, e.height, label, FontFor(std::min(e.height, 16)), kInk);
  return c.Take();
}

// Frame k of a set: normal, hover, pressed, disabled, told apart by shade and a pressed
// offset; the set number sits in the corner when there is room. A keyed button's
// corners are the key colour; an unkeyed one is square, with nothing to hide.
Picture ButtonFrame(const ManifestEntry& e, const std::string& label, int32_t set, int32_t frame, uint32_t tint,
                    bool keyed = true) {
  static constexpr int32_t kShade[] = {100, 125, 75, 45};
  const uint32_t fill = frame == 3 ? 0x909090 : Shade(tint, kShade[frame % 4]);
  Canvas c(e.width, e.height, keyed ? kKeyColour : kInk);
  c.RoundBox(0, 0, e.width, e.height, keyed ? std::min(3, e.height / 4) : 0, fill, kInk);
  const int32_t push = frame == 2 ? 1 : 0;
  c.Text(push, push, e.width, e.height, label, FontFor(std::min(e.height, 16)), frame == 3 ? 0x505050 : kInk);
  if (e.count > 1 && e.width >= 30) c.Text(e.width - 10, e.height - 10, 9, 9, std::to_string(set), 9, 0xFFFFFF);
  return c.Take();
}

// The number widget's glyph order: digits, then the signs, the unit and the four
// ten-thousand groups.
static_assert(GVPSPNumberWnd::kGlyphMinus == 10 && GVPSPNumberWnd::kGlyphPlus == 11 &&
              GVPSPNumberWnd::kGlyphSeparator == 12 && GVPSPNumberWnd::kGlyphUnit == 13 &&
              GVPSPNumberWnd::kGlyphTenThousand == 14 && kDigitGlyphs == 18);

Picture Glyph(const ManifestEntry& e, int32_t glyph, bool effect) {
  static const char* const kGlyphs[kDigitGlyphs] = {"0", "1", "2", "3", "4",  "5",  "6",  "7",  "8",
                                                    "9", "-", "+", ",", "냥", "만", "억", "조", "경"};
  Canvas c(e.width, e.height, kKeyColour);
  c.Text(0, 0, e.width, e.height, kGlyphs[glyph], std::clamp(e.height - 2, 9, 22), effect ? 0xFFE040 : 0xFFFFFF, true);
  return c.Take();
}

// Sprite of frame k of sub-animation s: the stem (and the member's number or name) on a
// box tinted by member, with a marker that walks along the bottom as the frames pass.
Picture AnimSprite(const ManifestEntry& e, int32_t sub, int32_t frame) {
  const uint32_t tint = Shade(TintOf(e.path + std::to_string(sub)), 100);
  Canvas c(e.width, e.height, kKeyColour);
  c.RoundBox(0, 0, e.width, e.height, std::min(4, e.height / 4), tint, kInk);
  std::string text = e.label;
  if (!e.names.empty())
    text = e.names[size_t(sub)];
  else if (e.count > 1)
    text += " " + std::to_string(sub);
  c.Text(0, 0, e.width, e.height - 3, text, FontFor(std::min(e.height, 16)), kInk);
  const int32_t span = std::max(1, e.frames - 1);
  const int32_t mark = std::max(2, e.width / 8);
  c.Fill((e.width - mark) * frame / span, e.height - 3, mark, 2, 0xFFFFFF);
  return c.Take();
}

Picture AvatarFrame(const ManifestEntry& e, int32_t frame) {
  const uint32_t tint = TintOf(e.path);
  Canvas c(e.width, e.height, kKeyColour);
  c.RoundBox(14, 6, 40, 44, 12, 0xF0C8A0, kInk);
  c.Fill(8, 54, 52, 40, tint);
  const bool blink = frame % 2 == 1;
  for (int32_t eye : {26, 40}) c.Fill(eye, blink ? 26 : 22, 4, blink ? 1 : 6, kInk);
  c.Text(0, 78, e.width, 14, e.label, kSmallText, 0xFFFFFF);
  return c.Take();
}

Picture Ring(const ManifestEntry& e) {
  Canvas c(e.width, e.height, kKeyColour);
  for (int32_t band = 0; band < 5; ++band)
    c.Frame(band, band, e.width - 2 * band, e.height - 2 * band, Shade(0xFFF080, 100 - band * 12));
  return c.Take();
}

}  // namespace game_data_art

uint32_t MonthColour(int32_t month) { return game_data_art::kMonthColours[std::clamp(month, 1, 13) - 1]; }

std::vector<Picture> PaintFrames(const ManifestEntry& e) {
  using namespace game_data_art;
  std::vector<Picture> out;
  const uint32_t tint = TintOf(e.path);
  switch (e.look) {
    case Look::CardStrip:
      for (int32_t card = 0; card < e.count; ++card) out.push_back(CardCell(card, e.width, e.height));
      break;
    case Look::BoardStrip:
      for (int32_t card = 0; card + 1 < e.count; ++card) out.push_back(CardCell(card, e.width, e.height));
      out.push_back(CardCell(kCardCells - 1, e.width, e.height));
      break;
    case Look::Shadow: {
      Canvas c(e.width, e.height, 0x181818);
      out.push_back(c.Take());
      break;
    }
    case Look::Cloth:
      out.push_back(Cloth(e));
      break;
    case Look::Picture:
      out.push_back(Labelled(e, e.label, tint, false));
      break;
    case Look::Keyed:
      out.push_back(Labelled(e, e.label, tint, true));
      break;
    case Look::Ring:
      out.push_back(Ring(e));
      break;
    case Look::Strip:
    case Look::PlainStrip:
      for (int32_t f = 0; f < e.count; ++f)
        out.push_back(ButtonFrame(e, e.label, 0, f, tint, e.look == Look::Strip));
      break;
    case Look::Button:
      for (int32_t s = 0; s < e.count; ++s)
        for (int32_t f = 0; f < e.frames; ++f) out.push_back(ButtonFrame(e, e.label, s, f, tint));
      break;
    case Look::Frames:
      for (int32_t f = 0; f < e.count; ++f)
        out.push_back(
            Labelled(e, e.count > 1 ? e.label + std::to_string(f) : e.label, Shade(tint, 100 + 15 * f), true));
      break;
    case Look::Digits:
    case Look::EffectDigits:
      for (int32_t g = 0; g < e.count; ++g) out.push_back(Glyph(e, g, e.look == Look::EffectDigits));
      break;
    case Look::Anim:
      for (int32_t s = 0; s < e.count; ++s)
        for (int32_t f = 0; f < e.frames; ++f) out.push_back(AnimSprite(e, s, f));
      break;
    case Look::Avatar:
      for (int32_t f = 0; f < e.frames; ++f) out.push_back(AvatarFrame(e, f));
      break;
    case Look::Cursor:
    case Look::Tone:
    case Look::Settings:
      break;
  }
  return out;
}

Picture ContactSheet() {
  using namespace game_data_art;
  std::vector<Picture> tiles;
  for (const ManifestEntry& e : Manifest()) {
    const bool whole = e.look == Look::CardStrip || e.look == Look::BoardStrip || e.look == Look::Button || e.look == Look::Strip ||
                       e.look == Look::PlainStrip || e.look == Look::Digits || e.look == Look::EffectDigits;
    if (!whole && e.look != Look::Anim) continue;
    std::vector<Picture> frames = PaintFrames(e);
    for (size_t i = 0; i < frames.size(); ++i)
      if (whole || i % size_t(e.frames) == 0) tiles.push_back(std::move(frames[i]));
  }
  // Shelves left to right, top to bottom.
  std::vector<std::pair<int32_t, int32_t>> at;
  int32_t x = kSheetGap, y = kSheetGap, shelf = 0;
  for (const Picture& t : tiles) {
    if (x + t.width + kSheetGap > kSheetWidth) x = kSheetGap, y += shelf + kSheetGap, shelf = 0;
    at.emplace_back(x, y);
    x += t.width + kSheetGap;
    shelf = std::max(shelf, t.height);
  }
  Picture sheet{kSheetWidth, y + shelf + kSheetGap, {}};
  sheet.px.assign(size_t(sheet.width) * size_t(sheet.height), kSheetGround);
  // Keyed pixels show the ground, as they would show the table.
  for (size_t i = 0; i < tiles.size(); ++i)
    for (int32_t j = 0; j < tiles[i].height; ++j)
      for (int32_t k = 0; k < tiles[i].width; ++k)
        if (const uint32_t v = tiles[i].At(k, j); v != kKeyColour)
          sheet.px[size_t(at[i].second + j) * size_t(sheet.width) + size_t(at[i].first + k)] = v;
  return sheet;
}

}  // namespace game_data
