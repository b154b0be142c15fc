// Sound sources over real files: WAV layouts good and bad, Ogg Vorbis formats and
// sizes, chained links, the resource fallback, and file ownership on failure.
#include "SoundTestSupport.h"
#include "plat/kernel.h"
#include "sound/CSoundSource.h"

namespace sound_test {
namespace csound_source_test {

using testing_support::OggSpec;
using testing_support::WavSpec;

class CSoundSourceTest : public SoundTest {
 protected:
  // Everything the source gives from the start, in reads of `piece` bytes.
  static Bytes ReadAll(CSoundSource& s, uint32_t piece = 4096) {
    Bytes all;
    if (!s.ResetFile()) return all;
    Bytes chunk(piece);
    for (;;) {
      uint32_t got = 0;
      if (!s.Read(chunk.data(), piece, &got) || got == 0) break;
      all.insert(all.end(), chunk.begin(), chunk.begin() + got);
    }
    return all;
  }
  static Bytes Ramp(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 7 + 3);
    return b;
  }
};

TEST_F(CSoundSourceTest, PcmWavGivesItsFormatSizeAndBytesAndNeverReadsPastTheChunk) {
  const WavSpec w{.channels = 2, .rate = 11025, .data = Ramp(400), .extra = {}};
  CSoundSource s;
  s.Open(Put("a.wav", testing_support::MakeWav(w)));
  ASSERT_EQ(s.GetSize(), 400u);
  EXPECT_EQ(s.GetKind(), CSoundSource::kWav);
  const WAVEFORMATEX& f = s.GetFormat();
  EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(f.nBlockAlign, 4);
  EXPECT_EQ(f.nAvgBytesPerSec, 44100u);
  ASSERT_EQ(s.ResetFile(), 1);
  Bytes big(1000, 0xAB);
  uint32_t got = 0;
  ASSERT_EQ(s.Read(big.data(), 1000, &got), 1);
  EXPECT_EQ(Bytes(big.begin(), big.begin() + got), w.data);
  EXPECT_EQ(big[400], 0xAB);
  ASSERT_EQ(s.Read(big.data(), 1000, &got), 1);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(ReadAll(s, 33), w.data) << "rewinding reads it all again";
}

// A non-PCM format keeps its extra bytes; LIST and odd chunks with their pad bytes are
// skipped; a cut data chunk plays its whole blocks.
TEST_F(CSoundSourceTest, OddButUsableLayoutsGiveTheirData) {
  const WavSpec adpcm{.tag = 2, .channels = 2, .bits = 4, .data = Ramp(64), .extra = {9, 8, 7, 6, 5}};  // align 1
  const WavSpec odd{.bits = 8, .data = Ramp(5), .extra = {}, .listBeforeFmt = true, .oddChunkBeforeData = true};
  const WavSpec cut{.channels = 2, .data = Ramp(400), .extra = {}, .truncateBy = 6};  // 4-byte blocks
  const struct {
    const char* what;
    WavSpec wav;
    uint32_t size;
  } cases[] = {{"non-PCM", adpcm, 64}, {"odd chunks", odd, 5}, {"truncated", cut, 392}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CSoundSource s;
    s.Open(Put(std::string(c.what) + ".wav", testing_support::MakeWav(c.wav)));
    ASSERT_EQ(s.GetSize(), c.size);
    EXPECT_EQ(s.GetFormat().wFormatTag, c.wav.tag);
    EXPECT_EQ(s.GetFormat().wBitsPerSample, c.wav.bits);
    EXPECT_EQ(s.GetFormatExtra(), c.wav.extra);
    EXPECT_EQ(s.GetFormat().cbSize, c.wav.extra.size());
    const Bytes whole(c.wav.data.begin(), c.wav.data.begin() + c.size);
    EXPECT_EQ(c.wav.tag == 1 ? ReadAll(s) : whole, whole);
  }
}

TEST_F(CSoundSourceTest, UnusableFilesGiveSizeZero) {
  const WavSpec notWave{.data = Ramp(100), .extra = {}, .form = "AVI "};
  const WavSpec shortFmt{.data = Ramp(100), .extra = {}, .fmtSize = 14};
  // Extra size 4, but the chunk ends after the extra size.
  const WavSpec extraPastChunk{.tag = 2, .data = Ramp(100), .extra = {1, 2, 3, 4}, .fmtSize = 18};
  const WavSpec noExtraSize{.tag = 2, .data = Ramp(100), .extra = {}, .fmtSize = 16};
  const Bytes noData = testing_support::MakeWav(WavSpec{});
  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"form type not WAVE", testing_support::MakeWav(notWave)},
      {"fmt of 14 bytes", testing_support::MakeWav(shortFmt)},
      {"extra bytes past the fmt chunk", testing_support::MakeWav(extraPastChunk)},
      {"non-PCM fmt without its extra size", testing_support::MakeWav(noExtraSize)},
      {"no data chunk", Bytes(noData.begin(), noData.end() - 8)},
      {"unknown signature", {'M', 'T', 'h', 'd', 0, 0, 0, 6}},
      {"three bytes", {'R', 'I', 'F'}},
      {"empty", {}},
      {"Ogg signature, no Vorbis", {'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4}},
  };
  int n = 0;
  for (const auto& c : cases) {
    CSoundSource s;
    s.Open(Put("bad" + std::to_string(n++), c.bytes));
    EXPECT_EQ(s.GetSize(), 0u) << c.what;
  }
  CSoundSource missing;
  missing.Open(dir_ / "nothing-here.wav");
  EXPECT_EQ(missing.GetSize(), 0u);
}

TEST_F(CSoundSourceTest, OggGivesSixteenBitPcmOfExactlyItsSamples) {
  for (int32_t channels : {1, 2}) {
    const OggSpec o{.channels = channels, .rate = channels == 1 ? 22050 : 44100, .samples = 12345};
    CSoundSource s;
    s.Open(Put("tone" + std::to_string(channels) + ".ogg", testing_support::EncodeOgg(o)));
    const uint32_t align = 2 * channels;
    ASSERT_EQ(s.GetSize(), 12345u * align) << channels;
    EXPECT_EQ(s.GetKind(), CSoundSource::kOgg);
    const WAVEFORMATEX& f = s.GetFormat();
    EXPECT_EQ(f.nBlockAlign, align);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(f.nAvgBytesPerSec, align * static_cast<uint32_t>(o.rate));
    EXPECT_EQ(ReadAll(s, 1000).size(), s.GetSize());
  }
}

TEST_F(CSoundSourceTest, FilesAreClosedExactlyOnceWhateverHappens) {
  const uint32_t before = plat::sim::OpenFileCount();
  {
    CSoundSource bad;
    bad.Open(Put("bad.ogg", {'O', 'g', 'g', 'S', 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(bad.GetSize(), 0u);
    EXPECT_EQ(plat::sim::OpenFileCount(), before) << "a failed decoder open closes the file";
  }
  CSoundSource good;
  good.Open(Put("good.ogg", testing_support::EncodeOgg(OggSpec{})));
  ASSERT_GT(good.GetSize(), 0u);
  EXPECT_EQ(plat::sim::OpenFileCount(), before + 1);
  good.Close();
  EXPECT_EQ(plat::sim::OpenFileCount(), before);
  good.Close();
  EXPECT_EQ(plat::sim::OpenFileCount(), before);
}

TEST_F(CSoundSourceTest, WavThatCannotBeOpenedAgainIsReadFromTheProgramsResources) {
  const WavSpec w{.data = Ramp(64), .extra = {}};
  const std::string path = Put("res.wav", testing_support::MakeWav(w));
  const WavSpec r{.data = Ramp(32), .extra = {}};
  const Bytes resource = testing_support::MakeWav(r);
  ASSERT_TRUE(plat::RegisterResource(nullptr, "WAV", path.c_str(), resource.data(), resource.size()));
  plat::sim::FailNext("CreateFileA", 1, 1);  // the first open works, the second fails
  CSoundSource s;
  s.Open(path);
  EXPECT_EQ(s.GetSize(), 32u);
  EXPECT_EQ(ReadAll(s), r.data);
  plat::sim::ClearFaults();
}

}  // namespace csound_source_test

}  // namespace sound_test
