// The fuzz targets' seed files come from the fixture writers. Run with
// --gtest_also_run_disabled_tests to write them into the source tree again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/SoundFixtures.h"
#include "support/TempDir.h"

namespace {

using testing_support::Bytes;
using testing_support::OggSpec;
using testing_support::WavSpec;

void Write(const std::string& target, const std::string& name, const Bytes& bytes) {
  const char* root = std::getenv("DORVIK_SOURCE_DIR");
  ASSERT_NE(root, nullptr);
  const std::filesystem::path dir = std::filesystem::path(root) / "fuzz" / "corpus" / target;
  std::filesystem::create_directories(dir);
  testing_support::TempDir scratch;
  scratch.Write(name, testing_support::AsString(bytes));
  std::filesystem::copy_file(scratch / name, dir / name, std::filesystem::copy_options::overwrite_existing);
}

Bytes Prefixed(const Bytes& prefix, const Bytes& body) {
  Bytes out = prefix;
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

TEST(FuzzSeeds, DISABLED_WriteSeedCorpora) {
  WavSpec pcm;
  pcm.channels = 2;
  pcm.data.assign(64, 0x11);
  Write("wav_read", "pcm16-stereo", testing_support::MakeWav(pcm));
  WavSpec odd;
  odd.bits = 8;
  odd.data = {1, 2, 3, 4, 5};
  odd.listBeforeFmt = true;
  odd.oddChunkBeforeData = true;
  Write("wav_read", "pcm8-list-odd-chunks", testing_support::MakeWav(odd));
  WavSpec adpcm;
  adpcm.tag = 2;
  adpcm.bits = 4;
  adpcm.extra = {1, 2, 3, 4};
  adpcm.data.assign(16, 0x22);
  Write("wav_read", "non-pcm-extra", testing_support::MakeWav(adpcm));
  WavSpec cut = pcm;
  cut.truncateBy = 7;
  Write("wav_read", "truncated-data", testing_support::MakeWav(cut));
  WavSpec shortFmt = pcm;
  shortFmt.fmtSize = 14;
  Write("wav_read", "fmt-14-bytes", testing_support::MakeWav(shortFmt));

  OggSpec mono;
  mono.channels = 1;
  mono.rate = 8000;
  mono.samples = 1500;
  mono.quality = -0.1f;
  OggSpec stereo = mono;
  stereo.channels = 2;
  stereo.noise = true;
  Write("ogg_read", "source-mono", Prefixed({0}, testing_support::EncodeOgg(mono)));
  Write("ogg_read", "source-stereo", Prefixed({0}, testing_support::EncodeOgg(stereo)));
  Write("ogg_read", "source-chained", Prefixed({0}, testing_support::EncodeOggChain({stereo, mono})));
  const Bytes script = {1, 0, 1, 50, 200, 255, 3, 90, 250};
  Write("ogg_read", "music-plain", Prefixed(script, testing_support::EncodeOgg(mono)));
  Write("ogg_read", "music-psn-100", Prefixed(script, testing_support::WrapPsn(testing_support::EncodeOgg(stereo), 100)));
}

}  // namespace
