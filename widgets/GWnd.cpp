// The window wrapper: class registration, creation under the window map's lock,
// the shared window procedure and the message table that unpacks each message.
#include "widgets/GWnd.h"

#include "plat/crt.h"
#include "widgets/GWndMgr.h"

namespace {

constexpr const char* kGeneratedClassPrefix = "MCWnd";

// Handles cast to 32 bits, as the generated class name shows them.
uint32_t Low32(const void* handle) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)); }

GPoint MousePoint(LPARAM lParam) { return GPoint::FromPacked(static_cast<uint32_t>(lParam)); }

UINT LowWordOf(uintptr_t v) { return static_cast<UINT>(v & 0xFFFFu); }
UINT HighWordOf(uintptr_t v) { return static_cast<UINT>((v >> 16) & 0xFFFFu); }

}  // namespace

GWnd::GWnd() = default;

GWnd::~GWnd() {
  if (!hwnd_) return;
  HWND old = hwnd_;
  // The last messages arrive while this is a plain GWnd: OnNcDestroy detaches.
  ::DestroyWindow(old);
  // Never leave the map pointing at a dying object, even when the window could not
  // be destroyed (another thread's window).
  GWndMgr& mgr = GWndMgr::Instance();
  if (mgr.Find(old) == this) mgr.Remove(old);
  hwnd_ = nullptr;
}

BOOL GWnd::PreCreateWindow(CREATESTRUCTA&) { return 1; }
void GWnd::PostNcDestroy() {}

// The system's procedure by its full name: the member never calls itself, whatever a
// header makes of the generic name.
LRESULT GWnd::DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT GWnd::OnNcCreate(LPARAM) {
  // The default creation work gives the window its title; the answer stays 1.
  Default();
  return 1;
}
LRESULT GWnd::OnCreate(LPARAM) { return 1; }
LRESULT GWnd::OnDestroy() { return Default(); }
LRESULT GWnd::OnNcDestroy() {
  LRESULT r = Default();
  Detach();
  PostNcDestroy();
  return r;
}
LRESULT GWnd::OnCommand(WPARAM, LPARAM) { return Default(); }
LRESULT GWnd::OnNotify(WPARAM, LPARAM) { return Default(); }
int32_t GWnd::OnExtra(uint32_t, uint32_t, uint32_t, uint32_t) { return 0; }
LRESULT GWnd::OnActivate(UINT, HWND, BOOL) { return Default(); }
LRESULT GWnd::OnActivateApp(WPARAM, LPARAM) { return Default(); }
LRESULT GWnd::OnMouseMove(UINT, GPoint) { return Default(); }
LRESULT GWnd::OnLButtonDown(UINT, GPoint) { return Default(); }
LRESULT GWnd::OnLButtonUp(UINT, GPoint) { return Default(); }
LRESULT GWnd::OnLButtonDblClk(UINT, GPoint) { return Default(); }
LRESULT GWnd::OnRButtonDown(UINT, GPoint) { return Default(); }
LRESULT GWnd::OnRButtonUp(UINT, GPoint) { return Default(); }
LRESULT GWnd::OnRButtonDblClk(UINT, GPoint) { return Default(); }
LRESULT GWnd::OnMButtonDown(UINT, GPoint) { return Default(); }
LRESULT GWnd::OnMButtonUp(UINT, GPoint) { return Default(); }
LRESULT GWnd::OnMButtonDblClk(UINT, GPoint) { return Default(); }
LRESULT GWnd::OnKeyDown(UINT, UINT, UINT) { return Default(); }
LRESULT GWnd::OnKeyUp(UINT, UINT, UINT) { return Default(); }
LRESULT GWnd::OnChar(UINT, UINT, UINT) { return Default(); }
LRESULT GWnd::OnPaint(WPARAM) { return Default(); }
LRESULT GWnd::OnEraseBkgnd(HDC) { return Default(); }
LRESULT GWnd::OnCtlColorEdit(HDC, HWND) { return Default(); }
LRESULT GWnd::OnCtlColorStatic(HDC, HWND) { return Default(); }
LRESULT GWnd::OnImeStartComposition(WPARAM, LPARAM) { return Default(); }
LRESULT GWnd::OnImeComposition(WPARAM, LPARAM) { return Default(); }
LRESULT GWnd::OnImeEndComposition(WPARAM, LPARAM) { return Default(); }
LRESULT GWnd::OnTimer(UINT_PTR) { return Default(); }

