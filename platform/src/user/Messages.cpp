// Sending, posting and retrieving messages. Retrieval order: incoming cross-thread
// sends (run, never returned), then the first posted message in range (input
// included, FIFO), the quit flag, WM_PAINT of a window with something to repaint,
// and WM_TIMER of the earliest due timer (one per timer however late it is).
#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <new>
#include <thread>
#include <optional>
#include <vector>

#include "core/HandleTable.h"
#include "kernel/Waitable.h"
#include "plat/error.h"
#include "user/Controls.h"
#include "user/QueueWait.h"
#include "user/UserClock.h"

using namespace plat::detail;
using namespace plat::detail::user;

namespace {

const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));

bool InRange(UINT msg, UINT min, UINT max) {
  if (min == 0 && max == 0) return true;
  if (min <= max) return msg >= min && msg <= max;
  return msg >= min || msg <= max;
}

bool HwndMatches(HWND filter, HWND hwnd) {
  if (!filter) return true;
  if (filter == kThreadMessagesOnly) return hwnd == nullptr;
  return IsSelfOrDescendantLocked(filter, hwnd);
}

// `kinds` is PeekMessage's QS_ bits (0: every kind): posted messages and the quit flag
// are QS_POSTMESSAGE (the queue's input too, which is posted here, and also QS_KEY or
// QS_MOUSE*), paint and timers their own bits, so a look at posted messages alone never
// returns WM_PAINT.
struct Filter {
  HWND hwnd;
  UINT min, max;
  DWORD kinds = 0;
  bool Takes(DWORD kind) const { return kinds == 0 || (kinds & kind) != 0; }
};

// Windows of the queue in tree order (parents before children).
void CollectPaintable(HWND hwnd, const ThreadQueue& q, std::vector<HWND>& out) {
  auto w = Find(hwnd);
  if (!w || !(w->style & WS_VISIBLE)) return;
  if (w->queue.get() == &q && !RectEmpty(w->update)) out.push_back(hwnd);
  for (HWND c : w->children) CollectPaintable(c, q, out);
}

// Looks for the next message; removes it when `remove`. Caller holds the lock.
bool FindMessageLocked(ThreadQueue& q, const Filter& f, bool remove, MSG* out) {
  for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
    if (!InRange(it->message, f.min, f.max) || !HwndMatches(f.hwnd, it->hwnd) ||
        !f.Takes(QS_POSTMESSAGE | InputWakeBit(it->message)))
      continue;
    *out = *it;
    if (remove) q.posted.erase(it);
    return true;
  }
  uint64_t now = UserNowMs();
  if (q.quit && f.Takes(QS_POSTMESSAGE) && InRange(WM_QUIT, f.min, f.max) &&
      (!f.hwnd || f.hwnd == kThreadMessagesOnly)) {
    *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, UserTickMs(), State().cursorPos};
    if (remove) q.quit = false;
    return true;
  }
  if (f.Takes(QS_PAINT) && InRange(WM_PAINT, f.min, f.max)) {
    std::vector<HWND> paintable;
    for (HWND t : State().topLevel) CollectPaintable(t, q, paintable);
    for (HWND h : paintable) {
      if (!HwndMatches(f.hwnd, h)) continue;
      *out = MSG{h, WM_PAINT, 0, 0, UserTickMs(), State().cursorPos};
      return true;
    }
  }
  if (f.Takes(QS_TIMER) && InRange(WM_TIMER, f.min, f.max)) {
    Timer* best = nullptr;
    for (Timer& t : State().timers) {
      if (t.queue.get() != &q || t.due > now || !HwndMatches(f.hwnd, t.hwnd)) continue;
      if (!best || t.due < best->due) best = &t;
    }
    if (best) {
      *out = MSG{best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc), UserTickMs(),
                 State().cursorPos};
      if (remove) {
        best->due = now + best->period;
        best->signalled = false;
      }
      return true;
    }
  }
  return false;
}

