// The sprite resource manager: handles by slot and type, sharing by name, reference
// counts, the slot limit, names relative to the base folder, and every bad handle.
#include "graphics/K_SpriteRscManager.h"

#include <gtest/gtest.h>

#include "graphics/K_Animation_RSC.h"
#include "graphics/K_Sprite.h"
#include "plat/sim.h"
#include "graphics/GraphicsTestKit.h"
#include "support/SpriteFileWriters.h"

namespace {

using namespace testing_support;
namespace rm = _QLSRsc_MANAGER_;

class SpriteRscManagerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(rm::InitSpriteResourceManager(512, kBase), 0);
    const Bytes sprite = SolidSpriteChunk(32, 3, 3, 0x00FF00, 1, 1);
    Write("one.qls", sprite);
    Write("one.QLS", sprite);
    Write("one.Qls", sprite);
    Write("one", sprite);
    Write("set.psp", PspFile({sprite, sprite}));
    QlaAnimation a;
    a.frames.resize(2);
    Write("anim.qla", QlaFile(a, sprite));
    GifDesc g = gfx_test::GifScreen(2, 2, {0x112233, 0x445566});
    g.frames.push_back(gfx_test::SolidFrame(0, 0, 2, 2, 1));
    Write("pic.gif", EncodeGif(g));
  }
  void TearDown() override { rm::InitSpriteResourceManager(0, nullptr); }
  void Write(const std::string& name, const Bytes& bytes) { dir.Put("image/" + name, bytes); }
  static constexpr const char* kBase = "C:\\Game\\image\\";
  gfx_test::Folder dir{"C:\\Game\\"};
};

TEST_F(SpriteRscManagerTest, EachTypeGetsItsSlotAndType) {
  const char* names[] = {"one.qls", "set.psp", "anim.qla", "pic.gif"};
  for (uint32_t i = 1; i <= 4; ++i)
    EXPECT_EQ(rm::LoadSpriteResourceByName((std::string(kBase) + names[i - 1]).c_str()), i << 16 | i);
  EXPECT_NE(rm::GetLLESprite(0x00010001), nullptr);
  EXPECT_EQ((std::vector<int>{rm::GetSpriteSet(0x00020002)->GetFrameCount(), rm::GetAnimationRsc(0x00030003)->FrameCount(),
                              rm::GetSpriteSet(0x00040004)->GetFrameCount()}),
            (std::vector<int>{2, 2, 1}));
  EXPECT_TRUE(!rm::GetLLESprite(0x00030003) && !rm::GetSpriteSet(0x00030003) && !rm::GetAnimationRsc(0x00020002));
  EXPECT_EQ(rm::GetSpriteFrame(0x00020002, 2), &K_Sprite::EmptySprite());
  EXPECT_EQ(rm::GetSpriteFrame(0x00020002, 1), rm::GetSpriteSet(0x00020002)->GetFrame(1));
  EXPECT_EQ(rm::GetSpriteFrame(0x00010001, 0), nullptr);
}

TEST_F(SpriteRscManagerTest, FiveHundredElevenFilesFitTheNextGivesZeroAndReinitialisingFreesThem) {
  const Bytes sprite = SolidSpriteChunk(16, 1, 1, 0x0000FF, 0, 0);
  for (int32_t i = 0; i < 512; ++i) Write("s" + std::to_string(i) + ".qls", sprite);
  for (int32_t i = 0; i < 511; ++i)
    ASSERT_EQ(rm::LoadSpriteResourceByName(("C:\\Game\\image\\s" + std::to_string(i) + ".qls").c_str()),
              uint32_t(i + 1) << 16 | 1u);
  EXPECT_EQ(rm::LoadSpriteResourceByName("C:\\Game\\image\\s511.qls"), 0u);
  EXPECT_EQ(rm::Manager().HighestSlot(), 511);
  // Reinitialising frees what is held, and a smaller table holds fewer.
  ASSERT_NE(rm::InitSpriteResourceManager(4, nullptr), 0);
  EXPECT_EQ(rm::GetLLESprite(0x00010001), nullptr);
  EXPECT_EQ(rm::LoadSpriteResourceByName("C:\\Game\\image\\anim.qla"), 0x00010003u);
  ASSERT_NE(rm::InitSpriteResourceManager(1, nullptr), 0);
  EXPECT_EQ(rm::LoadSpriteResourceByName("C:\\Game\\image\\anim.qla"), 0u);
}

TEST_F(SpriteRscManagerTest, ExtensionsAndRelativeNames) {
  EXPECT_NE(rm::LoadSpriteResourceByName("C:\\Game\\image\\one.QLS"), 0u);
  EXPECT_EQ(rm::LoadSpriteResourceByName("C:\\Game\\image\\one.Qls") | rm::LoadSpriteResourceByName("C:\\Game\\image\\one"), 0u);
  EXPECT_EQ(rm::Manager().SpriteFileTypeByExt("dir.qla\\file"), rm::kTypeNone);
  // The base-prefixed path and the bare name have the same relative form...
  const uint32_t full = rm::LoadSpriteResourceByName("C:\\Game\\image\\one.qls");
  EXPECT_EQ(rm::Manager().RelativeName("C:\\Game\\image\\one.qls"), "one.qls");
  EXPECT_EQ(rm::Manager().FindByName("one.qls"), full);
  EXPECT_EQ(rm::LoadSpriteResourceByName("one.qls"), full);  // found by name, not read
  // ...but a differently spelt prefix is a different name (and a different slot).
  const uint32_t other = rm::LoadSpriteResourceByName("c:\\game\\image\\one.qls");
  EXPECT_NE(other, 0u);
  EXPECT_NE(other, full);
}

TEST_F(SpriteRscManagerTest, BadHandlesGiveNullAndDoNothing) {
  const uint32_t h = rm::LoadSpriteResourceByName("C:\\Game\\image\\set.psp");
  for (uint32_t bad : {0u, 0xFFFFFFFFu, h + 1, h | 0x100u, h + 0x10000, 0x7FFF0002u, 0x00000002u}) {
    EXPECT_TRUE(!rm::GetSpriteSet(bad) && !rm::GetSpriteFrame(bad, 0) && !rm::GetLLESprite(bad) && !rm::GetAnimationRsc(bad))
        << std::hex << bad;
    rm::ReleaseSpriteResource(bad);
  }
  EXPECT_NE(rm::GetSpriteSet(h), nullptr);
}

TEST_F(SpriteRscManagerTest, AStaleHandleFindsTheSlotsNewObjectOfItsTypeOnly) {
  const uint32_t h = rm::LoadSpriteResourceByName("C:\\Game\\image\\one.qls");
  rm::ReleaseSpriteResource(h);
  EXPECT_EQ(rm::LoadSpriteResourceByName("C:\\Game\\image\\one.QLS"), h);
  EXPECT_NE(rm::GetLLESprite(h), nullptr);
  rm::ReleaseSpriteResource(h);
  EXPECT_EQ(rm::LoadSpriteResourceByName("C:\\Game\\image\\set.psp"), 0x00010002u);
  EXPECT_EQ(rm::GetLLESprite(h), nullptr);
}

}  // namespace
