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
  if (messages.empty()) return;
  const auto [low, high] = std::minmax_element(messages.begin(), messages.end());
  Ledger& l = TheLedger();
  XBufLockGuard guard(l.lock);
  // One pass over the numbers' whole range, so that what stays goes back in the order
  // the host would have read it, whatever its number. Posted messages only: a message
  // sent to this thread meanwhile is served by the host's own loop, not in the middle
  // of a game's stop.
  std::vector<MSG> queued;
  std::vector<bool> ours, read;
  MSG m{};
  bool held = false;
  try {
    // Room for a queue as long as the record keeps, before anything is taken out: a
    // failure there leaves the queue as it was.
    queued.reserve(kKeptPerNumber);
    ours.reserve(kKeptPerNumber);
    read.assign(l.entries.size(), false);
    while (PeekMessageA(&m, hostWnd, *low, *high, PM_REMOVE | PM_NOYIELD | PM_QS_POSTMESSAGE)) {
      held = true;
      queued.push_back(m);
      held = false;
    }
    ours.assign(queued.size(), false);
  } catch (...) {
    // Nothing of the host's is lost for want of memory: what was taken goes back, the
    // game's posts with it (behind the rest when a long queue ran out of room).
    for (const MSG& q : queued) PostMessageA(q.hwnd, q.message, q.wParam, q.lParam);
    if (held) PostMessageA(m.hwnd, m.message, m.wParam, m.lParam);
    std::erase_if(l.entries, [&](const Entry& e) { return e.game == game; });
    return;
  }
  for (const UINT message : messages) {
    // From the newest: a queued post that matches the newest unpaired record is that
    // record's; one that does not is someone else's.
    size_t unpaired = l.entries.size();
    const auto previousRecord = [&] {
      while (unpaired > 0 && !SameNumber(l.entries[unpaired - 1], hostWnd, message)) --unpaired;
    };
    previousRecord();
    for (size_t q = queued.size(); q-- > 0 && unpaired > 0;) {
      if (queued[q].message != message || !SamePost(l.entries[unpaired - 1], queued[q])) continue;
      ours[q] = l.entries[unpaired - 1].game == game;
      --unpaired;
      previousRecord();
    }
    // Records older than every paired one were read by the host already: kept, they
    // would pair with a later post of the host's own that looks the same.
    for (size_t r = 0; r < unpaired; ++r)
      if (SameNumber(l.entries[r], hostWnd, message)) read[r] = true;
  }
  for (size_t q = 0; q < queued.size(); ++q)
    if (!ours[q]) PostMessageA(queued[q].hwnd, queued[q].message, queued[q].wParam, queued[q].lParam);
  size_t kept = 0;
  for (size_t i = 0; i < l.entries.size(); ++i) {
    const Entry& e = l.entries[i];
    if (!read[i] && e.game != game && IsWindow(e.wnd)) l.entries[kept++] = e;
  }
  l.entries.resize(kept);
}

uint32_t Recorded() {
  Ledger& l = TheLedger();
  XBufLockGuard guard(l.lock);
  return static_cast<uint32_t>(l.entries.size());
}

void MakeGlobals() { TheLedger(); }

}  // namespace host_posts
