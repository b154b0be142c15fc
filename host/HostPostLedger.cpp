// The record of the games' posts to host windows and the take-back that reads it.
#include "host/HostPostLedger.h"

#include <algorithm>
#include <vector>

#include "base/ModuleGlobal.h"
#include "host/XBufLock.h"
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

void TakeBack(uint32_t game, HWND hostWnd, std::span<const UINT> messages) {
  Ledger& l = TheLedger();
  XBufLockGuard guard(l.lock);
  std::vector<bool> read(l.entries.size(), false);
  for (const UINT message : messages) {
    std::vector<MSG> queued;
    MSG m;
    while (PeekMessageA(&m, hostWnd, message, message, PM_REMOVE | PM_NOYIELD | PM_QS_POSTMESSAGE))
      queued.push_back(m);
    std::vector<size_t> recorded;
    for (size_t i = 0; i < l.entries.size(); ++i)
      if (SameNumber(l.entries[i], hostWnd, message)) recorded.push_back(i);
    // From the newest: a queued post that matches the newest unpaired record is that
    // record's; one that does not is someone else's.
    size_t unpaired = recorded.size();
    std::vector<bool> ours(queued.size(), false);
    for (size_t q = queued.size(); q-- > 0;) {
      if (unpaired == 0 || !SamePost(l.entries[recorded[unpaired - 1]], queued[q])) continue;
      ours[q] = l.entries[recorded[unpaired - 1]].game == game;
      --unpaired;
    }
    // Records older than every paired one were read by the host already.
    for (size_t r = 0; r < unpaired; ++r) read[recorded[r]] = true;
    for (size_t q = 0; q < queued.size(); ++q)
      if (!ours[q]) PostMessageA(queued[q].hwnd, queued[q].message, queued[q].wParam, queued[q].lParam);
  }
  std::vector<Entry> kept;
  for (size_t i = 0; i < l.entries.size(); ++i) {
    const Entry& e = l.entries[i];
    if (!read[i] && e.game != game && IsWindow(e.wnd)) kept.push_back(e);
  }
  l.entries.swap(kept);
}

uint32_t Recorded() {
  Ledger& l = TheLedger();
  XBufLockGuard guard(l.lock);
  return static_cast<uint32_t>(l.entries.size());
}

void MakeGlobals() { TheLedger(); }

}  // namespace host_posts
