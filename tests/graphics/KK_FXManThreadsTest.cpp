// The effect managers as several games' threads use them at once: a format's manager is
// made once whichever threads ask for it together, a manager a draw holds stays when
// another format becomes current, and sprite draws of different effects on several
// threads each draw what they draw alone.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "graphics/KK_FXMan.h"
#include "graphics/KK_LLESprite.h"
#include "graphics/K_Dib.h"

namespace kk_fxman_threads_test {

class FXManThreadsTest : public testing::Test {
 protected:
  void TearDown() override { DestroyFXManager(); }
};

// Runs work(0) .. work(n - 1) on n threads released together.
template <class F>
void Together(int n, F work) {
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < n; ++t) {
    threads.emplace_back([&, t] {
      ++ready;
      while (ready < n) std::this_thread::yield();
      work(t);
    });
  }
  for (std::thread& t : threads) t.join();
}

TEST_F(FXManThreadsTest, ThreadsAskingForOneFormatAtOnceAllGetTheOneManagerMade) {
  constexpr int kThreads = 3;
  for (int round = 0; round < 4; ++round) {
    DestroyFXManager();
    const KK_FXMan* seen[kThreads] = {};
    int32_t made[kThreads] = {};
    Together(kThreads, [&](int t) {
      made[t] = CreateFXManager(32);
      seen[t] = GetFXManager();
    });
    for (int t = 0; t < kThreads; ++t) {
      EXPECT_EQ(made[t], 1);
      EXPECT_EQ(seen[t], GetFXManager()) << "round " << round << ": thread " << t << " was handed a manager of its own";
    }
  }
}

// A draw of a game still running with the 32-bit manager when a 16-bit screen makes
// its manager current: the one it holds still draws, and comes back current.
TEST_F(FXManThreadsTest, AManagerADrawHoldsStaysWhenAnotherFormatBecomesCurrent) {
  ASSERT_EQ(CreateFXManager(32), 1);
  const KK_FXMan* held = GetFXManager();
  const auto blend = [held] {
    KK_FXParams params = held->DrawParams();
    uint32_t dst = 0x00102030, src = 0x00F0E0D0;
    held->SetFXMode(params, 1, 16, 0)(&dst, &src, 1, params);
    return dst;
  };
  const uint32_t before = blend();
  ASSERT_EQ(CreateFXManager(16), 1);
  EXPECT_EQ(GetPixelFormatCode(), 16);
  EXPECT_EQ(blend(), before);
  ASSERT_EQ(CreateFXManager(32), 1);
  EXPECT_EQ(GetFXManager(), held) << "the format's manager was made again";
}

// A sprite of distinct pixels, drawn over and over with one effect at stepped places
// onto a canvas of its own: each thread's effect, level and colour differ, so a draw
// that took another thread's would leave other pixels.
struct EffectDraw {
  uint32_t mode;
  int32_t level;
  uint32_t colour;
};

std::vector<uint32_t> DrawMany(const KK_LLESprite& sprite, const EffectDraw& effect) {
  constexpr int32_t kWidth = 96, kHeight = 40;
  std::vector<uint32_t> pixels(size_t(kWidth) * kHeight, 0x00406080);
  K_Dib canvas;
  canvas.Attach(reinterpret_cast<uint8_t*>(pixels.data()), kWidth * 4, 4, kWidth, kHeight);
  for (int32_t i = 0; i < 3000; ++i)
    canvas.DrawSprite(i % 37, i % 23, sprite, effect.mode | (i % 2 ? K_Dib::kMirrorX : 0u), effect.level,
                      effect.colour);
  return pixels;
}

TEST_F(FXManThreadsTest, SpriteDrawsOfDifferentEffectsOnThreeThreadsAtOnceEachDrawWhatTheyDrawAlone) {
  ASSERT_EQ(CreateFXManager(32), 1);
  constexpr int32_t kW = 48, kH = 12;
  std::vector<uint32_t> px(size_t(kW) * kH);
  for (size_t i = 0; i < px.size(); ++i) px[i] = uint32_t(i * 0x010305 + 0x204060) & 0x00FFFFFF;
  KK_LLESprite sprite;
  ASSERT_EQ(sprite.EncodeLLESprite(32, kW, -kH, kW * 4, reinterpret_cast<uint8_t*>(px.data()), 0xFF00FF), 1);
  const EffectDraw effects[] = {{1, 9, 0}, {151, 20, 0x336699}, {200, 6, 0xC01020}};
  constexpr int kThreads = 3;
  std::vector<uint32_t> alone[kThreads], together[kThreads];
  for (int t = 0; t < kThreads; ++t) alone[t] = DrawMany(sprite, effects[t]);
  ASSERT_NE(alone[0], alone[1]);
  ASSERT_NE(alone[1], alone[2]);
  for (int round = 0; round < 3; ++round) {
    Together(kThreads, [&](int t) { together[t] = DrawMany(sprite, effects[t]); });
    for (int t = 0; t < kThreads; ++t)
      ASSERT_TRUE(together[t] == alone[t]) << "round " << round << ": the draws of effect " << effects[t].mode
                                           << " differ from those drawn alone";
  }
}

}  // namespace kk_fxman_threads_test
