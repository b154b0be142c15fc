// The layer keeps the texts DrawTextA draws into a window, for tests that read what a
// dialog says: in order, only through the window's own DCs, and gone with the window.
#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "plat/gdi.h"
#include "plat/gdi_text.h"
#include "plat/sim_gdi.h"

using namespace window_test;

namespace {

using Texts = std::vector<std::string>;

void Draw(HDC dc, const char* text, int count = -1) {
  RECT r{0, 0, 100, 20};
  DrawTextA(dc, text, count, &r, DT_SINGLELINE);
}

class DrawnTextsTest : public WindowTest {};

TEST_F(DrawnTextsTest, AWindowsTextsAreKeptInOrderAndGoWithIt) {
  HWND first = MakeTop(0, 0, 100, 40);
  HWND second = MakeTop(0, 50, 100, 40);
  HDC dc = GetDC(first);
  Draw(dc, "one");
  Draw(dc, "\xBA\xF3 \xC0\xDA\xB8\xAE", 4);  // CP949 kept as given, cut to the count
  Draw(dc, "&three");                          // before any prefix handling
  ReleaseDC(first, dc);
  PAINTSTRUCT ps{};
  InvalidateRect(second, nullptr, TRUE);
  dc = BeginPaint(second, &ps);
  Draw(dc, "painted");
  EndPaint(second, &ps);
  // A memory DC belongs to no window.
  HDC memory = CreateCompatibleDC(nullptr);
  Draw(memory, "nowhere");
  DeleteDC(memory);

  EXPECT_EQ(plat::sim::DrawnTexts(first), (Texts{"one", "\xBA\xF3 \xC0", "&three"}));
  EXPECT_EQ(plat::sim::DrawnTexts(second), Texts{"painted"});
  DestroyWindow(first);
  EXPECT_EQ(plat::sim::DrawnTexts(first), Texts{});
  EXPECT_EQ(plat::sim::DrawnTexts(second), Texts{"painted"});
  plat::sim::ResetWindowSystem();
  EXPECT_EQ(plat::sim::DrawnTexts(second), Texts{});
}

}  // namespace
