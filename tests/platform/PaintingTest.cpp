#include <gtest/gtest.h>

#include "WindowTestSupport.h"

using namespace window_test;

namespace {

class Painting : public WindowTest {};

TEST_F(Painting, HiddenWindowsGetNoPaintAndValidationShrinksTheUpdate) {
  HWND w = MakeTop(0, 0, 100, 100, kRecorder, WS_POPUP);
  InvalidateRect(w, nullptr, FALSE);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  RECT top{0, 0, 100, 40};
  ValidateRect(w, &top);
  RECT u;
  ASSERT_TRUE(GetUpdateRect(w, &u, FALSE));
  EXPECT_EQ(u.top, 40);
  EXPECT_EQ(u.bottom, 100);
  ShowWindow(w, SW_SHOW);
  EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

}  // namespace
