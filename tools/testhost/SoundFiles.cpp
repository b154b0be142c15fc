// libvorbisfile for the game's Ogg files; the WAV reader of the onsets for the rest.
#include "testhost/SoundFiles.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace testhost {

namespace fs = std::filesystem;

bool ReadWavFile(const fs::path& path, SoundTrack& track, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot be read";
    return false;
  }
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ReadWav(bytes, track, error);
}

namespace {

bool ReadOgg(const fs::path& path, SoundTrack& sound) {
  OggVorbis_File file;
  if (ov_fopen(path.string().c_str(), &file) != 0) return false;
  const vorbis_info* info = ov_info(&file, -1);
  const int channels = info ? info->channels : 0;
  sound.rate = info ? uint32_t(info->rate) : 0;
  std::vector<char> block(4096);
  std::vector<int16_t> pcm;
  int link = 0;
  for (;;) {
    const auto got = ov_read(&file, block.data(), int(block.size()), 0, 2, 1, &link);
    if (got <= 0) break;
    for (size_t i = 0; i + 1 < size_t(got); i += 2)
      pcm.push_back(int16_t(uint16_t(uint8_t(block[i])) | uint16_t(uint8_t(block[i + 1])) << 8));
  }
  ov_clear(&file);
  if (channels <= 0 || sound.rate == 0) return false;
  for (size_t f = 0; f + size_t(channels) <= pcm.size(); f += size_t(channels)) {
    float sum = 0;
    for (int c = 0; c < channels; ++c) sum += float(pcm[f + size_t(c)]) / 32768.0f;
    sound.mono.push_back(sum / float(channels));
  }
  return true;
}

}  // namespace

bool ReadSoundFile(const fs::path& path, uint32_t rate, std::vector<float>& out) {
  SoundTrack sound;
  std::string ignored;
  if (path.extension() == ".ogg" ? !ReadOgg(path, sound) : !ReadWavFile(path, sound, ignored)) return false;
  out = Resampled(sound.mono, sound.rate, rate);
  return !out.empty();
}

std::vector<NamedSound> ReadSoundFolder(const fs::path& folder, uint32_t rate) {
  std::vector<NamedSound> sounds;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const std::string extension = it->path().extension().string();
    if (!it->is_regular_file(ec) || (extension != ".ogg" && extension != ".wav")) continue;
    NamedSound sound{it->path().lexically_relative(folder).generic_string(), {}};
    if (ReadSoundFile(it->path(), rate, sound.samples)) sounds.push_back(std::move(sound));
  }
  std::sort(sounds.begin(), sounds.end(), [](const NamedSound& a, const NamedSound& b) { return a.name < b.name; });
  return sounds;
}

}  // namespace testhost
