// Statics and edits paint their own text; ShellExecuteA only records.
#include <gtest/gtest.h>

#include <algorithm>

#include "WindowTestSupport.h"
#include "plat/gdi.h"
#include "plat/gdi_text.h"
#include "plat/shell.h"

using namespace window_test;

namespace {

constexpr COLORREF kInk = RGB(200, 0, 0);
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kWidth = 80, kHeight = 20;
const char kText[] = "1234";

// The text as GDI draws it on white with the same font and format: the oracle.
std::vector<uint32_t> Reference(HFONT font, UINT format) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  auto* px = static_cast<uint32_t*>(bits);
  std::fill(px, px + kWidth * kHeight, kWhite);
  SetTextColor(dc, kInk);
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = SelectObject(dc, font);
  RECT r{0, 0, kWidth, kHeight};
  DrawTextA(dc, kText, -1, &r, format);
  SelectObject(dc, oldFont);
  std::vector<uint32_t> out(px, px + kWidth * kHeight);
  for (uint32_t& p : out) p &= 0xFFFFFF;
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return out;
}

// Columns that hold any pixel other than white.
struct Columns {
  int first, last;
};
Columns InkColumns(const std::vector<uint32_t>& px) {
  int first = kWidth, last = -1;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if ((px[y * kWidth + x] & 0xFFFFFF) != kWhite) first = std::min(first, x), last = std::max(last, x);
  return {first, last};
}

class ControlText : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    font_ = CreateFontA(16, 0, 0, 0, FW_BOLD, 0, 0, 0, HANGUL_CHARSET, 0, 0, 0, 0, "돋움");
    // The parent answers as a skinned dialog would: ink colour, no cell background, white brush.
    SetAnswer([](HWND, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
      if (msg != WM_CTLCOLORSTATIC && msg != WM_CTLCOLOREDIT) return std::nullopt;
      SetTextColor(reinterpret_cast<HDC>(wParam), kInk);
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return static_cast<LRESULT>(COLOR_WINDOW + 1);
    });
  }
  void TearDown() override {
    WindowTest::TearDown();
    DeleteObject(font_);
  }
  std::vector<uint32_t> Paint(const char* cls, DWORD style) {
    HWND parent = MakeTop(0, 0, 200, 100);
    HWND control = CreateWindowExA(0, cls, kText, WS_CHILD | WS_VISIBLE | style, 10, 10, kWidth, kHeight, parent,
                                   nullptr, TestInstance(), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
    InvalidateRect(control, nullptr, TRUE);
    UpdateWindow(control);
    auto image = plat::sim::ReadWindow(control);
    for (uint32_t& p : image.pixels) p &= 0xFFFFFF;
    return image.pixels;
  }
  HFONT font_ = nullptr;
};

TEST_F(ControlText, AStaticDrawsItsTextInItsFontAndTheParentsColour) {
  auto pixels = Paint("static", SS_LEFT);
  ASSERT_EQ(pixels.size(), size_t{kWidth * kHeight});
  EXPECT_EQ(pixels, Reference(font_, DT_LEFT | DT_WORDBREAK));
  EXPECT_NE(std::find(pixels.begin(), pixels.end(), 0xC80000u), pixels.end());
  // The default font would give other pixels: the control's font is the one used.
  EXPECT_NE(pixels, Reference(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), DT_LEFT | DT_WORDBREAK));
}

TEST_F(ControlText, ARightAlignedEditEndsItsTextAtItsRightEdge) {
  auto right = Paint("edit", ES_RIGHT | ES_AUTOHSCROLL);
  EXPECT_EQ(right, Reference(font_, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX));
  auto [first, last] = InkColumns(right);
  EXPECT_GE(last, kWidth - 3);
  EXPECT_GT(first, 0);
  // Left alignment stays the default.
  auto left = Paint("edit", ES_AUTOHSCROLL);
  EXPECT_EQ(left, Reference(font_, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX));
  EXPECT_LT(InkColumns(left).last, last);
}

TEST_F(ControlText, ShellExecuteRecordsTheRequestAndStartsNothing) {
  HWND owner = MakeTop(0, 0, 10, 10);
  HINSTANCE answer = ShellExecuteA(owner, nullptr, "http://example.test/page", nullptr, nullptr, SW_SHOW);
  EXPECT_GT(reinterpret_cast<intptr_t>(answer), 32);
  ShellExecuteA(nullptr, "open", "notes.txt", "-a", "C:\\docs", SW_HIDE);
  auto calls = plat::sim::ShellExecuteCalls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(std::tuple(calls[0].owner, calls[0].hasVerb, calls[0].file, calls[0].parameters, calls[0].directory,
                       calls[0].show),
            std::tuple(owner, false, "http://example.test/page", "", "", SW_SHOW));
  EXPECT_EQ(std::tuple(calls[1].hasVerb, calls[1].verb, calls[1].parameters, calls[1].directory, calls[1].show),
            std::tuple(true, "open", "-a", "C:\\docs", SW_HIDE));
  plat::sim::ClearShellExecuteCalls();
  EXPECT_TRUE(plat::sim::ShellExecuteCalls().empty());
}

}  // namespace
