#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "plat/error.h"
#include "plat/gdi.h"

using namespace window_test;

namespace {

// The test program itself registers the templates.
HMODULE Module() { return nullptr; }
constexpr int kMessageBoxTemplate = 101;
constexpr int kFormTemplate = 102;

plat::DialogItemTemplate Item(const char* cls, const char* text, WORD id, DWORD style, short x, short y, short cx, short cy) {
  return {cls, text, id, style | WS_VISIBLE, 0, x, y, cx, cy};
}

// A box with two owner-drawn buttons, like the game's message box.
void RegisterMessageBoxTemplate() {
  plat::RegisterDialogTemplate(Module(), MAKEINTRESOURCEA(kMessageBoxTemplate),
                               {.style = WS_POPUP | DS_MODALFRAME | DS_SETFONT, .fontFace = "Dotum", .fontSize = 9,
                                .cx = 187, .cy = 263, .title = {},
                                .items = {Item("button", "OK", IDOK, BS_OWNERDRAW | WS_TABSTOP, 38, 242, 50, 14),
                                          Item("button", "Cancel", IDCANCEL, BS_OWNERDRAW | WS_TABSTOP, 102, 242, 50, 14)}});
}

enum Form : WORD {
  kEdit = 10, kRadioA1 = 20, kRadioA2, kRadioA3, kRadioB1 = 30, kRadioB2, kCheck = 40, kDefault = 50, kLabel = 60
};

void RegisterFormTemplate() {
  plat::DialogTemplate t;
  t.style = WS_POPUP;
  t.x = t.y = 10;
  t.cx = t.cy = 200;
  t.items = {Item("edit", "", kEdit, ES_AUTOHSCROLL | WS_TABSTOP, 0, 0, 80, 12),
             Item("button", "a1", kRadioA1, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 20, 20, 20),
             Item("button", "a2", kRadioA2, BS_AUTORADIOBUTTON, 0, 40, 20, 20),
             Item("button", "a3", kRadioA3, BS_AUTORADIOBUTTON, 0, 60, 20, 20),
             Item("button", "b1", kRadioB1, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 40, 20, 20, 20),
             Item("button", "b2", kRadioB2, BS_AUTORADIOBUTTON, 40, 40, 20, 20),
             Item("button", "check", kCheck, BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 80, 20, 40, 10),
             Item("button", "go", kDefault, BS_DEFPUSHBUTTON | WS_TABSTOP, 80, 40, 40, 14),
             Item("static", "label", kLabel, SS_CENTER, 80, 60, 40, 10)};
  plat::RegisterDialogTemplate(Module(), MAKEINTRESOURCEA(kFormTemplate), t);
}

struct DialogLog {
  std::vector<Rec> messages;
  // Copied while the sender's record lives (it is on the button's paint stack).
  std::vector<DRAWITEMSTRUCT> draws;
  HBRUSH staticBrush = nullptr;
};
DialogLog* current;

INT_PTR CALLBACK RecordingDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  current->messages.push_back(Rec{dlg, msg, wParam, lParam});
  if (msg == WM_DRAWITEM) current->draws.push_back(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
  if (msg == WM_CTLCOLORSTATIC && current->staticBrush) return reinterpret_cast<INT_PTR>(current->staticBrush);
  if (msg == WM_INITDIALOG) return TRUE;
  return FALSE;
}

class Dialogs : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    RegisterMessageBoxTemplate();
    RegisterFormTemplate();
    current = &log_;
  }
  // The commands, without the edit's focus notes: it holds the focus from the start, and
  // reports losing it as a command too.
  std::vector<WPARAM> Commands() {
    std::vector<WPARAM> out;
    for (const Rec& r : log_.messages)
      if (r.msg == WM_COMMAND && r.wParam != MAKEWPARAM(kEdit, EN_KILLFOCUS) && r.wParam != MAKEWPARAM(kEdit, EN_SETFOCUS))
        out.push_back(r.wParam);
    return out;
  }
  HWND MakeForm() {
    HWND owner = MakeTop(0, 0, 800, 600);
    HWND dlg = CreateDialogParamA(Module(), MAKEINTRESOURCEA(kFormTemplate), owner, RecordingDialogProc, 77);
    EXPECT_NE(dlg, nullptr);
    ShowWindow(dlg, SW_SHOW);
    PumpAll();
    log_.messages.clear();
    return dlg;
  }
  // Runs the dialog's part of a message loop over what is queued.
  void PumpDialog(HWND dlg) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
      if (!IsDialogMessageA(dlg, &m)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
      }
  }
  DialogLog log_;
};

