// The single-line "edit" class: text, a selection (anchor and caret, byte offsets
// on character boundaries of the code page), typing and Backspace, the text limit,
// and the EM_ messages. Changes are announced with EN_UPDATE then EN_CHANGE.
// The text is painted on one line in the control's font, aligned by ES_CENTER or
// ES_RIGHT, over the background the parent's WM_CTLCOLOR* answer chose.
#include <algorithm>

#include "plat/codepage.h"
#include "plat/gdi_text.h"
#include "user/Controls.h"
#include "user/GdiSeam.h"

using namespace plat::detail;
using namespace plat::detail::user;

namespace {

constexpr size_t kLimitWhenZero = 0x7FFFFFFE;

// Start of the character that ends at `at` (for Backspace).
size_t PreviousBoundary(const std::string& text, size_t at) {
  size_t pos = 0, last = 0;
  while (pos < at) {
    last = pos;
    pos += plat::Cp949CharLength(std::string_view(text).substr(pos));
  }
  return last;
}

size_t NextBoundary(const std::string& text, size_t at) {
  if (at >= text.size()) return text.size();
  return at + plat::Cp949CharLength(std::string_view(text).substr(at));
}

struct Selection {
  size_t begin, end;
};

Selection SelectionLocked(const Window& w) {
  return Selection{std::min(w.control.anchor, w.control.caret), std::max(w.control.anchor, w.control.caret)};
}

// Replaces the selection with `insert`; refuses what would pass the limit.
bool ReplaceSelection(HWND hwnd, const std::string& insert, bool enforceLimit) {
  auto w = Find(hwnd);
  if (!w) return false;
  bool changed, refused = false;
  {
    auto lock = Lock();
    Selection s = SelectionLocked(*w);
    size_t after = w->text.size() - (s.end - s.begin) + insert.size();
    if (enforceLimit && !insert.empty() && after > w->control.limit) {
      refused = true;
      changed = false;
    } else {
      changed = s.begin != s.end || !insert.empty();
      w->text.replace(s.begin, s.end - s.begin, insert);
      w->control.anchor = w->control.caret = s.begin + insert.size();
    }
  }
  if (refused) {
    NotifyParent(hwnd, EN_MAXTEXT);
    return false;
  }
  if (changed) {
    InvalidateRect(hwnd, nullptr, TRUE);
    NotifyParent(hwnd, EN_UPDATE);
    NotifyParent(hwnd, EN_CHANGE);
  }
  return changed;
}

UINT TextFormat(DWORD style) {
  const DWORD align = style & (ES_CENTER | ES_RIGHT);
  return DT_SINGLELINE | DT_NOPREFIX | (align == ES_RIGHT ? DT_RIGHT : align == ES_CENTER ? DT_CENTER : DT_LEFT);
}

bool ReadOnly(HWND hwnd) { return (static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & ES_READONLY) != 0; }

void OnChar(HWND hwnd, const std::shared_ptr<Window>& w, WPARAM wParam) {
  int ch = static_cast<int>(wParam & 0xFF);
  if (ReadOnly(hwnd)) return;
  if (ch == '\b') {
    {
      auto lock = Lock();
      Selection s = SelectionLocked(*w);
      if (s.begin == s.end) {
        if (s.begin == 0) return;
        w->control.anchor = PreviousBoundary(w->text, s.begin);
        w->control.caret = s.begin;
      }
    }
    ReplaceSelection(hwnd, "", false);
    return;
  }
  if (ch < 0x20 || ch == 0x7F) return;
  std::string insert;
  {
    auto lock = Lock();
    if (w->control.pendingLead >= 0) {
      insert = {static_cast<char>(w->control.pendingLead), static_cast<char>(ch)};
      w->control.pendingLead = -1;
    } else if (IsDBCSLeadByte(static_cast<BYTE>(ch))) {
      w->control.pendingLead = ch;
      return;
    } else {
      insert = std::string(1, static_cast<char>(ch));
    }
    DWORD style = w->style;
    if ((style & ES_NUMBER) && (insert.size() != 1 || ch < '0' || ch > '9')) return;
    if ((style & ES_UPPERCASE) && insert.size() == 1 && ch >= 'a' && ch <= 'z') insert[0] = static_cast<char>(ch - 32);
    if ((style & ES_LOWERCASE) && insert.size() == 1 && ch >= 'A' && ch <= 'Z') insert[0] = static_cast<char>(ch + 32);
  }
  ReplaceSelection(hwnd, insert, true);
}

void OnKeyDown(HWND hwnd, const std::shared_ptr<Window>& w, int vk) {
  bool shift = GetKeyState(VK_SHIFT) < 0;
  if (vk == VK_DELETE) {
    if (ReadOnly(hwnd)) return;
    {
      auto lock = Lock();
      Selection s = SelectionLocked(*w);
      if (s.begin == s.end) {
        w->control.anchor = s.begin;
        w->control.caret = NextBoundary(w->text, s.begin);
      }
    }
    ReplaceSelection(hwnd, "", false);
    return;
  }
  auto lock = Lock();
  size_t caret = w->control.caret;
  switch (vk) {
    case VK_LEFT: caret = caret == 0 ? 0 : PreviousBoundary(w->text, caret); break;
    case VK_RIGHT: caret = NextBoundary(w->text, caret); break;
    case VK_HOME: caret = 0; break;
    case VK_END: caret = w->text.size(); break;
    default: return;
  }
  w->control.caret = caret;
  if (!shift) w->control.anchor = caret;
}

}  // namespace

