// A game's picture scope is its own thread's: two window threads, each inside a frame of
// its own game, each read their own game's screen, whichever scope opened last.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "graphics/XResEntryMgr.h"
#include "plat/ddraw.h"

namespace {

TEST(XResScreenScopeTest, EachThreadReadsItsOwnInnermostScopeWhicheverOpenedLast) {
  XResEntryMgr mgr;
  mgr.SetColorKey(0x000000u);
  XResScreen mine, other;
  mine.colorKey = 0x111111u;
  other.colorKey = 0x222222u;
  const XResScreenScope outer(mine, mgr);
  std::atomic<bool> opened{false}, done{false};
  std::atomic<uint32_t> otherRead{0};
  std::thread otherThread([&] {
    // Opened after this thread's: the latest scope of the manager.
    const XResScreenScope scope(other, mgr);
    otherRead = mgr.GetColorKey();
    opened = true;
    while (!done) std::this_thread::yield();
  });
  while (!opened) std::this_thread::yield();
  EXPECT_EQ(mgr.GetColorKey(), mine.colorKey) << "another thread's scope answered";
  {
    const XResScreenScope inner(other, mgr);
    EXPECT_EQ(mgr.GetColorKey(), other.colorKey) << "the innermost scope of this thread did not win";
  }
  EXPECT_EQ(mgr.GetColorKey(), mine.colorKey);
  done = true;
  otherThread.join();
  EXPECT_EQ(otherRead, other.colorKey);
}

}  // namespace
