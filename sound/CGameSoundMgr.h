// The game's sound manager: the effect table plus 20 file channels on which voice
// lines play by file name and stay cached, and the music channel.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "sound/CMusicStream.h"
#include "sound/CSoundMgr.h"

class CGameSoundMgr : public CSoundMgr {
 public:
  static constexpr int32_t kChannels = 20;
  // How much larger than the sound a reused buffer may be (the rest is silence).
  static constexpr DWORD kReuseSlack = 1024;
  // Each replay counts as this many milliseconds of youth when choosing a channel.
  static constexpr int64_t kReplayWorthMs = 32768;
  static constexpr int32_t kReplayed = 10;
  static constexpr DWORD kChannelBufferFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY | DSBCAPS_STATIC;

  CGameSoundMgr() = default;
  ~CGameSoundMgr() override;

  // 10 when a channel already held the file, 1 when it was loaded, 0 on failure.
  int32_t PlayFile(const std::string& fileName, LONG volume);
  void SetChannelsVolume(LONG volume);
  void StopChannels();
  int32_t FindChannel(const std::string& fileName);
  int32_t StopFile(const std::string& fileName);
  int32_t SetFileVolume(const std::string& fileName, LONG volume);
  int32_t IsFilePlaying(const std::string& fileName);

  int32_t OpenMusic(const std::string& fileName);
  int32_t PlayMusic(int32_t loop);
  int32_t UpdateMusic();
  int32_t StopMusic();
  int32_t RewindMusic();
  int32_t SetMusicVolume(LONG volume);
  int32_t IsMusicPlaying();

  void ReleaseAll() override;

  // For tests and diagnostics.
  const CSoundChannel& Channel(int32_t index) const { return channels_[static_cast<size_t>(index)]; }
  CMusicStream& Music() { return music_; }

 private:
  int32_t ChooseChannel(int32_t firstFree, const WAVEFORMATEX& format, uint32_t size, uint32_t now, bool* reuse);
  int32_t FindLocked(const std::string& fileName);
  template <class F>
  int32_t OnMusic(F op);

  std::array<CSoundChannel, kChannels> channels_;
  CMusicStream music_;
};