// A look at the queue: what arrived so far is no longer new.
void MarkLookedLocked(ThreadQueue& q) {
  q.changed = 0;
  uint64_t now = UserNowMs();
  for (Timer& t : State().timers)
    if (t.queue.get() == &q && t.due <= now) t.signalled = true;
}

DWORD NewBitsLocked(const ThreadQueue& q) {
  DWORD bits = q.changed;
  uint64_t now = UserNowMs();
  for (const Timer& t : State().timers)
    if (t.queue.get() == &q && t.due <= now && !t.signalled) bits |= QS_TIMER;
  return bits;
}

void TrackKeyStateLocked(const MSG& m) {
  auto* keys = State().syncKeys;
  switch (m.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      uint8_t& k = keys[m.wParam & 0xFF];
      if (!(k & 0x80)) k ^= 1;
      k |= 0x80;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: keys[m.wParam & 0xFF] &= 0x7F; break;
    default: break;
  }
}

// The press a button message stands for (a double click is still a press), or 0.
UINT PressOf(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return WM_LBUTTONDOWN;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: return WM_RBUTTONDOWN;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: return WM_MBUTTONDOWN;
    default: return 0;
  }
}

// A press on a child is told to its parent, and on up the chain of parents, until a
// window that is not a child or whose style keeps it out of its parent's business;
// each hears the press's point in its own client coordinates.
void TellParentsOfPress(HWND hwnd, UINT press, POINT screen) {
  for (;;) {
    HWND parent = nullptr;
    POINT at = screen;
    {
      auto lock = Lock();
      auto w = Find(hwnd);
      if (!w || !(w->style & WS_CHILD) || (w->exStyle & WS_EX_NOPARENTNOTIFY) || !w->parent) return;
      auto p = Find(w->parent);
      if (!p) return;
      parent = w->parent;
      const RECT origin = ClientOrigin(*p);
      at = {screen.x - origin.left, screen.y - origin.top};
    }
    SendMessageA(parent, WM_PARENTNOTIFY, MAKEWPARAM(static_cast<WORD>(press), 0),
                 MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
    hwnd = parent;
  }
}

// After a message is removed: key state follows it, and a mouse message is preceded
// by WM_SETCURSOR to its window unless the mouse is captured (and a press on a child by
// its parents' notices first).
void AfterRemoval(ThreadQueue& q, const MSG& m) {
  bool setCursor = false;
  {
    auto lock = Lock();
    q.lastTime = m.time;
    q.lastPos = m.pt;
    TrackKeyStateLocked(m);
    setCursor = m.hwnd && m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST && !State().capture;
  }
  if (!setCursor) return;
  if (const UINT press = PressOf(m.message)) TellParentsOfPress(m.hwnd, press, m.pt);
  SendMessageA(m.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m.hwnd), MAKELPARAM(HTCLIENT, m.message));
}

bool ValidFilter(HWND hwnd) { return !hwnd || hwnd == kThreadMessagesOnly || IsWindow(hwnd); }

}  // namespace

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = FindOrFail(hwnd);
  if (!w) return 0;
  auto me = CurrentQueue();
  auto lock = Lock();
  std::shared_ptr<ThreadQueue> target = w->queue;
  if (target == me) {
    lock.unlock();
    return CallProc(hwnd, msg, wParam, lParam);
  }
  auto sm = std::make_shared<SentMessage>(SentMessage{hwnd, msg, wParam, lParam});
  target->sent.emplace_back(sm, me);
  Wake(*target, QS_SENDMESSAGE);
  // Messages sent to this thread meanwhile are served, so two threads sending to
  // each other do not deadlock.
  while (!sm->done) {
    if (!me->sent.empty()) {
      lock.unlock();
      ServeSentMessages(*me);
      lock.lock();
      continue;
    }
    me->cv.wait(lock);
  }
  return sm->result;
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // The system's post fails, it never throws: a queue that cannot grow refuses it.
  try {
    if (!hwnd) {
      auto me = CurrentQueue();
      auto lock = Lock();
      PostLocked(nullptr, *me, nullptr, msg, wParam, lParam);
      return TRUE;
    }
    auto w = FindOrFail(hwnd);
    if (!w) return FALSE;
    auto lock = Lock();
    PostLocked(w, *w->queue, hwnd, msg, wParam, lParam);
    return TRUE;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
}

