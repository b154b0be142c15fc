// Dialogs as the module runs them: the keyboard after WM_INITDIALOG's answer, the keys
// IsDialogMessage turns into commands and focus moves, a modal dialog ended from a
// window timer and from a multimedia timer's thread, and a modal loop inside another.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plat/dialog_template.h"
#include "plat/mmsystem.h"
#include "plat/time.h"
#include "plat/user.h"

#include "Seam.h"

namespace {

constexpr int kTemplate = 201;
constexpr int kPlain = 10;
constexpr int kStatic = 11;
constexpr DWORD kOwnerDrawn = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;

plat::DialogItemTemplate Item(const char* className, const char* text, int32_t id, DWORD style, int16_t x,
                              int16_t y, int16_t cx, int16_t cy) {
  plat::DialogItemTemplate item;
  item.className = className;
  item.text = text;
  item.id = id;
  item.style = style;
  item.x = x;
  item.y = y;
  item.cx = cx;
  item.cy = cy;
  return item;
}

// The template of SeamDialogs.rc: two owner-drawn buttons as the message box has, a
// plain push button and a static without a tab stop.
bool RegisterTemplate() {
  plat::DialogTemplate t;
  t.style = WS_POPUP | DS_MODALFRAME | DS_SETFONT;
  t.fontFace = "MS Shell Dlg";
  t.fontSize = 8;
  t.cx = 160;
  t.cy = 40;
  t.items = {Item("Button", "OK", IDOK, kOwnerDrawn, 5, 5, 35, 14),
             Item("Button", "Cancel", IDCANCEL, kOwnerDrawn, 45, 5, 35, 14),
             Item("Button", "Plain", kPlain, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 85, 5, 35, 14),
             Item("Static", "Static", kStatic, WS_CHILD | WS_VISIBLE, 5, 25, 35, 10)};
  return plat::RegisterDialogTemplate(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kTemplate), std::move(t));
}

// What the dialog procedures of a check saw, and how they are to answer.
struct Script {
  INT_PTR initAnswer = TRUE;
  std::vector<WPARAM> commands;
  std::vector<std::string> events;
  HWND owner = nullptr;
  bool ownerEnabledInside = true;
  DWORD dialogThread = 0;
  DWORD commandThread = 0;
};
Script* script = nullptr;

INT_PTR CALLBACK Recording(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return script->initAnswer;
  if (message == WM_COMMAND) script->commands.push_back(wParam);
  (void)dialog;
  return FALSE;
}

template <class Done>
bool PumpDialog(HWND dialog, Done done, DWORD limitMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!IsDialogMessageA(dialog, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    if (done()) return true;
    if (GetTickCount() - start >= limitMs) return false;
    Sleep(1);
  }
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

class SeamDialog : public testing::Test {
 protected:
  static void SetUpTestSuite() { registered_ = RegisterTemplate(); }
  void SetUp() override {
    ASSERT_TRUE(registered_) << "the table's template and the compiled one differ";
    WNDCLASSA wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DorvikSeamOwner";
    ASSERT_NE(RegisterClassA(&wc), 0);
    owner_ = CreateWindowExA(0, "DorvikSeamOwner", "owner", WS_POPUP, 30, 30, 300, 200, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner_, nullptr);
    SetFocus(owner_);
    script_.owner = owner_;
    script = &script_;
  }
  void TearDown() override {
    if (dialog_ && IsWindow(dialog_)) DestroyWindow(dialog_);
    DestroyWindow(owner_);
    UnregisterClassA("DorvikSeamOwner", GetModuleHandleA(nullptr));
    script = nullptr;
  }
  HWND Modeless() {
    dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kTemplate), owner_, Recording, 0);
    return dialog_;
  }
  static bool registered_;
  HWND owner_ = nullptr;
  HWND dialog_ = nullptr;
  Script script_;
};
bool SeamDialog::registered_ = false;

// A TRUE answer gives the keyboard to the first tab stop, though the dialog is still
// hidden; FALSE leaves it where it was.
TEST_F(SeamDialog, InitDialogAnswerDecidesWhereTheKeyboardGoes) {
  EXPECT_EQ(GetFocus(), owner_);
  script_.initAnswer = FALSE;
  HWND kept = Modeless();
  ASSERT_NE(kept, nullptr);
  EXPECT_FALSE(IsWindowVisible(kept));
  EXPECT_EQ(GetFocus(), owner_);
  EXPECT_EQ(GetActiveWindow(), owner_);
  DestroyWindow(kept);

  script_.initAnswer = TRUE;
  HWND taken = Modeless();
  ASSERT_NE(taken, nullptr);
  EXPECT_FALSE(IsWindowVisible(taken));
  EXPECT_EQ(GetFocus(), GetDlgItem(taken, IDOK));
  EXPECT_EQ(GetActiveWindow(), taken) << "the keys' window's top-level window is the active one";
}

// Tab walks the tab stops and wraps past the static; Enter on a plain push button
// presses it, Enter on an owner-drawn one asks for the default, and Escape cancels.
TEST_F(SeamDialog, DialogKeysMoveTheFocusAndBecomeCommands) {
  HWND dialog = Modeless();
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));
  auto press = [&](int vk) {
    PostMessageA(GetFocus(), WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
    PostMessageA(GetFocus(), WM_KEYUP, static_cast<WPARAM>(vk), 0xC0000001);
    PumpDialog(dialog, [] { return false; }, 0);
  };
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDCANCEL));
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, kPlain));
  press(VK_RETURN);
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK)) << "the static is no tab stop";
  press(VK_RETURN);
  press(VK_ESCAPE);
  std::vector<WPARAM> ids;
  for (WPARAM c : script_.commands) ids.push_back(c);
  EXPECT_EQ(ids, (std::vector<WPARAM>{kPlain, IDOK, IDCANCEL}));
}

