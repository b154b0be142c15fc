// The live game windows: a short list under its own lock, since a host may end a game
// from the loader's thread while its window thread looks another one up.
#include "module/LiveClients.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/ModuleGlobal.h"
#include "host/XBufLock.h"
#include "module/CDorvik2Wnd.h"

namespace live_clients {
namespace {

struct Registry {
  XBufLock lock;
  std::vector<CDorvik2Wnd*> live;
  // Threads with frames of the module's games, and how many each has.
  std::vector<std::pair<DWORD, int32_t>> inside;
};
ModuleGlobal<Registry> g_registry;

// The object's address is its interface pointer (IClientInterface is its first base),
// so a pointer is compared before anything is read through it.
IClientInterface* AsClient(CDorvik2Wnd* wnd) { return wnd; }

// The list's entry of `client`, under the list's lock.
std::vector<CDorvik2Wnd*>::iterator FindLocked(Registry& r, IClientInterface* client) {
  return std::find_if(r.live.begin(), r.live.end(), [&](CDorvik2Wnd* w) { return AsClient(w) == client; });
}

}  // namespace

void MakeGlobals() { g_registry.Get(); }

void Add(CDorvik2Wnd* wnd) {
  Registry& r = g_registry.Get();
  XBufLockGuard hold(r.lock);
  r.live.push_back(wnd);
}

CDorvik2Wnd* Find(IClientInterface* client) {
  if (!client) return nullptr;
  Registry& r = g_registry.Get();
  XBufLockGuard hold(r.lock);
  const auto it = FindLocked(r, client);
  return it == r.live.end() ? nullptr : *it;
}

CDorvik2Wnd* Enter(IClientInterface* client) {
  if (!client) return nullptr;
  Registry& r = g_registry.Get();
  XBufLockGuard hold(r.lock);
  const auto it = FindLocked(r, client);
  if (it == r.live.end()) return nullptr;
  (*it)->EnterFrame();
  return *it;
}

CDorvik2Wnd* Claim(IClientInterface* client) {
  if (!client) return nullptr;
  Registry& r = g_registry.Get();
  XBufLockGuard hold(r.lock);
  const auto it = FindLocked(r, client);
  if (it == r.live.end()) return nullptr;
  CDorvik2Wnd* const wnd = *it;
  r.live.erase(it);
  return wnd;
}

void Forget(CDorvik2Wnd* wnd) {
  Registry& r = g_registry.Get();
  XBufLockGuard hold(r.lock);
  std::erase(r.live, wnd);
}

void ThreadEntered() {
  Registry& r = g_registry.Get();
  const DWORD me = GetCurrentThreadId();
  XBufLockGuard hold(r.lock);
  for (auto& [thread, frames] : r.inside) {
    if (thread == me) {
      ++frames;
      return;
    }
  }
  r.inside.emplace_back(me, 1);
}

void ThreadLeft() {
  Registry& r = g_registry.Get();
  const DWORD me = GetCurrentThreadId();
  XBufLockGuard hold(r.lock);
  const auto it = std::find_if(r.inside.begin(), r.inside.end(), [&](const auto& t) { return t.first == me; });
  if (it != r.inside.end() && --it->second == 0) r.inside.erase(it);
}

bool ThreadInside() {
  Registry& r = g_registry.Get();
  const DWORD me = GetCurrentThreadId();
  XBufLockGuard hold(r.lock);
  return std::any_of(r.inside.begin(), r.inside.end(), [&](const auto& t) { return t.first == me; });
}

}  // namespace live_clients
