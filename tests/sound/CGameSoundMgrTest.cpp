// File channels: replays from memory, and which channel a new file takes (the first
// free one, a same-format buffer of nearly the right size, or the stalest by score).
#include "SoundTestSupport.h"
#include "sound/CGameSoundMgr.h"

namespace sound_test {
namespace {

class CGameSoundMgrTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    ASSERT_EQ(mgr_.Init(FakeWindow(), Folder()), 1);
  }
  // Fills every channel, the first free one each time, with its own stereo 44.1 kHz
  // file ("f0.wav" .. "f19.wav").
  void FillChannels(const std::vector<uint32_t>& sizes = {}) {
    for (int32_t i = 0; i < CGameSoundMgr::kChannels; ++i) {
      const std::string name = "f" + std::to_string(i) + ".wav";
      ASSERT_EQ(Play(name, Wav(2, 44100, 16, sizes.empty() ? 400 : sizes[i])), 1);
      ASSERT_EQ(mgr_.FindChannel(name), i);
    }
  }
  // Puts the file in the sound folder and plays it.
  int32_t Play(const std::string& name, const Bytes& wav, LONG volume = 0) {
    Put(name, wav);
    return mgr_.PlayFile(name, volume);
  }
  LONG ChannelVolume(int32_t i) {
    LONG v = 1;
    EXPECT_EQ(mgr_.Channel(i).Buffer()->GetVolume(&v), DS_OK);
    return v;
  }
  CGameSoundMgr mgr_;
};

TEST_F(CGameSoundMgrTest, SameFileTwiceReplaysItsChannelFromTheStart) {
  ASSERT_EQ(Play("v.wav", Wav(1, 22050, 16, 22050)), 1);
  EXPECT_EQ(mgr_.Channel(0).PlayCount(), 0u);
  plat::sim::AdvanceClock(100);
  EXPECT_NE(Cursor(mgr_.Channel(0).Buffer()), 0u);
  EXPECT_EQ(mgr_.PlayFile("v.wav", 0), 10);
  EXPECT_EQ(mgr_.Channel(0).PlayCount(), 1u);
  EXPECT_EQ(Cursor(mgr_.Channel(0).Buffer()), 0u);
  EXPECT_EQ(mgr_.IsFilePlaying("v.wav"), 1);
  EXPECT_EQ(mgr_.Channel(1).Buffer(), nullptr);
  // The file system ignores case; the channels do not.
  EXPECT_EQ(mgr_.PlayFile("V.wav", 0), 1);
  EXPECT_EQ(mgr_.FindChannel("V.wav"), 1);
}

TEST_F(CGameSoundMgrTest, SameFormatChannelWithinTheSlackIsReusedWithASilentTail) {
  std::vector<uint32_t> sizes(CGameSoundMgr::kChannels, 400);
  sizes[3] = 2000 + 512;
  sizes[7] = 2000 + 1024;
  sizes[12] = 2000 + 1028;  // too large
  sizes[15] = 1996;         // too small
  FillChannels(sizes);
  IDirectSoundBuffer* reused = mgr_.Channel(7).Buffer();
  const uint32_t live = plat::sim::LiveSoundBuffers();
  ASSERT_EQ(Play("new.wav", Wav(2, 44100, 16, 2000, 99)), 1);
  EXPECT_EQ(mgr_.FindChannel("new.wav"), 7) << "the last one that fits";
  EXPECT_EQ(mgr_.Channel(7).Buffer(), reused);
  EXPECT_EQ(mgr_.Channel(7).Size(), 3024u);
  EXPECT_EQ(plat::sim::LiveSoundBuffers(), live);
  const Bytes held = Contents(reused, 3024);
  EXPECT_EQ(Bytes(held.begin() + 2000, held.end()), Bytes(1024, 0));
  EXPECT_EQ(mgr_.FindChannel("f7.wav"), -1);
}

TEST_F(CGameSoundMgrTest, AChannelPlayedTwiceIsNeverReusedByFormat) {
  std::vector<uint32_t> sizes(CGameSoundMgr::kChannels, 400);
  sizes[3] = 2000;
  sizes[7] = 2000;
  FillChannels(sizes);
  ASSERT_EQ(mgr_.PlayFile("f7.wav", 0), 10);
  ASSERT_EQ(mgr_.PlayFile("f7.wav", 0), 10);
  ASSERT_EQ(Play("new.wav", Wav(2, 44100, 16, 2000, 99)), 1);
  EXPECT_EQ(mgr_.FindChannel("new.wav"), 3);
}

