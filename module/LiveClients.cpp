// The live game windows: a short list under its own lock, since a host may end a game
// from the loader's thread while its window thread looks another one up.
#include "module/LiveClients.h"

#include <algorithm>
#include <vector>

#include "base/ModuleGlobal.h"
#include "host/XBufLock.h"
#include "module/CDorvik2Wnd.h"

namespace live_clients {
namespace {

struct Registry {
  XBufLock lock;
  std::vector<CDorvik2Wnd*> live;
};
ModuleGlobal<Registry> g_registry;

// The object's address is its interface pointer (IClientInterface is its first base),
// so a pointer is compared before anything is read through it.
IClientInterface* AsClient(CDorvik2Wnd* wnd) { return wnd; }

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
  const auto it = std::find_if(r.live.begin(), r.live.end(), [&](CDorvik2Wnd* w) { return AsClient(w) == client; });
  return it == r.live.end() ? nullptr : *it;
}

CDorvik2Wnd* Claim(IClientInterface* client) {
  if (!client) return nullptr;
  Registry& r = g_registry.Get();
  XBufLockGuard hold(r.lock);
  const auto it = std::find_if(r.live.begin(), r.live.end(), [&](CDorvik2Wnd* w) { return AsClient(w) == client; });
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

}  // namespace live_clients
