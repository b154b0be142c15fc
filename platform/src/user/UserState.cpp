#include "user/UserState.h"

#include <algorithm>
#include <cctype>

#include "plat/error.h"
#include "plat/threads.h"
#include "user/UserClock.h"

namespace plat::detail::user {
namespace {
constexpr size_t kPostLogLimit = 4096;
}

UserState& State() {
  static UserState* s = new UserState;
  return *s;
}

std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(State().mutex); }

std::shared_ptr<Window> Find(HWND hwnd) {
  if (!hwnd) return nullptr;
  return Handles().Get<Window>(FromHandle(hwnd), HandleKind::Window);
}

std::shared_ptr<Window> FindOrFail(HWND hwnd) {
  auto w = Find(hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
  // A plain pointer, so thread exit runs no destructor; the map owns the queue.
  thread_local ThreadQueue* mine = nullptr;
  if (mine) return mine->shared_from_this();
  const DWORD threadId = GetCurrentThreadId();
  auto lock = Lock();
  auto& slot = State().queues[std::this_thread::get_id()];
  if (!slot) {
    slot = std::make_shared<ThreadQueue>();
    slot->thread = std::this_thread::get_id();
    slot->threadId = threadId;
  }
  mine = slot.get();
  return slot;
}

bool OwnedByCaller(const Window& w) { return w.queue && w.queue->thread == std::this_thread::get_id(); }

std::string LowerKey(const char* name) {
  std::string s = name ? name : "";
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

RECT ClientOrigin(const Window& w) { return w.rect; }

bool PointInRect(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

bool RectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT RectUnion(const RECT& a, const RECT& b) {
  if (RectEmpty(a)) return b;
  if (RectEmpty(b)) return a;
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

RECT RectIntersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (RectEmpty(r)) return RECT{};
  return r;
}

bool VisibleLocked(const Window& w) {
  const Window* p = &w;
  std::shared_ptr<Window> hold;
  while (p) {
    if (!(p->style & WS_VISIBLE)) return false;
    if (!p->parent) return true;
    hold = Find(p->parent);
    p = hold.get();
  }
  return false;
}

HWND RootLocked(HWND hwnd) {
  auto w = Find(hwnd);
  while (w && w->parent) {
    hwnd = w->parent;
    w = Find(hwnd);
  }
  return hwnd;
}

bool IsSelfOrDescendantLocked(HWND ancestor, HWND hwnd) {
  while (hwnd) {
    if (hwnd == ancestor) return true;
    auto w = Find(hwnd);
    if (!w) return false;
    hwnd = w->parent;
  }
  return false;
}

void Wake(ThreadQueue& q, DWORD bits) {
  q.changed |= bits;
  q.cv.notify_all();
  Notify();
}

DWORD InputWakeBit(UINT msg) {
  if (msg == WM_MOUSEMOVE) return QS_MOUSEMOVE;
  if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) return QS_MOUSEBUTTON;
  if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) return QS_KEY;
  return QS_POSTMESSAGE;
}

void PostLocked(const std::shared_ptr<Window>& w, ThreadQueue& q, HWND hwnd, UINT msg, WPARAM wParam,
                LPARAM lParam) {
  MSG m{hwnd, msg, wParam, lParam, UserTickMs(), State().cursorPos};
  q.posted.push_back(m);
  if (w) {
    if (w->postLog.size() >= kPostLogLimit) w->postLog.erase(w->postLog.begin());
    w->postLog.push_back(m);
  }
  Wake(q, InputWakeBit(msg));
}

LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc = nullptr;
  {
    auto lock = Lock();
    auto w = Find(hwnd);
    if (!w) return 0;
    proc = w->proc;
  }
  return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

bool ServeSentMessages(ThreadQueue& q) {
  bool any = false;
  for (;;) {
    std::shared_ptr<SentMessage> sm;
    std::shared_ptr<ThreadQueue> sender;
    {
      auto lock = Lock();
      if (q.sent.empty()) break;
      sm = q.sent.front().first;
      sender = q.sent.front().second;
      q.sent.pop_front();
    }
    LRESULT r = CallProc(sm->hwnd, sm->msg, sm->wParam, sm->lParam);
    {
      auto lock = Lock();
      sm->result = r;
      sm->done = true;
      if (sender) sender->cv.notify_all();
    }
    any = true;
  }
  return any;
}

}  // namespace plat::detail::user
