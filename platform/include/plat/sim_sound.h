// Test control of the sound output: whether a device exists, where the mixed sound
// goes (nowhere, or a capture a test can read), the log of what buffers did, and
// buffer loss with its restore failures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat::sim {

// DirectSoundCreate fails with DSERR_NODRIVER while audio is unavailable.
void SetAudioAvailable(bool available);

// Where the mixer's output goes. The output is 44,100 Hz, 16-bit stereo.
enum class SoundSink { Null, Capture };
// Everything due before the switch goes to the old sink.
void SetSoundSink(SoundSink sink);
constexpr uint32_t kMixRate = 44100;
// Interleaved left/right samples captured since the capture started or was cleared
// (mixed up to the current time first).
std::vector<int16_t> CapturedSound();
void ClearCapturedSound();
// Writes the capture as a WAV file (native path) for a person to listen to.
bool WriteCapturedSound(const std::string& nativePath);

enum class SoundEventKind { Play, Stop, End, Wrap, Lost, Restore, Volume };
struct SoundEvent {
  uint64_t ms;      // clock time of the event, milliseconds (ends and wraps: when due)
  uint32_t buffer;  // buffer serial, 1 for the first buffer ever made
  SoundEventKind kind;
  bool operator==(const SoundEvent&) const = default;
};
// In time order (up to the current time); the log keeps the first 65,536 events.
std::vector<SoundEvent> SoundEvents();
void ClearSoundEvents();

// Every buffer alive becomes lost: it stops, reports DSBSTATUS_BUFFERLOST, and Play and
// Lock fail with DSERR_BUFFERLOST until Restore succeeds.
void LoseSoundBuffers();
// The next `count` calls of Restore (of any buffer) fail with DSERR_BUFFERLOST.
void SetRestoreFailures(uint32_t count);

// Serial number the next buffer will get.
uint32_t NextSoundBufferSerial();
// Buffers alive (not yet released), primary buffers included.
uint32_t LiveSoundBuffers();

// Back to the start state: audio available, null sink, empty capture and log, no
// pending restore failures. Buffers alive stay alive.
void ResetSound();

}  // namespace plat::sim