UINT GWnd::RegisterWndClass(std::string& className, HINSTANCE instance, UINT classStyle, HCURSOR cursor,
                            HBRUSH background, HICON icon) {
  if (className.empty()) {
    className = plat::FormatString("%s:%x:%x:%x:%x:%x", kGeneratedClassPrefix, Low32(instance), classStyle,
                                   Low32(cursor), Low32(background), Low32(icon));
  }
  // The look and the registration under one lock: threads making their windows at once
  // would otherwise both find no class, and the second registration fails. (Taking the
  // refusal for the class is no answer: Wine refuses before the first thread's class
  // can be looked up.)
  GWndMgrLock hold(GWndMgr::Instance());
  WNDCLASSA wc{};
  if (GetClassInfoA(instance, className.c_str(), &wc)) return 1;
  wc = WNDCLASSA{};
  wc.style = classStyle;
  wc.lpfnWndProc = &GWnd::StaticWndProc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = className.c_str();
  return RegisterClassA(&wc);
}

BOOL GWnd::Create(const std::string& className, const std::string& windowName, HINSTANCE instance, UINT style,
                  UINT exStyle, const GRect* rect, HWND parent, HMENU menuOrId, void* createParam) {
  if (hwnd_) return 0;
  WNDCLASSA wc{};
  if (!GetClassInfoA(instance, className.c_str(), &wc)) return 0;

  CREATESTRUCTA cs{};
  cs.lpCreateParams = createParam;
  cs.hInstance = instance;
  cs.hMenu = menuOrId;
  cs.hwndParent = parent;
  if (rect) {
    cs.x = rect->left;
    cs.y = rect->top;
    cs.cx = rect->Width();
    cs.cy = rect->Height();
  } else {
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
  }
  cs.style = static_cast<LONG>(style);
  cs.lpszName = windowName.c_str();
  cs.lpszClass = className.c_str();
  cs.dwExStyle = exStyle;
  if (!PreCreateWindow(cs)) return 0;

  // The lock stays held across the whole creation and the binding: this thread's
  // creation messages find this object through the creating pointer, and another
  // thread's look-up waits until the window exists and is bound.
  GWndMgr& mgr = GWndMgr::Instance();
  GWndMgrLock hold(mgr);
  GWnd* outer = mgr.SetCreating(this);
  HWND hwnd = CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                              cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  mgr.SetCreating(outer);
  if (!hwnd) return 0;
  return Attach(hwnd);
}

BOOL GWnd::Attach(HWND hwnd) {
  if (hwnd_ || !hwnd) return 0;
  hwnd_ = hwnd;
  GWndMgr::Instance().Insert(hwnd, this);
  return 1;
}

HWND GWnd::Detach() {
  HWND old = hwnd_;
  if (old) GWndMgr::Instance().Remove(old);
  hwnd_ = nullptr;
  return old;
}

BOOL GWnd::DestroyWindow() {
  if (!hwnd_) return 0;
  HWND old = hwnd_;
  BOOL ok = ::DestroyWindow(old);
  if (!ok) return 0;
  if (GWndMgr::Instance().Find(old) == this) Detach();
  hwnd_ = nullptr;
  return ok;
}

LRESULT GWnd::Default() {
  HWND hwnd = kept_.hwnd ? kept_.hwnd : dispatching_;
  return DefWindowProc(hwnd, kept_.message, kept_.wParam, kept_.lParam);
}