TEST_F(CGameSoundMgrTest, EvictionTakesTheHighestSignedScoreAndTiesGoLow) {
  // Channel 0 is the oldest, but three replays are worth 98 s of youth.
  ASSERT_EQ(Play("f0.wav", Wav(2, 44100, 16, 400)), 1);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(mgr_.PlayFile("f0.wav", 0), 10);
  plat::sim::AdvanceClock(1000);
  for (int32_t i = 1; i < CGameSoundMgr::kChannels; ++i)
    ASSERT_EQ(Play("f" + std::to_string(i) + ".wav", Wav(2, 44100, 16, 400)), 1);
  plat::sim::AdvanceClock(10000);
  ASSERT_EQ(Play("mono.wav", Wav(1, 8000, 8, 100)), 1);
  EXPECT_EQ(mgr_.FindChannel("mono.wav"), 1) << "count 3 survives; equal scores evict the lowest index";
  EXPECT_EQ(mgr_.FindChannel("f0.wav"), 0);
  EXPECT_EQ(mgr_.Channel(1).PlayCount(), 0u);
  EXPECT_EQ(mgr_.Channel(1).Size(), 100u);
  EXPECT_EQ(mgr_.Channel(1).Format().nChannels, 1);
  // Make channel 5 the stalest by refreshing everyone else.
  plat::sim::AdvanceClock(50);
  for (int32_t i = 2; i < CGameSoundMgr::kChannels; ++i) {
    if (i == 5) continue;
    ASSERT_EQ(mgr_.PlayFile("f" + std::to_string(i) + ".wav", 0), 10);
  }
  ASSERT_EQ(mgr_.PlayFile("mono.wav", 0), 10);
  ASSERT_EQ(Play("mono2.wav", Wav(1, 11025, 8, 100)), 1);
  EXPECT_EQ(mgr_.FindChannel("mono2.wav"), 5);
}

TEST_F(CGameSoundMgrTest, APositiveVolumeLeavesTheChannelVolume) {
  Put("v.wav", Wav(1, 22050, 16, 400));
  ASSERT_EQ(mgr_.PlayFile("v.wav", -500), 1);
  LONG v = 0;
  ASSERT_EQ(mgr_.Channel(0).Buffer()->GetVolume(&v), DS_OK);
  EXPECT_EQ(v, -500);
  ASSERT_EQ(mgr_.PlayFile("v.wav", 1), 10);
  ASSERT_EQ(mgr_.Channel(0).Buffer()->GetVolume(&v), DS_OK);
  EXPECT_EQ(v, -500);
  ASSERT_EQ(mgr_.PlayFile("v.wav", 0), 10);
  ASSERT_EQ(mgr_.Channel(0).Buffer()->GetVolume(&v), DS_OK);
  EXPECT_EQ(v, 0) << "zero is full volume, not a positive one";
  mgr_.SetChannelsVolume(-900);
  ASSERT_EQ(mgr_.Channel(0).Buffer()->GetVolume(&v), DS_OK);
  EXPECT_EQ(v, -900);
  EXPECT_EQ(mgr_.SetFileVolume("v.wav", -100), 1);
  EXPECT_EQ(mgr_.SetFileVolume("other.wav", -100), 0);
}

TEST_F(CGameSoundMgrTest, StopChannelsAndStopFile) {
  Put("a.wav", Wav(1, 22050, 16, 22050));
  Put("b.wav", Wav(1, 22050, 16, 22050));
  ASSERT_EQ(mgr_.PlayFile("a.wav", 0), 1);
  ASSERT_EQ(mgr_.PlayFile("b.wav", 0), 1);
  EXPECT_EQ(mgr_.StopFile("a.wav"), 1);
  EXPECT_EQ(mgr_.IsFilePlaying("a.wav"), 0);
  EXPECT_EQ(mgr_.IsFilePlaying("b.wav"), 1);
  mgr_.StopChannels();
  EXPECT_EQ(mgr_.IsFilePlaying("b.wav"), 0);
  EXPECT_EQ(mgr_.StopFile("zzz.wav"), 0);
}

}  // namespace
}  // namespace sound_test
