// The live game windows: a short list under its own lock, since a host may end a game
// from the loader's thread while its window thread looks another one up.
#include "module/LiveClients.h"

#include <algorithm>
#include <vector>

#include "base/ModuleGlobal.h"
#include "host/XBufLock.h"
#include "module/CDorvik2Wnd.h"
#include "module/GameFrame.h"

namespace live_clients {
namespace {

struct Entry {
  CDorvik2Wnd* wnd;
  // Set once the end is claimed: the object may be deleted from then on, and only the
  // signal, while anyone still holds it, is read.
  bool claimed = false;
  std::weak_ptr<GameGone> gone;
};

struct Registry {
  XBufLock lock;
  std::vector<Entry> games;
  // The frames of the module's games on every thread, the latest first.
  ThreadMark* marks = nullptr;
};
ModuleGlobal<Registry> g_registry;

// The object's address is its interface pointer (IClientInterface is its first base),
// so a pointer is compared before anything is read through it.
IClientInterface* AsClient(CDorvik2Wnd* wnd) { return wnd; }

// The entry of `client` the host may still use, under the list's lock.
std::vector<Entry>::iterator FindLive(Registry& r, IClientInterface* client) {
  return std::find_if(r.games.begin(), r.games.end(),
                      [&](const Entry& e) { return !e.claimed && AsClient(e.wnd) == client; });
}

}  // namespace

void MakeGlobals() { g_registry.Get(); }

void Add(CDorvik2Wnd* wnd) {
  Registry& r = g_registry.Get();
  XBufLockGuard hold(r.lock);
  // Claims whose signal nobody holds any more are of games long gone.
  std::erase_if(r.games, [](const Entry& e) { return e.claimed && e.gone.expired(); });
  r.games.push_back(Entry{wnd, false, {}});
}

CDorvik2Wnd* Enter(IClientInterface* client, std::optional<GameFrame>& frame) {
  if (!client) return nullptr;
  Registry& r = g_registry.Get();
  XBufLockGuard hold(r.lock);
  const auto it = FindLive(r, client);
  if (it == r.games.end()) return nullptr;
  frame.emplace(*it->wnd);
  return it->wnd;
}

CDorvik2Wnd* Claim(IClientInterface* client, std::shared_ptr<GameGone>& ending) {
  ending.reset();
  if (!client) return nullptr;
  Registry& r = g_registry.Get();
  XBufLockGuard hold(r.lock);
  if (const auto it = FindLive(r, client); it != r.games.end()) {
    // Marked before the lock goes: whoever comes next finds the claim.
    it->claimed = true;
    it->gone = it->wnd->GoneSignal();
    return it->wnd;
  }
  for (const Entry& e : r.games) {
    if (!e.claimed || AsClient(e.wnd) != client) continue;
    if ((ending = e.gone.lock())) break;
  }
  return nullptr;
}

void ThreadEntered(ThreadMark& mark) noexcept {
  Registry& r = g_registry.Get();
  mark.thread = GetCurrentThreadId();
  XBufLockGuard hold(r.lock);
  mark.next = r.marks;
  r.marks = &mark;
}

void ThreadLeft(ThreadMark& mark) noexcept {
  Registry& r = g_registry.Get();
  XBufLockGuard hold(r.lock);
  for (ThreadMark** at = &r.marks; *at; at = &(*at)->next) {
    if (*at != &mark) continue;
    *at = mark.next;
    return;
  }
}

bool ThreadInside() noexcept {
  Registry& r = g_registry.Get();
  const DWORD me = GetCurrentThreadId();
  XBufLockGuard hold(r.lock);
  for (const ThreadMark* m = r.marks; m; m = m->next)
    if (m->thread == me) return true;
  return false;
}

}  // namespace live_clients