BOOL GWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  kept_ = {hwnd_, message, wParam, lParam};
  LRESULT r = 0;
  switch (message) {
    case WM_NCCREATE: r = OnNcCreate(lParam); break;
    case WM_CREATE: r = OnCreate(lParam); break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_NCDESTROY: OnNcDestroy(); break;
    case WM_COMMAND: OnCommand(wParam, lParam); break;
    case WM_NOTIFY: OnNotify(wParam, lParam); break;
    case WM_ACTIVATE:
      OnActivate(LowWordOf(wParam), reinterpret_cast<HWND>(lParam), static_cast<BOOL>(HighWordOf(wParam)));
      break;
    case WM_ACTIVATEAPP: OnActivateApp(wParam, lParam); break;
    case WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(wParam), MousePoint(lParam)); break;
    case WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(wParam), MousePoint(lParam)); break;
    case WM_LBUTTONUP: OnLButtonUp(static_cast<UINT>(wParam), MousePoint(lParam)); break;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(static_cast<UINT>(wParam), MousePoint(lParam)); break;
    case WM_RBUTTONDOWN: OnRButtonDown(static_cast<UINT>(wParam), MousePoint(lParam)); break;
    case WM_RBUTTONUP: OnRButtonUp(static_cast<UINT>(wParam), MousePoint(lParam)); break;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(static_cast<UINT>(wParam), MousePoint(lParam)); break;
    case WM_MBUTTONDOWN: OnMButtonDown(static_cast<UINT>(wParam), MousePoint(lParam)); break;
    case WM_MBUTTONUP: OnMButtonUp(static_cast<UINT>(wParam), MousePoint(lParam)); break;
    case WM_MBUTTONDBLCLK: OnMButtonDblClk(static_cast<UINT>(wParam), MousePoint(lParam)); break;
    case WM_KEYDOWN: OnKeyDown(static_cast<UINT>(wParam), LowWordOf(lParam), HighWordOf(lParam)); break;
    case WM_KEYUP: OnKeyUp(static_cast<UINT>(wParam), LowWordOf(lParam), HighWordOf(lParam)); break;
    case WM_CHAR: OnChar(static_cast<UINT>(wParam), LowWordOf(lParam), HighWordOf(lParam)); break;
    case WM_PAINT: OnPaint(wParam); break;
    case WM_ERASEBKGND: r = OnEraseBkgnd(reinterpret_cast<HDC>(wParam)); break;
    case WM_CTLCOLOREDIT: r = OnCtlColorEdit(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)); break;
    case WM_CTLCOLORSTATIC:
      r = OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
      break;
    case WM_IME_STARTCOMPOSITION: OnImeStartComposition(wParam, lParam); break;
    case WM_IME_COMPOSITION: OnImeComposition(wParam, lParam); break;
    case WM_IME_ENDCOMPOSITION: OnImeEndComposition(wParam, lParam); break;
    case WM_TIMER: OnTimer(static_cast<UINT_PTR>(wParam)); break;
    default: return 0;
  }
  if (result) *result = r;
  return 1;
}

// One message of the object being dispatched: the depth and, for a nested message, the
// outer message's kept values, put back as the scope ends however it ends.
class GWnd::DispatchScope {
 public:
  DispatchScope(GWnd& wnd, HWND hwnd) : wnd_(wnd), outerKept_(wnd.kept_), outerDispatching_(wnd.dispatching_) {
    ++wnd_.depth_;
    wnd_.dispatching_ = hwnd;
  }
  ~DispatchScope() {
    if (--wnd_.depth_ == 0) return;
    // A handler may cause nested messages (SendMessage, a child's creation): the outer
    // message's own Default still sees it.
    wnd_.kept_ = outerKept_;
    wnd_.dispatching_ = outerDispatching_;
  }
  DispatchScope(const DispatchScope&) = delete;
  DispatchScope& operator=(const DispatchScope&) = delete;

 private:
  GWnd& wnd_;
  const KeptMessage outerKept_;
  const HWND outerDispatching_;
};

LRESULT GWnd::Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (message == WM_NCDESTROY) {
    dispatching_ = hwnd;
    return WindowProc(message, wParam, lParam, &result) ? result : Default();
  }
  const DispatchScope scope(*this, hwnd);
  return WindowProc(message, wParam, lParam, &result) ? result : Default();
}

LRESULT CALLBACK GWnd::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    GWnd* wnd = GWndMgr::Instance().Find(hwnd);
    if (!wnd || (hwnd && !IsWindow(hwnd))) return DefWindowProcA(hwnd, message, wParam, lParam);
    return wnd->Dispatch(hwnd, message, wParam, lParam);
  } catch (...) {
    // The host's process must not end through the module's window procedure. What the
    // dispatch counted was undone by its scopes as the exception left them; the object
    // may be gone, so only the handle is used here.
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

BOOL GWnd::InvalidateRect(const GRect* rect, BOOL erase) {
  if (!rect) return ::InvalidateRect(hwnd_, nullptr, erase);
  RECT r{};
  rect->CopyTo(&r);
  return ::InvalidateRect(hwnd_, &r, erase);
}

GRect GWnd::GetWindowRect() const {
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  return r;
}

GRect GWnd::GetClientRect() const {
  RECT r{};
  ::GetClientRect(hwnd_, &r);
  return r;
}

GWnd* GWnd::GetParentWnd() const {
  HWND parent = ::GetParent(hwnd_);
  return parent ? GWndMgr::Instance().Find(parent) : nullptr;
}

BOOL GWnd::SetWindowPos(const GWnd* insertAfter, const GRect& rect, UINT flags) {
  return ::SetWindowPos(hwnd_, insertAfter ? insertAfter->hwnd_ : nullptr, rect.left, rect.top, rect.Width(),
                        rect.Height(), flags);
}

BOOL GWnd::MoveWindow(const GRect& rect, BOOL repaint) {
  return ::MoveWindow(hwnd_, rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}