INT_PTR CALLBACK AutoCloseProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) return EndDialog(dlg, LOWORD(wParam));
  return FALSE;
}

TEST_F(Dialogs, DialogsThatCannotBeMadeFail) {
  HWND host = MakeTop(0, 0, 100, 100);
  EXPECT_EQ(DialogBoxParamA(Module(), MAKEINTRESOURCEA(999), host, AutoCloseProc, 0), -1);
  plat::sim::FailNext("DialogBoxParamA");
  EXPECT_EQ(DialogBoxParamA(Module(), MAKEINTRESOURCEA(kMessageBoxTemplate), host, AutoCloseProc, 0), -1);
  plat::sim::FailNext("CreateDialogParamA");
  EXPECT_EQ(CreateDialogParamA(Module(), MAKEINTRESOURCEA(kFormTemplate), host, RecordingDialogProc, 0), nullptr);
  EXPECT_TRUE(IsWindowEnabled(host));
}

TEST_F(Dialogs, EscapeAndEnterBecomeCommandsAndTabMovesThroughTabStops) {
  HWND dlg = MakeForm();
  const std::tuple<int, int, WORD> cases[] = {  // focus, key, command
      {kEdit, VK_ESCAPE, IDCANCEL}, {kEdit, VK_RETURN, kDefault}, {kDefault, VK_RETURN, kDefault},
      {kRadioA1, VK_RETURN, kDefault}};  // Enter gives the default push button
  for (auto [focus, key, expected] : cases) {
    SCOPED_TRACE(key);
    SetFocus(GetDlgItem(dlg, focus));
    PumpDialog(dlg);
    log_.messages.clear();
    plat::sim::PressKey(key);
    PumpDialog(dlg);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{MAKEWPARAM(expected, BN_CLICKED)});
  }
  char text[8];
  GetDlgItemTextA(dlg, kEdit, text, sizeof text);
  EXPECT_STREQ(text, "") << "Enter and Escape never reach the edit as characters";
  SetFocus(GetDlgItem(dlg, kEdit));
  std::vector<int> order;
  for (int i = 0; i < 5; ++i) {
    plat::sim::PressKey(VK_TAB);
    PumpDialog(dlg);
    order.push_back(GetDlgCtrlID(GetFocus()));
  }
  EXPECT_EQ(order, (std::vector<int>{kRadioA1, kRadioB1, kCheck, kDefault, kEdit}));
  // Without a default button, Enter gives IDOK.
  HWND box = CreateDialogParamA(Module(), MAKEINTRESOURCEA(kMessageBoxTemplate), GetParent(dlg), RecordingDialogProc, 0);
  ShowWindow(box, SW_SHOW);
  SetFocus(box);
  PumpDialog(box);
  log_.messages.clear();
  plat::sim::PressKey(VK_RETURN);
  plat::sim::PressKey(VK_ESCAPE);
  PumpDialog(box);
  EXPECT_EQ(Commands(), (std::vector<WPARAM>{IDOK, IDCANCEL}));
}

TEST_F(Dialogs, RadioButtonsCheckWithinTheirGroupOnly) {
  HWND dlg = MakeForm();
  auto click = [&](int id) {
    RECT r;
    GetWindowRect(GetDlgItem(dlg, id), &r);
    RECT d;
    GetWindowRect(dlg, &d);
    plat::sim::Click(dlg, r.left - d.left + 2, r.top - d.top + 2);
    plat::sim::Advance(600);  // no double click
  };
  click(kRadioA2);
  click(kRadioB1);
  click(kRadioA3);
  EXPECT_EQ(IsDlgButtonChecked(dlg, kRadioA1), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dlg, kRadioA2), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dlg, kRadioA3), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dlg, kRadioB1), BST_CHECKED) << "the other group keeps its choice";
  auto commands = Commands();
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[2], MAKEWPARAM(kRadioA3, BN_CLICKED));
  // Setting a check by message does not touch the rest of the group.
  SendDlgItemMessageA(dlg, kRadioA1, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(IsDlgButtonChecked(dlg, kRadioA3), BST_CHECKED);
  // Arrow keys move within the group and check what they reach.
  SetFocus(GetDlgItem(dlg, kRadioB1));
  plat::sim::PressKey(VK_DOWN);
  PumpDialog(dlg);
  EXPECT_EQ(IsDlgButtonChecked(dlg, kRadioB2), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dlg, kRadioB1), BST_UNCHECKED);
}