void PostQuitMessage(int exitCode) {
  auto me = CurrentQueue();
  auto lock = Lock();
  me->quit = true;
  me->quitCode = exitCode;
  Wake(*me, QS_POSTMESSAGE);
}

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (!msg) return FALSE;
  auto me = CurrentQueue();
  const UINT kinds = removeFlags >> 16;
  if (kinds == 0 || (kinds & QS_SENDMESSAGE) != 0) ServeSentMessages(*me);
  bool remove = (removeFlags & PM_REMOVE) != 0;
  bool found;
  {
    auto lock = Lock();
    MarkLookedLocked(*me);
    found = FindMessageLocked(*me, Filter{hwnd, filterMin, filterMax, kinds}, remove, msg);
  }
  if (found && remove) AfterRemoval(*me, *msg);
  return found ? TRUE : FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (!msg || !ValidFilter(hwnd)) {
    SetLastError(msg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
    return -1;
  }
  auto me = CurrentQueue();
  Filter f{hwnd, filterMin, filterMax};
  for (;;) {
    ServeSentMessages(*me);
    auto lock = Lock();
    MarkLookedLocked(*me);
    if (FindMessageLocked(*me, f, true, msg)) {
      lock.unlock();
      AfterRemoval(*me, *msg);
      return msg->message == WM_QUIT ? FALSE : TRUE;
    }
    MSG probe;
    auto r = WaitOnQueue(lock, std::nullopt, [&] { return !me->sent.empty() || FindMessageLocked(*me, f, false, &probe); });
    if (r == QueueWaitResult::Stuck) {
      SetLastError(ERROR_TIMEOUT);
      return -1;
    }
  }
}

BOOL WaitMessage() {
  // Like the object wait, it returns for a pending send and leaves it to be served.
  auto me = CurrentQueue();
  auto lock = Lock();
  const QueueWaitResult r =
      WaitOnQueue(lock, std::nullopt, [&] { return !me->sent.empty() || NewBitsLocked(*me) != 0; });
  return r == QueueWaitResult::Stuck ? FALSE : TRUE;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL, DWORD milliseconds, DWORD wakeMask) {
  if (count >= MAXIMUM_WAIT_OBJECTS || (count != 0 && !handles)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  // Shared references: another thread may close a handle while this waits. Held in
  // place: the system's wait never fails for memory.
  std::array<std::shared_ptr<Object>, MAXIMUM_WAIT_OBJECTS> objects;
  for (DWORD i = 0; i < count; ++i) {
    const uintptr_t value = FromHandle(handles[i]);
    std::shared_ptr<Object> object = Handles().Find(value, HandleKind::Thread);
    if (!object) object = Handles().Find(value, HandleKind::Event);
    if (!object) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    objects[i] = std::move(object);
  }
  // The first signalled object, as the system answers: lowest index first.
  const auto signalled = [&]() -> std::optional<DWORD> {
    for (DWORD i = 0; i < count; ++i)
      if (static_cast<Waitable&>(*objects[i]).WaitSignal().TryTake()) return WAIT_OBJECT_0 + i;
    return std::nullopt;
  };
  // The wait serves nothing: a message sent to this thread wakes it (with QS_SENDMESSAGE,
  // again at every wait while it is pending) and waits for a PeekMessage or GetMessage,
  // which serve it, as the system's wait does.
  auto me = CurrentQueue();
  const auto woken = [&] {
    return ((wakeMask & QS_SENDMESSAGE) != 0 && !me->sent.empty()) || (NewBitsLocked(*me) & wakeMask) != 0;
  };
  if (count != 0) {
    // A wait on kernel objects takes real time whatever the clock mode, as
    // WaitForSingleObject does: the objects are other threads' work, which virtual time
    // does not measure. Looked at in short real steps.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
      if (auto hit = signalled()) return *hit;
      {
        auto lock = Lock();
        if (woken()) return WAIT_OBJECT_0 + count;
      }
      if (milliseconds != INFINITE && std::chrono::steady_clock::now() >= until) return WAIT_TIMEOUT;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  std::optional<uint64_t> deadline;
  if (milliseconds != INFINITE) deadline = UserNowMs() + milliseconds;
  auto lock = Lock();
  switch (WaitOnQueue(lock, deadline, woken)) {
    case QueueWaitResult::Ready: return WAIT_OBJECT_0 + count;
    case QueueWaitResult::Timeout: return WAIT_TIMEOUT;
    case QueueWaitResult::Stuck: break;
  }
  return WAIT_FAILED;
}

DWORD GetQueueStatus(UINT flags) {
  auto me = CurrentQueue();
  auto lock = Lock();
  DWORD now = 0;
  for (const MSG& m : me->posted) now |= InputWakeBit(m.message);
  if (!me->sent.empty()) now |= QS_SENDMESSAGE;
  DWORD changed = NewBitsLocked(*me);
  me->changed = 0;
  return MAKELONG(static_cast<WORD>(changed & flags), static_cast<WORD>(now & flags));
}

DWORD GetMessageTime() {
  auto me = CurrentQueue();
  auto lock = Lock();
  return me->lastTime;
}

DWORD GetMessagePos() {
  auto me = CurrentQueue();
  auto lock = Lock();
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(me->lastPos.x), static_cast<WORD>(me->lastPos.y)));
}

