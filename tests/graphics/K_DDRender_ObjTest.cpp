// Surface loans: one lock per loan, the surface's own pitch, retries while the surface
// is busy, and unlocking on every way out.
#include "graphics/K_DDRender_Obj.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class FakeSurface : public K_RenderSurface {
 public:
  int32_t locks = 0, unlocks = 0, busyAnswers = 0, bitCount = 16;
  bool fail = false, givePitch = true;
  std::vector<uint8_t> memory = std::vector<uint8_t>(40 * 3);  // pitch 40 for 10 pixels
  LockResult Lock(K_SurfaceLock& out) override {
    if (fail) return LockResult::kFailed;
    if (busyAnswers > 0) {
      --busyAnswers;
      return LockResult::kStillDrawing;
    }
    ++locks;
    out = {memory.data(), 40, givePitch, bitCount, 10, 3};
    return LockResult::kLocked;
  }
  void Unlock() override { ++unlocks; }
  HDC GetDC() override { return reinterpret_cast<HDC>(this); }
  void ReleaseDC(HDC) override { ++dcReleases; }
  int32_t dcReleases = 0;
};

TEST(K_DDRender_ObjTest, SecondLockReturnsTheSameImageWithoutLocking) {
  auto surface = std::make_shared<FakeSurface>();
  surface->busyAnswers = 3;
  {
    K_DDRender_Obj obj(surface);
    K_Dib_Draw* a = obj.Lock();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(obj.Lock(), a);
    EXPECT_EQ(surface->locks, 1);
    EXPECT_EQ(a->Pitch(), 40);  // the surface's padded pitch, not width x 2
    EXPECT_EQ(a->BytesPerPixel(), 2);
    EXPECT_EQ(a->Width(), 10);
    EXPECT_EQ(a->ClipRect().bottom, 3);
    *a->PixelAddress(0, 1) = 0x77;
    EXPECT_EQ(surface->memory[40], 0x77);
    obj.Unlock();
    EXPECT_EQ(a->GetBits(), nullptr);
    EXPECT_EQ(surface->unlocks, 1);
    ASSERT_NE(obj.Lock(), nullptr);
  }
  EXPECT_EQ(surface->unlocks, 2);  // the destructor unlocks a held lock
}

TEST(K_DDRender_ObjTest, FailedOrUnusableLocksGiveNoImage) {
  auto surface = std::make_shared<FakeSurface>();
  surface->fail = true;
  K_DDRender_Obj failing(surface);
  EXPECT_EQ(failing.Lock(), nullptr);
  surface->fail = false;
  surface->givePitch = false;
  K_DDRender_Obj noPitch(surface);
  EXPECT_EQ(noPitch.Lock(), nullptr);
  EXPECT_EQ(surface->unlocks, surface->locks);
  surface->givePitch = true;
  surface->busyAnswers = K_DDRender_Obj::kMaxLockTries;
  K_DDRender_Obj busy(surface);
  EXPECT_EQ(busy.Lock(), nullptr);
  surface->bitCount = 15;
  K_DDRender_Obj fifteen(surface);
  ASSERT_NE(fifteen.Lock(), nullptr);
  EXPECT_EQ(fifteen.Lock()->BytesPerPixel(), 2);
}

TEST(K_DDRender_ObjTest, DeviceContextUnlocksAndKeepsLocksOut) {
  auto surface = std::make_shared<FakeSurface>();
  K_DDRender_Obj obj(surface);
  ASSERT_NE(obj.Lock(), nullptr);
  EXPECT_NE(obj.GetDC(), nullptr);
  EXPECT_FALSE(obj.IsLocked());
  EXPECT_EQ(surface->unlocks, 1);
  // While the context is out, Lock hands back the image as it is: without pixels.
  EXPECT_EQ(obj.Lock()->GetBits(), nullptr);
  obj.ReleaseDC();
  EXPECT_EQ(surface->dcReleases, 1);
  EXPECT_NE(obj.Lock()->GetBits(), nullptr);
}

}  // namespace