TEST_F(Dialogs, CheckBoxesToggleAndOnlyAReleaseInsideAnEnabledButtonClicks) {
  HWND dlg = MakeForm();
  HWND check = GetDlgItem(dlg, kCheck);
  SendMessageA(check, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(check, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  SendDlgItemMessageA(dlg, kDefault, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(SendDlgItemMessageA(dlg, kDefault, BM_GETCHECK, 0, 0), 0) << "push buttons do not check";
  EnableWindow(check, FALSE);
  SendMessageA(check, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "a disabled button ignores clicks";
  EXPECT_EQ(Commands().size(), 2u);
  HWND button = GetDlgItem(dlg, kDefault);
  plat::sim::MouseDown(button, 2, 2);
  PumpDialog(dlg);
  EXPECT_EQ(GetCapture(), button);
  EXPECT_EQ(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
  plat::sim::MouseUp(button, 500, 500);
  PumpDialog(dlg);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Commands().size(), 2u);
}

TEST_F(Dialogs, OwnerDrawButtonsAskTheirParentToDraw) {
  HWND host = MakeTop(0, 0, 800, 600);
  HWND dlg = CreateDialogParamA(Module(), MAKEINTRESOURCEA(kMessageBoxTemplate), host, RecordingDialogProc, 0);
  ShowWindow(dlg, SW_SHOW);
  HWND ok = GetDlgItem(dlg, IDOK);
  PumpAll();
  log_.draws.clear();
  SetFocus(ok);
  SendMessageA(ok, BM_SETSTATE, TRUE, 0);
  UpdateWindow(ok);
  const std::vector<DRAWITEMSTRUCT>& draws = log_.draws;
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].CtlType, ODT_BUTTON);
  EXPECT_EQ(draws[0].CtlID, static_cast<UINT>(IDOK));
  EXPECT_EQ(draws[0].hwndItem, ok);
  EXPECT_EQ(draws[0].itemAction, ODA_DRAWENTIRE);
  EXPECT_EQ(draws[0].itemState & (ODS_SELECTED | ODS_FOCUS), ODS_SELECTED | ODS_FOCUS);
  EXPECT_EQ(draws[0].itemState & ODS_DEFAULT, 0u);
  EXPECT_EQ(draws[0].rcItem.right, 50 * 6 / 4);
}

TEST_F(Dialogs, EditTypesDeletesAndKeepsItsLimit) {
  HWND dlg = MakeForm();
  HWND edit = GetDlgItem(dlg, kEdit);
  SetFocus(edit);
  plat::sim::TypeText("ab\xB3\xC9" "c");  // ab냥c
  PumpDialog(dlg);
  char text[32];
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "ab\xB3\xC9" "c");
  plat::sim::PressKey(VK_BACK);
  plat::sim::PressKey(VK_BACK);
  PumpDialog(dlg);
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "ab") << "Backspace removes a whole double-byte character";
  SendMessageA(edit, EM_LIMITTEXT, 3, 0);
  plat::sim::TypeText("xyz");
  PumpDialog(dlg);
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "abx");
  SendMessageA(edit, EM_SETSEL, 1, 2);
  DWORD start = 0, end = 0;
  EXPECT_EQ(SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)),
            MAKELRESULT(1, 2));
  EXPECT_EQ(start, 1u);
  SendMessageA(edit, WM_CLEAR, 0, 0);
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "ax");
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(end, 2u) << "-1 selects to the end";
  SetDlgItemTextA(dlg, kEdit, "12345");
  GetDlgItemTextA(dlg, kEdit, text, sizeof text);
  EXPECT_STREQ(text, "12345") << "WM_SETTEXT is not held to the typing limit";
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(end, 0u);
  int changes = 0;
  for (WPARAM c : Commands())
    if (HIWORD(c) == EN_CHANGE && LOWORD(c) == kEdit) ++changes;
  EXPECT_GE(changes, 5);
}