namespace plat::detail::user {

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = Find(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_CHAR: OnChar(hwnd, w, wParam); return 0;
    case WM_KEYDOWN: OnKeyDown(hwnd, w, static_cast<int>(wParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      SetFocus(hwnd);
      auto lock = Lock();
      w->control.anchor = w->control.caret = w->text.size();
      return 0;
    }
    case WM_SETFOCUS: NotifyParent(hwnd, EN_SETFOCUS); return 0;
    case WM_KILLFOCUS: NotifyParent(hwnd, EN_KILLFOCUS); return 0;
    case EM_GETSEL: {
      Selection s;
      {
        auto lock = Lock();
        s = SelectionLocked(*w);
      }
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(s.begin);
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(s.end);
      if (s.begin > 0xFFFF || s.end > 0xFFFF) return -1;
      return MAKELRESULT(static_cast<WORD>(s.begin), static_cast<WORD>(s.end));
    }
    case EM_SETSEL: {
      auto lock = Lock();
      size_t len = w->text.size();
      auto clamp = [&](intptr_t v) { return (v < 0 || static_cast<size_t>(v) > len) ? len : static_cast<size_t>(v); };
      intptr_t start = static_cast<intptr_t>(static_cast<int32_t>(wParam));
      if (start == -1) {
        w->control.anchor = w->control.caret;
      } else {
        w->control.anchor = clamp(start);
        w->control.caret = clamp(static_cast<int32_t>(lParam));
      }
      return 0;
    }
    case EM_REPLACESEL:
      ReplaceSelection(hwnd, lParam ? reinterpret_cast<LPCSTR>(lParam) : "", false);
      return 0;
    case EM_LIMITTEXT: {
      auto lock = Lock();
      w->control.limit = wParam ? static_cast<size_t>(wParam) : kLimitWhenZero;
      return 0;
    }
    case EM_GETLIMITTEXT: {
      auto lock = Lock();
      return static_cast<LRESULT>(w->control.limit);
    }
    case EM_SETREADONLY: {
      auto lock = Lock();
      if (wParam)
        w->style |= ES_READONLY;
      else
        w->style &= ~ES_READONLY;
      return TRUE;
    }
    case WM_CLEAR:
      if (!ReadOnly(hwnd)) ReplaceSelection(hwnd, "", false);
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
      {
        auto lock = Lock();
        w->control.anchor = w->control.caret = 0;
        w->control.pendingLead = -1;
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyParent(hwnd, EN_UPDATE);
      NotifyParent(hwnd, EN_CHANGE);
      return r;
    }
    case WM_SETFONT: {
      auto lock = Lock();
      w->control.font = reinterpret_cast<HFONT>(wParam);
      return 0;
    }
    case WM_GETFONT: {
      auto lock = Lock();
      return reinterpret_cast<LRESULT>(w->control.font);
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      if (HWND parent = GetParent(hwnd)) {
        UINT ask = (ReadOnly(hwnd) || !IsWindowEnabled(hwnd)) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
        auto brush = reinterpret_cast<HBRUSH>(
            SendMessageA(parent, ask, reinterpret_cast<WPARAM>(ps.hdc), reinterpret_cast<LPARAM>(hwnd)));
        HFONT font;
        DWORD style;
        {
          auto lock = Lock();
          w->control.lastBrush = brush;
          font = w->control.font;
          style = w->style;
        }
        if (auto colour = BrushColour(brush)) FillBacking(hwnd, ps.rcPaint, *colour);
        DrawWindowText(ps.hdc, hwnd, font, TextFormat(style));
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace plat::detail::user