namespace {

// The character a key gives under the keyboard state of the message (US layout).
int CharForKey(int vk, const uint8_t* keys) {
  bool shift = keys[VK_SHIFT] & 0x80;
  bool control = keys[VK_CONTROL] & 0x80;
  bool caps = keys[VK_CAPITAL] & 1;
  if (vk >= 'A' && vk <= 'Z') {
    if (control) return vk - 'A' + 1;
    return (shift != caps) ? vk : vk - 'A' + 'a';
  }
  if (vk >= '0' && vk <= '9') {
    static const char kShifted[] = ")!@#$%^&*(";
    return shift ? kShifted[vk - '0'] : vk;
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return '0' + (vk - VK_NUMPAD0);
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_ESCAPE: return 0x1B;
    case VK_TAB: return '\t';
    default: return 0;
  }
}

}  // namespace

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  UINT m = msg->message;
  if (m == WM_KEYUP || m == WM_SYSKEYUP) return TRUE;
  if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN) return FALSE;
  auto w = Find(msg->hwnd);
  if (!w) return TRUE;
  auto lock = Lock();
  int ch = CharForKey(static_cast<int>(msg->wParam & 0xFF), State().syncKeys);
  if (!ch) return TRUE;
  if (m == WM_SYSKEYDOWN && ch >= 'A' && ch <= 'Z') ch = ch - 'A' + 'a';
  // The character is the next message retrieved, ahead of anything queued after its key.
  MSG c{msg->hwnd, m == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, static_cast<WPARAM>(ch), msg->lParam, msg->time, msg->pt};
  w->queue->posted.push_front(c);
  Wake(*w->queue, QS_KEY);
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    bool live = false;
    {
      auto lock = Lock();
      for (const Timer& t : State().timers)
        if (t.hwnd == msg->hwnd && t.id == msg->wParam && t.proc == proc) live = true;
    }
    if (live) proc(msg->hwnd, WM_TIMER, msg->wParam, UserTickMs());
    return 0;
  }
  if (!msg->hwnd) return 0;
  if (!FindOrFail(msg->hwnd)) return 0;
  return CallProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}