TEST_F(Dialogs, StaticsPaintWithTheBrushTheirParentGivesAndEndDialogOnlyHidesAModelessDialog) {
  HWND dlg = MakeForm();
  log_.staticBrush = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
  HWND label = GetDlgItem(dlg, kLabel);
  InvalidateRect(label, nullptr, TRUE);
  UpdateWindow(label);
  EXPECT_TRUE(std::any_of(log_.messages.begin(), log_.messages.end(), [&](const Rec& r) {
    return r.msg == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(r.lParam) == label;
  }));
  auto image = plat::sim::ReadWindow(label);
  ASSERT_FALSE(image.pixels.empty());
  EXPECT_EQ(image.pixels[0], 0xFFFFFFu);
  // EndDialog hides a modeless dialog and keeps it.
  EXPECT_TRUE(IsWindowVisible(dlg));
  EXPECT_TRUE(EndDialog(dlg, 5));
  EXPECT_TRUE(IsWindow(dlg));
  EXPECT_FALSE(IsWindowVisible(dlg));
  EXPECT_EQ(GetWindowLongPtrA(dlg, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(RecordingDialogProc));
}

TEST_F(Dialogs, MessageBoxRecordsAndAnswersAsConfigured) {
  HWND host = MakeTop(0, 0, 10, 10);
  EXPECT_EQ(MessageBoxA(host, "text", "caption", MB_OK), IDOK);
  plat::sim::SetMessageBoxAnswer(IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "q", nullptr, MB_YESNO), IDNO);
  auto calls = plat::sim::MessageBoxCalls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(std::tuple(calls[0].owner, calls[0].text, calls[0].caption), std::tuple(host, "text", "caption"));
  EXPECT_EQ(calls[1].type, MB_YESNO);
}

