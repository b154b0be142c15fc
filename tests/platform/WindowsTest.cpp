#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "plat/error.h"

using namespace window_test;

namespace {

class Windows : public WindowTest {};

TEST_F(Windows, DestroyRunsOwnedPopupsThenDestroyParentFirstThenNcDestroyChildrenFirst) {
  HWND parent = MakeTop(0, 0, 200, 200);
  HWND a = MakeChild(parent, 0, 0, 10, 10, 1);
  HWND b = MakeChild(parent, 10, 0, 10, 10, 2);
  HWND popup = CreateWindowExA(0, kRecorder, "popup", WS_POPUP, 0, 0, 5, 5, parent, nullptr, TestInstance(), nullptr);
  ASSERT_EQ(GetParent(popup), parent) << "a popup's parent is its owner";
  ASSERT_NE(SetTimer(parent, 7, 100, nullptr), 0u);
  PostMessageA(parent, WM_USER, 0, 0);
  PostMessageA(a, WM_USER, 0, 0);
  Log().clear();
  ASSERT_TRUE(DestroyWindow(parent));
  std::vector<std::pair<HWND, UINT>> order;
  for (const Rec& r : Log())
    if (r.msg == WM_DESTROY || r.msg == WM_NCDESTROY) order.emplace_back(r.hwnd, r.msg);
  std::vector<std::pair<HWND, UINT>> expected = {
      {popup, WM_DESTROY}, {popup, WM_NCDESTROY}, {parent, WM_DESTROY}, {a, WM_DESTROY},
      {b, WM_DESTROY},     {a, WM_NCDESTROY},     {b, WM_NCDESTROY},    {parent, WM_NCDESTROY}};
  EXPECT_EQ(order, expected);
  for (HWND h : {parent, a, b, popup}) EXPECT_FALSE(IsWindow(h));
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) << "posted messages are dropped";
  EXPECT_FALSE(KillTimer(parent, 7)) << "the window's timers died with it";
  EXPECT_EQ(SendMessageA(parent, WM_USER, 0, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

LRESULT CALLBACK Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER + 5) return 55;
  auto original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, "ORIGINAL"));
  return CallWindowProcA(original, hwnd, msg, wParam, lParam);
}

TEST_F(Windows, WindowDataHoldsPointersAndProceduresCanBeReplaced) {
  HWND w = MakeTop(0, 0, 10, 10);
  const LONG_PTR pointer = static_cast<LONG_PTR>(0x123456789ABCll);
  SetWindowLongPtrA(w, GWLP_USERDATA, pointer);
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), pointer);
  auto original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass)));
  EXPECT_EQ(original, RecordingProc);
  SetPropA(w, "Original", reinterpret_cast<HANDLE>(original));
  EXPECT_EQ(SendMessageA(w, WM_USER + 5, 0, 0), 55);
  Log().clear();
  SendMessageA(w, WM_USER + 6, 0, 0);
  EXPECT_EQ(MessagesOf(w), std::vector<UINT>{WM_USER + 6}) << "other messages reach the original";
  EXPECT_EQ(RemovePropA(w, "ORIGINAL"), reinterpret_cast<HANDLE>(original));
  EXPECT_EQ(GetPropA(w, "ORIGINAL"), nullptr);
  EXPECT_EQ(GetWindowLongA(w, GWL_STYLE) & static_cast<LONG>(WS_POPUP), static_cast<LONG>(WS_POPUP));
  EXPECT_EQ(SetWindowLongA(w, GWL_EXSTYLE, static_cast<LONG>(WS_EX_TOPMOST)), 0);
  EXPECT_EQ(GetWindowLongPtrA(w, GWL_EXSTYLE), static_cast<LONG_PTR>(WS_EX_TOPMOST));
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtrA(w, 64), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
}

TEST_F(Windows, DefaultProcedureClosesDragsMinimisesAndKeepsText) {
  HWND w = MakeTop(0, 0, 10, 10);
  SetWindowTextA(w, "\xB9\xAB\xB7\xBA");  // 무렉
  char small[3];
  EXPECT_EQ(GetWindowTextA(w, small, sizeof small), 2) << "truncated to the buffer, terminated";
  EXPECT_EQ(GetWindowTextLengthA(w), 4);
  SendMessageA(w, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(10, 20));
  SendMessageA(w, WM_NCLBUTTONDOWN, HTCLIENT, MAKELPARAM(1, 1));
  auto drags = plat::sim::DragRequests();
  ASSERT_EQ(drags.size(), 1u);
  EXPECT_EQ(std::tuple(drags[0].hwnd, drags[0].screen.x, drags[0].screen.y), std::tuple(w, LONG{10}, LONG{20}));
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r.left, 0) << "the window itself does not move";
  SendMessageA(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(w));
  SendMessageA(w, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(Windows, DefaultSizeAndPlaceComeFromCwUseDefault) {
  HWND w = CreateWindowExA(0, kRecorder, "", WS_OVERLAPPED, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, nullptr, nullptr, TestInstance(), nullptr);
  RECT r;
  ASSERT_TRUE(GetWindowRect(w, &r));
  EXPECT_EQ(r.left, 0);
  EXPECT_GT(r.right, 0);
  EXPECT_EQ(CW_USEDEFAULT, static_cast<int>(0x80000000u));
}

// 65536 x 65537 pixels pass 32 bits: refused whole, never a store shorter than the window.
TEST_F(Windows, SizesBeyondTheBackingStoreAreRefusedAndLeaveTheWindowAsItWas) {
  SetLastError(0);
  EXPECT_EQ(CreateWindowExA(0, kRecorder, "", WS_POPUP, 0, 0, 65536, 65537, nullptr, nullptr, TestInstance(), nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  HWND w = CreateWindowExA(0, kRecorder, "", WS_POPUP, 0, 0, 8, 6, nullptr, nullptr, TestInstance(), nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(SetWindowPos(w, nullptr, 5, 5, 65536, 65537, SWP_NOZORDER));
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  RECT r;
  ASSERT_TRUE(GetWindowRect(w, &r));
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 8);
  EXPECT_EQ(r.bottom, 6);
  DestroyWindow(w);
}

TEST_F(Windows, ClassNamesAreCaseInsensitivePerInstance) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = RecordingProc;
  wc.hInstance = TestInstance();
  wc.lpszClassName = "recorderwnd";
  EXPECT_EQ(RegisterClassA(&wc), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);

  WNDCLASSA found{};
  EXPECT_TRUE(GetClassInfoA(TestInstance(), "RECORDERWND", &found));
  EXPECT_EQ(found.lpfnWndProc, RecordingProc);
  EXPECT_FALSE(GetClassInfoA(nullptr, kRecorder, &found)) << "another instance does not see it";
  for (const char* builtIn : {"button", "Static", "EDIT", WC_DIALOG})
    EXPECT_TRUE(GetClassInfoA(TestInstance(), builtIn, &found)) << builtIn;

  wc.hInstance = nullptr;
  wc.lpszClassName = "OtherInstanceClass";
  EXPECT_NE(RegisterClassA(&wc), 0);
  EXPECT_TRUE(UnregisterClassA("otherinstanceclass", nullptr));
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, TestInstance(), nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
}

}  // namespace
