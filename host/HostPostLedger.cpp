// The record of the games' posts to host windows and the take-back that reads it.
#include "host/HostPostLedger.h"

#include <algorithm>
#include <vector>

#include "base/ModuleGlobal.h"
#include "host/XBufLock.h"
#include "plat/threads.h"
#include "plat/user.h"

namespace host_posts {
namespace {

struct Entry {
  uint32_t game;
  HWND wnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

struct Ledger {
  // Held across a post, never across anything that can call back into the module.
  XBufLock lock;
  std::vector<Entry> entries;
};

ModuleGlobal<Ledger> g_ledger;
Ledger& TheLedger() { return g_ledger.Get(); }

bool SameNumber(const Entry& e, HWND wnd, UINT message) { return e.wnd == wnd && e.message == message; }

bool SamePost(const Entry& e, const MSG& m) {
  return e.wnd == m.hwnd && e.message == m.message && e.wParam == m.wParam && e.lParam == m.lParam;
}

// Keeps the record bounded: the oldest post of the number goes once it has too many.
void ForgetOldest(Ledger& l, HWND wnd, UINT message) {
  const auto count = std::count_if(l.entries.begin(), l.entries.end(),
                                   [&](const Entry& e) { return SameNumber(e, wnd, message); });
  if (count < static_cast<std::ptrdiff_t>(kKeptPerNumber)) return;
  l.entries.erase(std::find_if(l.entries.begin(), l.entries.end(),
                               [&](const Entry& e) { return SameNumber(e, wnd, message); }));
}

}  // namespace

BOOL Post(uint32_t game, HWND hostWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Ledger& l = TheLedger();
  XBufLockGuard guard(l.lock);
  if (!PostMessageA(hostWnd, message, wParam, lParam)) return FALSE;
  try {
    ForgetOldest(l, hostWnd, message);
    l.entries.push_back(Entry{game, hostWnd, message, wParam, lParam});
  } catch (...) {
    // Unrecorded, the post is taken for the host's own: it stays at the game's end.
  }
  return TRUE;
}

namespace {

// The number's first queued message is taken to be the oldest record like it: records of
// the number older than that one the host has read. Takes it when it is `game`'s; false
// when the number's queue has nothing of `game` first.
bool TakeFirstOfNumber(Ledger& l, uint32_t game, HWND hostWnd, UINT message) {
  constexpr UINT kPosted = PM_NOYIELD | PM_QS_POSTMESSAGE;
  const auto ofNumber = [&](const Entry& e) { return SameNumber(e, hostWnd, message); };
  MSG first{};
  if (!PeekMessageA(&first, hostWnd, message, message, PM_NOREMOVE | kPosted)) {
    // Nothing of the number is queued: the host has read every post of it.
    std::erase_if(l.entries, ofNumber);
    return false;
  }
  const auto record = std::find_if(l.entries.begin(), l.entries.end(),
                                   [&](const Entry& e) { return SamePost(e, first); });
  // Not the module's: the host's own or a child window's.
  if (record == l.entries.end()) return false;
  const bool ours = record->game == game;
  // Only this thread reads its queue, so the first message is still the one looked at.
  if (ours) PeekMessageA(&first, hostWnd, message, message, PM_REMOVE | kPosted);
  const auto read = std::remove_if(l.entries.begin(), record, ofNumber);
  l.entries.erase(read, ours ? record + 1 : record);
  return ours;
}

}  // namespace

void TakeBack(uint32_t game, HWND hostWnd, std::span<const UINT> messages) {
  Ledger& l = TheLedger();
  XBufLockGuard guard(l.lock);
  // The ledger's lock keeps the module's posts out meanwhile; the host's threads may post,
  // behind everything looked at here.
  if (GetWindowThreadProcessId(hostWnd, nullptr) == GetCurrentThreadId()) {
    for (const UINT message : messages)
      while (TakeFirstOfNumber(l, game, hostWnd, message)) {
      }
  }
  std::erase_if(l.entries, [&](const Entry& e) { return e.game == game || !IsWindow(e.wnd); });
}

uint32_t Recorded() {
  Ledger& l = TheLedger();
  XBufLockGuard guard(l.lock);
  return static_cast<uint32_t>(l.entries.size());
}

void MakeGlobals() { TheLedger(); }

}  // namespace host_posts
