// Animation files: the writer's exact bytes, loading singles and sets with every count
// checked, names and sub-animations, the shared sprite set, and the handle-bound player.
#include "graphics/K_Animation_RSC.h"

#include <gtest/gtest.h>

#include "base/ByteReader.h"
#include "graphics/KK_FXMan.h"
#include "graphics/K_Animation.h"
#include "graphics/K_Dib.h"
#include "graphics/K_Sprite.h"
#include "graphics/K_SpriteRscManager.h"
#include "plat/sim.h"
#include "graphics/GraphicsTestKit.h"
#include "support/SpriteFileWriters.h"

namespace {

using namespace testing_support;

QlaAnimation Named(const std::string& name, int32_t frames = 1, int32_t partsPerFrame = 1) {
  QlaAnimation a;
  a.name = name;
  for (int32_t i = 0; i < frames; ++i) {
    QlaFrame f;
    f.duration = 2;
    for (int32_t k = 0; k < partsPerFrame; ++k) f.parts.push_back({.sprite = uint16_t(k)});
    a.frames.push_back(f);
  }
  return a;
}

QlaDamage Damage(std::optional<uint32_t> kind, std::optional<uint32_t> setCount, size_t payloadCut = 0,
                 size_t spriteCut = 0) {
  QlaDamage d;
  d.kind = kind, d.setCount = setCount, d.payloadCut = payloadCut, d.spriteCut = spriteCut;
  return d;
}

Bytes TwoSprites() { return PspFile({SolidSpriteChunk(32, 2, 2, 0x0000FF, 0, 0), SolidSpriteChunk(32, 3, 1, 0xFF0000, 1, 0)}); }

TEST(QlaWriterTest, TinySingleMatchesTheHandDump) {
  QlaAnimation a;
  a.originX = -2, a.originY = 3;
  a.useBounds = true;
  a.left = -1, a.top = -2, a.right = 5, a.bottom = 6;
  a.name = "ab";
  QlaFrame f;
  f.duration = 0x0102;
  f.loopTarget = 0;
  f.repeat = 0x8001;
  f.parts.push_back({.sprite = 7, .x = -4, .y = 5, .flags = 0x10096, .level = 23, .r = 0x11, .g = 0x22, .b = 0x33,
                     .dx = -6, .dy = 8, .moves = true});
  a.frames.push_back(f);
  const Bytes file = QlaFile(a, {});
  Bytes expected = {0xB0, 0, 0, 0, 0, 0, 0xF9, 0x09, 0x6A, 0x09, 0x6B, 0x07};  // 96 + 44 + 36 = 176
  Bytes header(96, 0);
  const uint8_t h[] = {'k', 'a', 0, 0, 0xFE, 0xFF, 3, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,
                       0xFF, 0xFF, 0xFE, 0xFF, 5, 0, 6, 0, 'a', 'b'};
  std::copy(std::begin(h), std::end(h), header.begin());
  Bytes frame(44, 0);
  frame[2] = 0x02, frame[3] = 0x01, frame[8] = 1, frame[42] = 0x01, frame[43] = 0x80;
  Bytes part(36, 0);
  const uint8_t p[] = {0, 0, 7, 0, 0xFC, 0xFF, 5, 0, 0x96, 0, 1, 0, 23, 0x11, 0x22, 0x33, 0xFA, 0xFF, 8, 0, 1};
  std::copy(std::begin(p), std::end(p), part.begin());
  for (const Bytes* b : {&header, &frame, &part}) expected.insert(expected.end(), b->begin(), b->end());
  EXPECT_EQ(file, expected);
}

TEST(AnimationRscTest, MalformedFilesFailAndLeaveTheObjectCleared) {
  QlaAnimation badLoop = Named("x", 2);
  badLoop.frames[1].repeat = 1;
  badLoop.frames[1].loopTarget = 2;
  QlaAnimation negLoop = badLoop;
  negLoop.frames[1].loopTarget = -1;
  QlaAnimation zeroRepeatFarTarget = badLoop;
  zeroRepeatFarTarget.frames[1].repeat = 0;  // a target without a repeat is never used
  Bytes countTooBig = QlaFile(Named("y", 2, 1), {});
  countTooBig[12 + 8] = 3;  // three frames claimed, two present
  Bytes partsTooMany = QlaFile(Named("y", 1, 1), {});
  partsTooMany[12 + 96 + 8] = 2;
  Bytes sizeTooBig = QlaFile(Named("z"), {});
  sizeTooBig[0] += 1;
  // A set chunk whose first element is itself a set chunk.
  Bytes setInSet = {1, 0, 0, 0, 0, 0, 0xF7, 0x09, 0x6A, 0x09, 0x6B, 0x07};
  const Bytes inner = QlaSetFile({Named("a")}, {});
  setInSet.insert(setInSet.end(), inner.begin(), inner.end());
  struct Case {
    const char* what;
    Bytes bytes;
    int32_t result;
  } cases[] = {
      {"wrong kind", QlaFile(Named("a"), {}, Damage(0x09F80000, {})), 0},
      {"set count 0", QlaSetFile({Named("a")}, {}, Damage({}, 0)), 0},
      {"set count 1025", QlaSetFile({Named("a")}, {}, Damage({}, 1025)), 0},
      {"set count above the elements", QlaSetFile({Named("a")}, {}, Damage({}, 2)), 0},
      {"truncated payload", QlaFile(Named("a"), {}, Damage({}, {}, 1)), 0},
      {"truncated set element", QlaSetFile({Named("a"), Named("b")}, {}, Damage({}, {}, 5)), 0},
      {"loop target past the end", QlaFile(badLoop, {}), 0},
      {"negative loop target", QlaFile(negLoop, {}), 0},
      {"target without repeat", QlaFile(zeroRepeatFarTarget, {}), 1},
      {"frame count beyond the payload", countTooBig, 0},
      {"part count beyond the payload", partsTooMany, 0},
      {"chunk size beyond the file", sizeTooBig, 0},
      {"truncated sprites", QlaFile(Named("a"), TwoSprites(), Damage({}, {}, 0, 3)), 1},
      {"short header", Bytes{1, 2, 3}, 0},
      {"a set inside a set", setInSet, 0},
  };
  for (const Case& c : cases) {
    K_Animation_RSC rsc;
    EXPECT_EQ(rsc.LoadFromBytes(c.bytes), c.result) << c.what;
    if (c.result == 0) {
      EXPECT_FALSE(rsc.HasData()) << c.what;
      EXPECT_EQ(rsc.SpriteSet(), nullptr) << c.what;
    }
  }
  K_Animation_RSC truncated;
  truncated.LoadFromBytes(QlaFile(Named("a"), TwoSprites(), Damage({}, {}, 0, 3)));
  EXPECT_EQ(truncated.SpriteSet()->GetFrameCount(), 1);
}

TEST(AnimationRscTest, AttachMemoryChecksTheSignatureAndBorrowsWithoutEditing) {
  const Bytes payload = QlaPayload(Named("m", 2));
  K_Animation_RSC rsc;
  Bytes wrong = payload;
  wrong[1] = 'x';
  EXPECT_EQ(rsc.AttachMemory(wrong.data(), wrong.size()), 0);
  EXPECT_EQ(rsc.AttachMemory(payload.data(), payload.size() - 1), 0);
  ASSERT_EQ(rsc.AttachMemory(payload.data(), payload.size()), 1);
  EXPECT_EQ(rsc.FrameCount(), 2);
  EXPECT_EQ(rsc.GetDataBlock(nullptr), nullptr);  // borrowed, not owned
  EXPECT_EQ(rsc.AttachMemory(payload.data(), payload.size()), 0);
  // A borrowed block is never edited; allocating forgets it.
  EXPECT_EQ(rsc.EditDataBlock(), nullptr);
  EXPECT_EQ((std::vector<int>{rsc.SetFrameCount(1), rsc.FrameCount()}), (std::vector<int>{0, 2}));
  ASSERT_EQ(rsc.AllocateBlock(200, 1), 1);
  EXPECT_EQ((std::vector<uint32_t>{rsc.Flags(), uint32_t(rsc.FrameCount())}), (std::vector<uint32_t>{K_Animation_RSC::kOwnedBlock, 1}));
  EXPECT_EQ(Bytes(payload), QlaPayload(Named("m", 2)));
}

TEST(AnimationRscTest, ABlockBuiltInMemoryPlaysOnlyOnceItsPartsAreFixedUp) {
  // The writer's payload of three frames with 1, 0 and 2 parts, copied into a block
  // made in memory, gives back the same bytes and parts once fixed up.
  QlaAnimation a = Named("built", 3, 1);
  a.frames[1].parts.clear();
  a.frames[2].parts = {{.sprite = 4}, {.sprite = 5}};
  const Bytes payload = QlaPayload(a);
  K_Animation_RSC rsc;
  ASSERT_EQ(rsc.AllocateBlock(payload.size() + 40, 3), 1);  // room to spare
  size_t size = 0;
  ASSERT_NE(rsc.GetDataBlock(&size), nullptr);
  // Frames without parts.
  EXPECT_EQ((std::vector<size_t>{rsc.Flags(), size_t(rsc.FrameCount()), size}),
            (std::vector<size_t>{K_Animation_RSC::kOwnedBlock, 3, 96u + 3 * 44}));
  uint8_t* block = rsc.EditDataBlock();
  ASSERT_NE(block, nullptr);
  std::copy(payload.begin(), payload.end(), block);
  EXPECT_EQ(rsc.FrameCount(), 0);  // unchecked until fixed up
  ASSERT_EQ(rsc.FixUpParts(), 1);
  EXPECT_EQ((std::vector<int>{rsc.FrameCount(), rsc.GetPart(2, 1).sprite}), (std::vector<int>{3, 5}));
  const uint8_t* data = rsc.GetDataBlock(&size);
  EXPECT_EQ(Bytes(data, data + size), payload);

  // Counts written behind the check's back are not believed.
  block[96 + 8] = 0xFF;
  tagAni_Frame f;
  ASSERT_TRUE(rsc.GetFrame(0, f));
  EXPECT_EQ(f.partCount, 1u);

  // The count is checked again with the frame count; fewer frames drop their parts.
  EXPECT_EQ((std::vector<int>{rsc.SetFrameCount(1), rsc.FrameCount()}), (std::vector<int>{0, 0}));
  block[96 + 8] = 1;
  ASSERT_EQ(rsc.SetFrameCount(1), 1);
  rsc.GetDataBlock(&size);
  EXPECT_EQ(std::make_pair(size, rsc.Header().frameCount), std::make_pair(size_t(96 + 44 + 36), 1u));
}

class RscManPlayerTest : public testing::Test {
 protected:
  void SetUp() override { _QLSRsc_MANAGER_::InitSpriteResourceManager(8, "C:\\Game\\"); }
  void TearDown() override { _QLSRsc_MANAGER_::InitSpriteResourceManager(0, nullptr); }
  void Write(const std::string& name, const Bytes& bytes) { dir.Put(name, bytes); }
  gfx_test::Folder dir{"C:\\Game\\"};
};

TEST_F(RscManPlayerTest, BindsOnlyResolvingHandlesAndSelectsSubAnimations) {
  Write("set.qla", QlaSetFile({Named("a", 3), Named("b", 5)}, TwoSprites()));
  const uint32_t h = _QLSRsc_MANAGER_::LoadSpriteResourceByName("C:\\Game\\set.qla");
  ASSERT_NE(h, 0u);
  K_Animation_RscMan player;
  player.SetHandle(h + 0x10000);  // no such slot in use
  EXPECT_EQ(player.GetRsc(), nullptr);
  player.SetHandle(h);
  EXPECT_EQ(player.GetRsc(), _QLSRsc_MANAGER_::GetAnimationRsc(h));
  EXPECT_EQ((std::vector<int>{player.FrameCount(), player.SetSubAnimation(2), player.SetSubAnimation(-1)}), (std::vector<int>{3, 0, 0}));
  player.Play(1);
  // Selecting the selected one resets nothing; another stops the player.
  EXPECT_EQ((std::vector<int>{player.SetSubAnimation(0), player.IsPlaying(), player.SetSubAnimation(1), player.IsPlaying(),
                              player.FrameCount()}),
            (std::vector<int>{1, 1, 1, 0, 5}));
  EXPECT_EQ(player.GetRsc(), _QLSRsc_MANAGER_::GetAnimationRsc(h)->GetSubAnimation(1));
}

TEST_F(RscManPlayerTest, AStaleHandleOnAShorterAnimationStopsInsteadOfReadingPastTheTable) {
  ASSERT_EQ(CreateFXManager(32), 1);
  Write("long.qla", QlaFile(Named("long", 6), TwoSprites()));
  Write("short.qla", QlaFile(Named("short", 2), TwoSprites()));
  K_Dib image;
  image.Create(16, 16, 32);
  for (int32_t use = 0; use < 3; ++use) {
    const uint32_t h = _QLSRsc_MANAGER_::LoadSpriteResourceByName("C:\\Game\\long.qla");
    K_Animation_RscMan player;
    player.SetHandle(h);
    plat::sim::SetTickBase(100);
    player.Play(-1);
    player.Step(100 + 20 * 4 + 1);
    ASSERT_EQ(player.CurrentFrame(), 4);
    _QLSRsc_MANAGER_::ReleaseSpriteResource(h);
    // The same slot and type come back, so the old handle resolves to the new file.
    ASSERT_EQ(_QLSRsc_MANAGER_::LoadSpriteResourceByName("C:\\Game\\short.qla"), h);
    if (use == 0) player.Draw(image, 8, 8, 0);
    EXPECT_FALSE(use == 1 ? player.HitTest(0, 0, 0) : use == 2 && player.Step(100 + 1000));
    EXPECT_FALSE(player.IsPlaying()) << use;
    _QLSRsc_MANAGER_::ReleaseSpriteResource(h);
  }
  DestroyFXManager();
}

TEST(AnimationRscTest, NamesAndSubAnimations) {
  std::string long68(68, 'n');
  K_Animation_RSC rsc;
  ASSERT_EQ(rsc.LoadFromBytes(QlaSetFile({Named("a"), Named("b"), Named("a"), Named(long68)}, TwoSprites())), 1);
  EXPECT_EQ(rsc.GetAnimationCount(), 4);
  int32_t index = 99;
  EXPECT_EQ(rsc.FindByName("a", &index), &rsc);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(rsc.FindByName("b", &index), rsc.GetSubAnimation(1));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(rsc.FindByName("c", &index), nullptr);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(rsc.FindByName(long68, &index), rsc.GetSubAnimation(3));
  EXPECT_EQ(index, 3);
  EXPECT_EQ(rsc.FindByName(long68 + "x", &index), nullptr);
  EXPECT_EQ(rsc.GetSubAnimation(0), &rsc);
  EXPECT_NE(rsc.GetSubAnimation(3), nullptr);
  EXPECT_EQ(rsc.GetSubAnimation(4), nullptr);
  EXPECT_EQ(rsc.GetSubAnimation(-1), nullptr);
  // One sprite set, owned by the first animation and shared by the rest.
  for (int32_t i = 1; i < 4; ++i) {
    EXPECT_EQ(rsc.GetSubAnimation(i)->SpriteSet(), rsc.SpriteSet());
    EXPECT_EQ(rsc.GetSubAnimation(i)->Flags() & K_Animation_RSC::kSharedSet, K_Animation_RSC::kSharedSet);
  }
  EXPECT_EQ(rsc.SpriteSet()->GetFrameCount(), 2);
}

TEST(AnimationRscTest, BlockEditingRefusesWhatDoesNotFit) {
  K_Animation_RSC rsc;
  EXPECT_EQ(rsc.AllocateBlock(95, 0), 0);
  EXPECT_EQ(rsc.AllocateBlock(96 + 44, 2), 0);
  EXPECT_EQ(rsc.AllocateBlock(K_Animation_RSC::kMaxChunkBytes + 1, 0), 0);
  EXPECT_FALSE(rsc.HasData());
  {
    K_Animation_RSC fit;  // each bound met exactly is taken
    EXPECT_EQ(fit.AllocateBlock(96, 0), 1);
    EXPECT_EQ(fit.AllocateBlock(K_Animation_RSC::kMaxChunkBytes, 0), 1);
    ASSERT_EQ(fit.AllocateBlock(96 + 2 * 44, 2), 1);
    EXPECT_EQ(fit.SetFrameCount(3), 0);
    EXPECT_EQ(fit.SetFrameCount(2), 1);
    EXPECT_EQ(fit.FrameCount(), 2);
  }
  EXPECT_EQ(rsc.SetFrameCount(0), 0);  // no block
  EXPECT_EQ(rsc.FixUpParts(), 0);

  ASSERT_EQ(rsc.AllocateBlock(96 + 2 * 44 + 36, 2), 1);
  EXPECT_EQ(rsc.SetFrameCount(3), 0);  // the table would run past the block
  EXPECT_EQ(rsc.FrameCount(), 2);
  EXPECT_EQ(rsc.AllocateBlock(50, 0), 0);  // refused: the block held stays
  EXPECT_EQ(rsc.FrameCount(), 2);

  struct Case {
    const char* what;
    uint32_t parts0, parts1;
    int16_t target;
    uint16_t repeat;
  } cases[] = {
      {"parts past the block", 1, 1, 0, 0},
      {"a part count near 2^32", 1, 0xFFFFFFFF, 0, 0},
      {"a loop past the frames", 1, 0, 2, 1},
      {"a loop before the first frame", 0, 0, -1, 3},
  };
  for (const Case& c : cases) {
    uint8_t* block = rsc.EditDataBlock();
    StoreU32(block + 96 + 8, c.parts0);
    StoreU32(block + 96 + 44 + 8, c.parts1);
    StoreU16(block + 96 + 44 + 40, uint16_t(c.target));
    StoreU16(block + 96 + 44 + 42, c.repeat);
    EXPECT_EQ(rsc.FixUpParts(), 0) << c.what;
    EXPECT_EQ(rsc.FrameCount(), 0) << c.what;
  }
  // A player bound before the damage stops instead of reading a frame.
  uint8_t* block = rsc.EditDataBlock();
  std::fill(block + 96, block + 96 + 2 * 44, uint8_t(0));
  ASSERT_EQ(rsc.FixUpParts(), 1);
  K_Animation player;
  player.SetRsc(&rsc);
  player.Play(-1);
  player.SetFrame(1);
  StoreU32(rsc.EditDataBlock() + 96 + 8, 7);
  EXPECT_FALSE(rsc.FixUpParts());
  EXPECT_FALSE(player.IsFrameMoving());
  EXPECT_FALSE(player.IsPlaying());
}

}  // namespace
