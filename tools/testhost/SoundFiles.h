// Sound files read into one channel at a recording's rate: a recording (WAV), and the
// game's effects and voices (WAV or Ogg Vorbis) that the recordings are told apart by.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "testhost/SoundMarks.h"
#include "testhost/SoundOnsets.h"

namespace testhost {

// A WAV file whole; false with `error`.
bool ReadWavFile(const std::filesystem::path& path, SoundTrack& track, std::string& error);

// A WAV or Ogg Vorbis file's samples as one channel at `rate`; false when it cannot be
// read or holds nothing.
bool ReadSoundFile(const std::filesystem::path& path, uint32_t rate, std::vector<float>& out);

// Every sound file under `folder`, each named by its path from there with '/' between
// folders, in the names' order; files that cannot be read are left out.
std::vector<NamedSound> ReadSoundFolder(const std::filesystem::path& folder, uint32_t rate);

}  // namespace testhost
