// The dialog procedure every skinned pop-up runs, the library's own handlers it calls,
// and the number edit's subclass.
#include <array>

#include "panels/SkinnedPopup.h"
#include "plat/crt.h"

namespace skinned_popup {
namespace {

constexpr int32_t kEndOk = 1;
constexpr int32_t kEndCancel = 2;
// A number edit reads at most this many characters before the typed one.
constexpr int kNumberTextMax = 256;
constexpr int kBackspace = 8;

void DrawFace(HDC dc, int32_t width, int32_t height) {
  PopupState& s = State();
  if (s.background.dc) BitBlt(dc, 0, 0, width, height, s.background.dc, 0, 0, SRCCOPY);
  for (auto& [key, layer] : s.layers)
    if (layer.shown == 1 && layer.image.dc)
      TransparentBlt(dc, layer.x, layer.y, layer.width, layer.height, layer.image.dc, 0, 0, layer.width,
                     layer.height, kColourKey);
}

void Notify(int32_t id, int32_t checked) {
  if (State().parent) SendMessageA(State().parent, WM_USER, static_cast<WPARAM>(id), checked);
}

// The child whose window is `hwnd`, if any.
Child* ChildOfWindow(HWND hwnd) {
  for (auto& [id, c] : State().children)
    if (c.hwnd && c.hwnd == hwnd) return &c;
  return nullptr;
}

INT_PTR NullBrush() { return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH)); }

}  // namespace

void OnInit(HWND dialog) {
  PopupState& s = State();
  s.popup = dialog;
  if (!s.backgroundPath.empty() && !s.background.dc && s.background.LoadFile(s.backgroundPath)) {
    if (HRGN shape = CreateRegionFromBitmap(s.background.bitmap, kColourKey, kShapeTolerance))
      SetWindowRgn(dialog, shape, TRUE);  // the window owns the region from here
    s.background.Select(dialog);
  }
  for (auto& [id, c] : s.children)
    if (!c.hwnd) CreateChildWindow(c);
  for (auto& [key, layer] : s.layers)
    if (!layer.image.dc && !layer.path.empty()) layer.image.Load(layer.path, dialog);
}

void OnPaint(HWND dialog) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(dialog, &ps);
  RECT client{};
  GetClientRect(dialog, &client);
  const int32_t width = client.right, height = client.bottom;
  // Compatible with the window's DC: one made from a fresh memory DC is monochrome.
  HDC memory = State().layers.Count() > 0 ? CreateCompatibleDC(hdc) : nullptr;
  HBITMAP picture = memory ? CreateCompatibleBitmap(hdc, width, height) : nullptr;
  if (memory && picture) {
    HGDIOBJ old = SelectObject(memory, picture);
    DrawFace(memory, width, height);
    TransparentBlt(hdc, 0, 0, width, height, memory, 0, 0, width, height, kColourKey);
    SelectObject(memory, old);
  } else {
    DrawFace(hdc, width, height);
  }
  if (picture) DeleteObject(picture);
  if (memory) DeleteDC(memory);
  EndPaint(dialog, &ps);
}

// Frames of the usual strip: 0 normal, n - 3 hover or focus, n - 2 pressed, n - 1 disabled.
void OnDrawItem(WPARAM, LPARAM lParam) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (!item) return;
  Child* c = FindChild(static_cast<int32_t>(item->CtlID));
  if (!c || !c->hwnd || !c->image.dc) return;
  const int32_t n = c->frames;
  auto draw = [&](int32_t frame) {
    if (frame < 0 || frame >= n) frame = 0;
    TransparentBlt(item->hDC, 0, 0, c->width, c->height, c->image.dc, frame * c->width, 0, c->width, c->height,
                   kColourKey);
  };
  const UINT state = item->itemState;
  for (UINT bit : {ODS_HOTLIGHT, ODS_DEFAULT, ODS_FOCUS})
    if (state & bit) draw(n - 3 < 1 ? 0 : n - 3);
  if ((state & ODS_SELECTED) && (state & ODS_FOCUS)) {
    draw(n - 2);
  } else if (state & ODS_DISABLED) {
    draw(n - 1);
  } else if (!(state & ODS_FOCUS)) {
    draw(0);
  }
}