TEST_F(Dialogs, ControlsPlaceInDialogUnitsAndInitGetsTheParameter) {
  // Dialog units come from the template font (Dotum, 9 points = 12 pixels at 96 dpi):
  // the average width of the 52 Latin letters and the cell height.
  HDC screen = GetDC(nullptr);
  HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Dotum");
  HGDIOBJ old = SelectObject(screen, font);
  SIZE letters{};
  GetTextExtentPoint32A(screen, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
  TEXTMETRICA tm{};
  GetTextMetricsA(screen, &tm);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  const int ux = (letters.cx / 26 + 1) / 2, uy = tm.tmHeight;
  HWND dlg = MakeForm();
  RECT d, r;
  GetWindowRect(dlg, &d);
  EXPECT_EQ(d.left, 10 * ux / 4);
  EXPECT_EQ(d.right - d.left, 200 * ux / 4);
  GetWindowRect(GetDlgItem(dlg, kCheck), &r);
  EXPECT_EQ(r.left - d.left, 80 * ux / 4);
  EXPECT_EQ(r.top - d.top, 20 * uy / 8);
  DestroyWindow(dlg);
  log_.messages.clear();
  HWND again = CreateDialogParamA(Module(), MAKEINTRESOURCEA(kFormTemplate), nullptr, RecordingDialogProc, 77);
  ASSERT_FALSE(log_.messages.empty());
  auto init = std::find_if(log_.messages.begin(), log_.messages.end(), [](const Rec& m) { return m.msg == WM_INITDIALOG; });
  ASSERT_NE(init, log_.messages.end());
  EXPECT_EQ(init->lParam, 77);
  EXPECT_EQ(reinterpret_cast<HWND>(init->wParam), GetDlgItem(again, kEdit)) << "first tab stop";
}

INT_PTR CALLBACK QuietInitProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

INT_PTR CALLBACK DisablingInitProc(HWND dlg, UINT msg, WPARAM, LPARAM) {
  if (msg != WM_INITDIALOG) return FALSE;
  EnableWindow(GetDlgItem(dlg, kEdit), FALSE);
  return TRUE;
}

TEST_F(Dialogs, ATrueInitAnswerTakesTheFocusEvenForAHiddenDialog) {
  // The form's template is not visible: the dialog stays hidden, yet the owner loses the keys.
  HWND owner = MakeTop(0, 0, 800, 600);
  SetFocus(owner);
  HWND dlg = CreateDialogParamA(Module(), MAKEINTRESOURCEA(kFormTemplate), owner, RecordingDialogProc, 0);
  ASSERT_NE(dlg, nullptr);
  EXPECT_FALSE(IsWindowVisible(dlg));
  EXPECT_EQ(GetFocus(), GetDlgItem(dlg, kEdit));
  DestroyWindow(dlg);
  // A FALSE answer leaves the focus where it was.
  SetFocus(owner);
  dlg = CreateDialogParamA(Module(), MAKEINTRESOURCEA(kFormTemplate), owner, QuietInitProc, 0);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(GetFocus(), owner);
  DestroyWindow(dlg);
  // A first tab stop the procedure disabled passes the focus to the next one.
  SetFocus(owner);
  dlg = CreateDialogParamA(Module(), MAKEINTRESOURCEA(kFormTemplate), owner, DisablingInitProc, 0);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(GetFocus(), GetDlgItem(dlg, kRadioA1));
  DestroyWindow(dlg);
}

TEST_F(Dialogs, MapDialogRectUsesTheDialogsOwnFont) {
  plat::DialogTemplate t;
  t.style = WS_POPUP | DS_SETFONT;
  t.fontFace = "Dotum";
  t.fontSize = 20;  // well above the default font in both directions
  t.cx = 100;
  t.cy = 50;
  t.items = {Item("button", "OK", IDOK, BS_PUSHBUTTON, 38, 30, 50, 14)};
  constexpr int kBigFontTemplate = 103;
  plat::RegisterDialogTemplate(Module(), MAKEINTRESOURCEA(kBigFontTemplate), t);
  HWND owner = MakeTop(0, 0, 800, 600);
  HWND big = CreateDialogParamA(Module(), MAKEINTRESOURCEA(kBigFontTemplate), owner, RecordingDialogProc, 0);
  HWND form = CreateDialogParamA(Module(), MAKEINTRESOURCEA(kFormTemplate), owner, RecordingDialogProc, 0);
  ASSERT_NE(big, nullptr);
  ASSERT_NE(form, nullptr);
  const LONG fallback = GetDialogBaseUnits();
  RECT unit{0, 0, 4, 8};
  ASSERT_TRUE(MapDialogRect(big, &unit));
  EXPECT_GT(unit.right, LOWORD(fallback));
  EXPECT_GT(unit.bottom, HIWORD(fallback));

  // Mapping the dialog's own size and its button's place gives what creation gave.
  RECT bigRect, okRect;
  GetWindowRect(big, &bigRect);
  GetWindowRect(GetDlgItem(big, IDOK), &okRect);
  RECT size{0, 0, 100, 50};
  ASSERT_TRUE(MapDialogRect(big, &size));
  EXPECT_EQ(size.right, bigRect.right - bigRect.left);
  EXPECT_EQ(size.bottom, bigRect.bottom - bigRect.top);
  RECT ok{38, 30, 0, 0};
  ASSERT_TRUE(MapDialogRect(big, &ok));
  EXPECT_EQ(ok.left, okRect.left - bigRect.left);
  EXPECT_EQ(ok.top, okRect.top - bigRect.top);

  // A template without a font, and a dialog-class window made without a template,
  // use the default units; a window that is no dialog maps nothing.
  for (HWND dlg : {form, CreateWindowExA(0, WC_DIALOG, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr)}) {
    RECT r{0, 0, 4, 8};
    ASSERT_TRUE(MapDialogRect(dlg, &r));
    EXPECT_EQ(r.right, LOWORD(fallback));
    EXPECT_EQ(r.bottom, HIWORD(fallback));
  }
  RECT r{0, 0, 4, 8};
  EXPECT_FALSE(MapDialogRect(owner, &r));
  EXPECT_FALSE(MapDialogRect(big, nullptr));
}

}  // namespace
