// The software mixer behind DirectSound: every buffer's state, the cursor formula
// over the layer clock, lazy rendering into the sink, and the event log. One lock
// guards all of it, since buffers are filled on one thread and played on another.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "plat/dsound.h"
#include "plat/sim_sound.h"

namespace plat::detail {

using sim::SoundEventKind;

// One DirectSound buffer's data and playing state.
struct BufferState {
  uint32_t serial = 0;
  // The device object that made it.
  const void* device = nullptr;
  DWORD flags = 0;
  bool primary = false;
  WAVEFORMATEX format{};
  std::vector<uint8_t> data;
  LONG volume = 0;
  LONG pan = 0;
  bool playing = false;
  bool looping = false;
  bool lost = false;
  // While stopped: the position. While playing: where and when it started, both as the
  // cursor formula sees them (bytes, microseconds) and as the mixer's output frames.
  DWORD startPos = 0;
  uint64_t startMicros = 0;
  uint64_t mixStartFrame = 0;
  // Last clock time whose wraps and end were logged.
  uint64_t settledMicros = 0;

  DWORD Size() const { return static_cast<DWORD>(data.size()); }
  uint8_t Silence() const { return format.wBitsPerSample == 8 ? 0x80 : 0; }
};

class Mixer {
 public:
  static Mixer& Instance();

  std::mutex& Mutex() { return mutex_; }

  // All below: call with the lock held.
  uint64_t Now() const;
  // Logs the ends and wraps due by now, stops buffers that reached their end, and
  // renders the sink up to now. Runs before every change to what is heard.
  void Update();
  // Cursor of a buffer at the current time (modulo its size).
  DWORD PlayCursor(const BufferState& b) const;
  // While playing, 10 ms (block-aligned) ahead of the play cursor; else the same.
  DWORD WriteCursor(const BufferState& b) const;

  BufferState* Add(BufferState state);
  void Remove(BufferState* b);
  void Start(BufferState& b, bool looping);
  void Halt(BufferState& b, SoundEventKind why, uint64_t whenMicros);
  void SetPosition(BufferState& b, DWORD position);
  void Log(uint32_t serial, SoundEventKind kind, uint64_t micros);

  bool audioAvailable = true;
  uint32_t restoreFailures = 0;
  uint32_t nextSerial = 1;

  void SetSink(sim::SoundSink sink);
  std::vector<int16_t> capture;
  std::vector<sim::SoundEvent> Events() const;
  void ClearEvents() { events_.clear(); }
  const std::vector<BufferState*>& Buffers() const { return buffers_; }
  // Every secondary buffer but those of `keptDevice` stops and is lost.
  void LoseAll(const void* keptDevice = nullptr);
  // The device holding DSSCL_WRITEPRIMARY: while one does, no other device's buffer
  // restores.
  const void* writePrimary = nullptr;
  // Each live device's cooperative level.
  std::map<const void*, DWORD> levels;
  void Reset();

  // Real mode: a layer thread renders every 10 ms.
  void StartRealTimeThread();

 private:
  void Settle(BufferState& b, uint64_t now);
  void Render(uint64_t now);
  void MixInto(const BufferState& b, uint64_t from, uint64_t to, std::vector<double>& acc) const;

  std::mutex mutex_;
  std::vector<BufferState*> buffers_;
  sim::SoundSink sink_ = sim::SoundSink::Null;
  uint64_t renderedFrames_ = 0;
  std::vector<sim::SoundEvent> events_;
  bool threadStarted_ = false;
};

// Output frame count of the first frame at or after `micros`.
uint64_t FrameAtOrAfter(uint64_t micros);

}  // namespace plat::detail
