#include <gtest/gtest.h>

#include "WindowTestSupport.h"

using namespace window_test;

namespace {

class Painting : public WindowTest {};

TEST_F(Painting, UpdateWindowPaintsAtOnceAndBeginPaintErasesAndValidates) {
  HWND w = MakeTop(0, 0, 100, 80, kPlain);
  PumpAll();
  PAINTSTRUCT seen{};
  SetAnswer([&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg != WM_PAINT) return std::nullopt;
    BeginPaint(h, &seen);
    EndPaint(h, &seen);
    return 0;
  });
  RECT a{10, 10, 20, 20}, b{30, 5, 40, 15};
  InvalidateRect(w, &a, FALSE);
  InvalidateRect(w, &b, TRUE);
  Log().clear();
  UpdateWindow(w);
  EXPECT_EQ(MessagesOf(w), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
  EXPECT_EQ(std::tuple(seen.rcPaint.left, seen.rcPaint.top, seen.rcPaint.right, seen.rcPaint.bottom),
            std::tuple(10, 5, 40, 20));
  EXPECT_FALSE(seen.fErase) << "the class brush erased it";
  RECT u;
  EXPECT_FALSE(GetUpdateRect(w, &u, FALSE));
  Log().clear();
  UpdateWindow(w);
  EXPECT_TRUE(Log().empty()) << "nothing left to paint";
}

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