// A dialog that loses the activation keeps the control that had the keys and gives
// them back to it when it is activated again.
TEST_F(SeamDialog, ReactivatedDialogGivesTheKeysBackToItsControl) {
  HWND dialog = Modeless();
  ASSERT_NE(dialog, nullptr);
  ShowWindow(dialog, SW_SHOW);
  SetFocus(GetDlgItem(dialog, IDCANCEL));
  SetActiveWindow(owner_);
  EXPECT_EQ(GetFocus(), owner_);
  SetActiveWindow(dialog);
  EXPECT_EQ(GetActiveWindow(), dialog);
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDCANCEL));
}

// Ends the dialog with `kResult` from its own timer, noting when it began and ended and
// whether its owner was disabled meanwhile.
template <INT_PTR kResult>
INT_PTR CALLBACK EndsOnTimer(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  constexpr UINT_PTR kTimer = 1;
  if (message == WM_INITDIALOG) {
    script->events.push_back("init " + std::to_string(kResult));
    SetTimer(dialog, kTimer, 20, nullptr);
    return FALSE;
  }
  if (message == WM_TIMER && wParam == kTimer) {
    KillTimer(dialog, kTimer);
    script->ownerEnabledInside = IsWindowEnabled(script->owner) != FALSE;
    script->events.push_back("ends " + std::to_string(kResult));
    EndDialog(dialog, kResult);
    return TRUE;
  }
  return FALSE;
}

// A modal dialog disables its owner while it runs and ends from its own timer; the
// owner comes back enabled and the dialog is gone when the call returns.
TEST_F(SeamDialog, ModalDialogEndsFromItsTimer) {
  const INT_PTR result =
      DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kTemplate), owner_, EndsOnTimer<42>, 0);
  EXPECT_EQ(result, 42);
  EXPECT_EQ(script_.events, (std::vector<std::string>{"init 42", "ends 42"}));
  EXPECT_FALSE(script_.ownerEnabledInside);
  EXPECT_TRUE(IsWindowEnabled(owner_));
}

void CALLBACK SendCancel(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  SendMessageA(reinterpret_cast<HWND>(user), WM_COMMAND, IDCANCEL, 0);
}

INT_PTR CALLBACK EndsOnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    script->dialogThread = GetCurrentThreadId();
    timeSetEvent(30, 1, SendCancel, reinterpret_cast<DWORD_PTR>(dialog), TIME_ONESHOT);
    return FALSE;
  }
  if (message == WM_COMMAND) {
    script->commandThread = GetCurrentThreadId();
    EndDialog(dialog, static_cast<INT_PTR>(LOWORD(wParam)));
    return TRUE;
  }
  return FALSE;
}

// The message box's auto-close: a multimedia timer's thread sends the dialog a command,
// which the dialog's own thread receives inside the modal loop.
TEST_F(SeamDialog, ModalDialogEndsFromAnotherThreadsSend) {
  const INT_PTR result =
      DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kTemplate), owner_, EndsOnCommand, 0);
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_NE(script_.dialogThread, 0u);
  EXPECT_EQ(script_.commandThread, script_.dialogThread);
}

INT_PTR CALLBACK Outer(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    script->events.push_back("outer init");
    SetTimer(dialog, 2, 20, nullptr);
    return FALSE;
  }
  if (message == WM_TIMER && wParam == 2) {
    KillTimer(dialog, 2);
    const INT_PTR inner =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kTemplate), dialog, EndsOnTimer<7>, 0);
    script->events.push_back("outer resumes " + std::to_string(inner));
    script->ownerEnabledInside = IsWindowEnabled(dialog) != FALSE;
    EndDialog(dialog, 100 + inner);
    return TRUE;
  }
  return FALSE;
}

// A modal dialog run from inside another's loop: the inner one ends first, gives the
// outer its answer and its owner back, and the outer ends after it.
TEST_F(SeamDialog, ModalLoopInsideAModalLoop) {
  const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kTemplate), owner_, Outer, 0);
  EXPECT_EQ(result, 107);
  EXPECT_EQ(script_.events,
            (std::vector<std::string>{"outer init", "init 7", "ends 7", "outer resumes 7"}));
  EXPECT_TRUE(script_.ownerEnabledInside) << "the inner dialog gives its owner back enabled";
  EXPECT_TRUE(IsWindowEnabled(owner_));
}

INT_PTR CALLBACK EndsAtOnce(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    EndDialog(dialog, 5);
    return TRUE;
  }
  return FALSE;
}

// No loop runs: a message posted before the call is still queued after it, where any
// loop of the dialog's would have taken and dispatched it.
TEST_F(SeamDialog, EndDialogDuringInitReturnsWithoutALoop) {
  constexpr UINT kWaiting = WM_USER + 55;
  PumpDialog(nullptr, [] { return true; }, 0);
  ASSERT_TRUE(PostMessageA(owner_, kWaiting, 1, 2));
  EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kTemplate), owner_, EndsAtOnce, 0), 5);
  EXPECT_TRUE(IsWindowEnabled(owner_));
  MSG msg{};
  EXPECT_TRUE(PeekMessageA(&msg, owner_, kWaiting, kWaiting, PM_REMOVE)) << "the dialog ran a loop";
  EXPECT_EQ(msg.wParam, 1u);
}

}  // namespace