void OnCommand(WPARAM wParam, LPARAM) {
  const int32_t id = LOWORD(wParam);
  Child* c = FindChild(id);
  if (!c || !c->hwnd) return;
  if (c->IsCheckBox()) {
    if (!c->IsAutomatic()) SetCheck(id, IsChecked(id) ? 0 : 1);
    Notify(id, IsChecked(id));
  } else if (c->IsRadio()) {
    if (!c->IsAutomatic()) {
      if (c->groupFirst)
        SelectRadio(c->groupFirst, c->groupLast, id);
      else
        SetCheck(id, 1);
    }
    Notify(id, IsChecked(id));
  } else if (c->Kind() == ChildKind::Button && c->code != kPlainText) {
    Notify(id, 0);  // a picture button
  }
}

void OnDestroy() {
  ReleaseAll();
  State().popup = nullptr;
  State().parent = nullptr;
}

namespace {
// The state the dialog was made from; none before its first WM_INITDIALOG.
PopupState* StateOfDialog(HWND dialog, UINT msg, LPARAM lParam) {
  if (msg == WM_INITDIALOG && lParam) {
    SetPropA(dialog, kPropState, reinterpret_cast<HANDLE>(lParam));
    return reinterpret_cast<PopupState*>(lParam);
  }
  return static_cast<PopupState*>(GetPropA(dialog, kPropState));
}
}  // namespace

INT_PTR CALLBACK SkinDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  PopupState* own = StateOfDialog(dialog, msg, lParam);
  if (!own) return 0;
  Selection selected(*own);
  if (msg == WM_NCDESTROY) RemovePropA(dialog, kPropState);
  const Handlers& h = own->handlers;
  switch (msg) {
    case WM_INITDIALOG:
      if (h.onInit) h.onInit(dialog);
      // No default focus: the pop-up is made hidden beside the table, and a control of
      // it taking the focus would make it the active window and take the keyboard from
      // the game window.
      return 0;
    case WM_PAINT:
      if (h.onPaint) h.onPaint(dialog);
      return 1;
    case WM_DRAWITEM:
      if (h.onDrawItem) h.onDrawItem(wParam, lParam);
      return 0;
    case WM_COMMAND:
      if (h.onCommand) h.onCommand(wParam, lParam);
      if (LOWORD(wParam) == IDOK) return EndDialog(dialog, kEndOk), 1;
      if (LOWORD(wParam) == IDCANCEL) return EndDialog(dialog, kEndCancel), 1;
      return 0;
    case WM_DESTROY:
      if (h.onDestroy) h.onDestroy();
      return 1;
    case WM_CTLCOLORSTATIC: {
      Child* c = ChildOfWindow(reinterpret_cast<HWND>(lParam));
      if (!c) return 0;
      const bool plainText = c->Kind() == ChildKind::Static && c->code == kPlainText;
      if (plainText) SetTextColor(reinterpret_cast<HDC>(wParam), c->textColour);
      if (plainText || c->IsCheckBox() || c->IsRadio()) {
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return NullBrush();
      }
      return 0;
    }
    case WM_CTLCOLOREDIT: {
      Child* c = ChildOfWindow(reinterpret_cast<HWND>(lParam));
      if (!c || c->Kind() != ChildKind::Edit) return 0;
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return NullBrush();
    }
    case WM_LBUTTONDOWN:
      // The whole body is the pop-up's caption.
      PostMessageA(dialog, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
      return 0;
    default: return 0;
  }
}

LRESULT CALLBACK NumberEditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto original = reinterpret_cast<WNDPROC>(GetPropA(edit, kPropOriginalProc));
  if (msg == WM_CHAR) {
    const int ch = static_cast<int>(wParam & 0xFF);
    if ((ch < '0' || ch > '9') && ch != kBackspace) {
      SetFocus(edit);
      return 0;
    }
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start != end && original) CallWindowProcA(original, edit, WM_CLEAR, 0, 0);
    // The text read, the typed character and the terminator.
    std::array<char, kNumberTextMax + 2> candidate{};
    const int length = GetWindowTextA(edit, candidate.data(), kNumberTextMax + 1);
    candidate[static_cast<size_t>(length < 0 ? 0 : length)] = static_cast<char>(ch);
    const int32_t value = plat::crt::atoi(candidate.data());
    const auto minimum = static_cast<int32_t>(reinterpret_cast<intptr_t>(GetPropA(edit, kPropMinimum)));
    const auto maximum = static_cast<int32_t>(reinterpret_cast<intptr_t>(GetPropA(edit, kPropMaximum)));
    if (value < minimum || value > maximum) {
      SetFocus(edit);
      SendMessageA(edit, EM_SETSEL, 0, -1);
      return 0;
    }
  }
  return original ? CallWindowProcA(original, edit, msg, wParam, lParam) : 0;
}

}  // namespace skinned_popup
