// The layer's calls with each allocation they make failed in turn: as the system's, they
// answer with a failure and never throw, and a paint that failed comes again.
#include <gtest/gtest.h>

#include <string>

#include "DirectDrawTestSupport.h"
#include "module/FailingAllocation.h"
#include "plat/ddraw.h"
#include "plat/user.h"

namespace {

using namespace ddraw_test;

class AllocationFailure : public DirectDrawTest {
 protected:
  void TearDown() override {
    testing_support::FailAllocationAfter(-1);
    DirectDrawTest::TearDown();
  }
};

TEST_F(AllocationFailure, BeginPaintAnswersNullAndThePaintComesAgain) {
  HWND w = MakeTop(0, 0, 64, 48);
  int32_t failed = 0;
  for (int32_t n = 0;; ++n) {
    const std::string trial = "allocation " + std::to_string(n) + " failed";
    InvalidateRect(w, nullptr, TRUE);
    PAINTSTRUCT ps{};
    testing_support::FailAllocationAfter(n);
    HDC dc = nullptr;
    EXPECT_NO_THROW(dc = BeginPaint(w, &ps)) << trial;
    const bool reached = !testing_support::AllocationFailurePending();
    testing_support::FailAllocationAfter(-1);
    if (!dc) {
      RECT again{};
      EXPECT_TRUE(GetUpdateRect(w, &again, FALSE)) << trial << ": the failed paint's area was validated";
      ASSERT_NE(dc = BeginPaint(w, &ps), nullptr) << trial;
    }
    EndPaint(w, &ps);
    if (!reached || HasFailure()) break;
    ++failed;
  }
  EXPECT_GT(failed, 0) << "BeginPaint allocated nothing";
}

TEST_F(AllocationFailure, ABlitAnswersOutOfMemory) {
  ComPtr<IDirectDraw4> dd = MakeDirectDraw();
  ASSERT_TRUE(dd);
  ComPtr<IDirectDrawSurface4> from, to;
  ASSERT_EQ(MakeOffscreen(dd.Get(), 8, 8, &from), DD_OK);
  ASSERT_EQ(MakeOffscreen(dd.Get(), 8, 8, &to), DD_OK);
  int32_t failed = 0;
  for (int32_t n = 0;; ++n) {
    const std::string trial = "allocation " + std::to_string(n) + " failed";
    testing_support::FailAllocationAfter(n);
    HRESULT fast = E_FAIL, plain = E_FAIL;
    EXPECT_NO_THROW(fast = to->BltFast(0, 0, from.Get(), nullptr, DDBLTFAST_WAIT)) << trial;
    EXPECT_NO_THROW(plain = to->Blt(nullptr, from.Get(), nullptr, DDBLT_WAIT, nullptr)) << trial;
    const bool reached = !testing_support::AllocationFailurePending();
    testing_support::FailAllocationAfter(-1);
    EXPECT_TRUE(fast == DD_OK || fast == DDERR_OUTOFMEMORY) << trial << ": " << fast;
    EXPECT_TRUE(plain == DD_OK || plain == DDERR_OUTOFMEMORY) << trial << ": " << plain;
    if (!reached || HasFailure()) break;
    ++failed;
  }
  EXPECT_GT(failed, 0) << "the blits allocated nothing";
}

}  // namespace
