// The resource manager against a second thread, replayed on one thread: a manager
// that runs the other thread's step at a chosen moment when the lock is free, so
// every interleaving of the step with a load is reached deterministically.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "graphics/XBaseEntry.h"
#include "graphics/XResEntryMgr.h"
#include "plat/sim_display.h"
#include "widgets/WidgetTestSupport.h"

namespace xres_entry_mgr_interleave_test {

constexpr COLORREF kNoKey = 0xFFFFFFFFu;

// Counts the moments the lock is free (just before an outermost acquisition, just
// after an outermost release) and runs the step at the chosen one, as another thread
// taking the lock there would.
class InterleavedMgr : public XResEntryMgr {
 public:
  void Lock() override {
    if (depth_ == 0) AtFreeMoment();
    XResEntryMgr::Lock();
    ++depth_;
  }
  void Unlock() override {
    --depth_;
    XResEntryMgr::Unlock();
    if (depth_ == 0) AtFreeMoment();
  }
  void RunAt(int moment, std::function<void()> step) {
    at_ = moment;
    seen_ = 0;
    ran_ = false;
    step_ = std::move(step);
  }
  bool Ran() const { return ran_; }

 private:
  void AtFreeMoment() {
    if (!step_ || ++seen_ != at_) return;
    // The step's own lock use is the other thread's, not a moment of this one.
    auto step = std::move(step_);
    step_ = nullptr;
    ran_ = true;
    step();
  }

  int depth_ = 0;
  int at_ = 0;
  int seen_ = 0;
  bool ran_ = false;
  std::function<void()> step_;
};

class XResEntryMgrInterleaveTest : public widget_test::DisplayTest {};

TEST_F(XResEntryMgrInterleaveTest, AHandOverAtAnyMomentOfALoadLeavesTheEntryOnALiveDirectDrawObject) {
  for (int32_t selector : {0, 1}) {
    for (int moment = 1; moment <= 6; ++moment) {
      SCOPED_TRACE(testing::Message() << "selector " << selector << " moment " << moment);
      InterleavedMgr m;
      DDObject old = widget_test::MakeDirectDraw();
      DDObject fresh = widget_test::MakeDirectDraw();
      ASSERT_TRUE(old && fresh);
      IDirectDraw4* const oldRaw = old.Get();
      m.SetDirectDraw(oldRaw);
      const uint32_t live = plat::sim::LiveDirectDrawObjects();
      // The window thread's rebuild: the new object handed over, the old screen gone,
      // so the manager held the old object's last reference.
      m.RunAt(moment, [&] {
        m.SetDirectDraw(fresh.Get());
        old = nullptr;
      });
      const int32_t h = m.LoadEntry(selector, "", GSize(4, 4), kNoKey);
      ASSERT_NE(h, -1);
      const XBaseEntry* e = m.EntryAt(h);
      ASSERT_NE(e, nullptr);
      if (e->dd.Get() == oldRaw) {
        EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), live) << "the entry holds a freed object";
      } else {
        EXPECT_EQ(e->dd.Get(), fresh.Get());
      }
      EXPECT_TRUE(e->surface);
    }
  }
}

TEST_F(XResEntryMgrInterleaveTest, EntryAtReadsTheTableAsTheLastHolderOfTheLockLeftIt) {
  InterleavedMgr m;
  m.SetDirectDraw(dd_.Get());
  const int32_t gone = m.LoadEntry(0, "", GSize(1, 1), kNoKey);
  ASSERT_NE(gone, -1);
  // Released, and the table grown past its capacity, by a thread that held the lock
  // while EntryAt waited for it.
  m.RunAt(1, [&] {
    m.ReleaseEntry(gone);
    for (int i = 0; i < 40; ++i) ASSERT_NE(m.LoadEntry(0, "", GSize(1, 1), kNoKey), -1);
  });
  const XBaseEntry* e = m.EntryAt(gone);
  EXPECT_TRUE(m.Ran());
  ASSERT_NE(e, nullptr);  // the slot's new entry
  EXPECT_NE(e->serial, static_cast<uint16_t>(static_cast<uint32_t>(gone) >> 16));
}

}  // namespace xres_entry_mgr_interleave_test
