// The software mixer: cursor positions computed from the clock on every query (no
// clock events), and output rendered only when someone could notice it.
#include "sound/Mixer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "kernel/Clock.h"

namespace plat::detail {
namespace {

constexpr uint32_t kMicrosPerSecond = 1000000;
constexpr uint64_t kWriteLeadMicros = 10000;
constexpr size_t kMaxEvents = 65536;
constexpr uint32_t kRealTimeRenderMs = 10;

// a x num / den, rounded down or up, cut to 64 bits as a wider product would be. The
// whole multiples of den scale apart from the rest, whose product stays below 2^64 for
// 32-bit num and den: 32-bit targets have no 128-bit integer.
uint64_t Scale(uint64_t a, uint32_t num, uint32_t den, bool up) {
  const uint64_t rest = a % den * num;
  return a / den * num + (rest + (up ? den - 1 : 0)) / den;
}

DWORD Align(const BufferState& b) { return b.format.nBlockAlign ? b.format.nBlockAlign : 1; }

// Bytes the cursor moves in `elapsed` microseconds, rounded down to the block align.
uint64_t AdvanceBytes(const BufferState& b, uint64_t elapsed) {
  const uint64_t bytes = Scale(elapsed, b.format.nAvgBytesPerSec, kMicrosPerSecond, false);
  return bytes - bytes % Align(b);
}

// First moment at which the cursor has moved at least `bytes` (block-aligned) past its start.
uint64_t MicrosToReach(const BufferState& b, uint64_t bytes) {
  const uint64_t align = Align(b);
  const uint64_t aligned = (bytes + align - 1) / align * align;
  const uint32_t avg = b.format.nAvgBytesPerSec ? b.format.nAvgBytesPerSec : 1;
  return Scale(aligned, kMicrosPerSecond, avg, true);
}

// 10^(hundredths of a decibel / 2000); the floor of the range is silence itself.
double Gain(LONG hundredthsDb) {
  if (hundredthsDb <= DSBVOLUME_MIN) return 0.0;
  return std::pow(10.0, hundredthsDb / 2000.0);
}

int32_t SampleAt(const BufferState& b, uint64_t frame, uint32_t channel) {
  const uint8_t* p = b.data.data() + frame * Align(b);
  if (b.format.wBitsPerSample == 8) return (static_cast<int32_t>(p[channel]) - 0x80) * 256;
  return static_cast<int16_t>(static_cast<uint16_t>(p[2 * channel] | (p[2 * channel + 1] << 8)));
}

}  // namespace

uint64_t FrameAtOrAfter(uint64_t micros) {
  return Scale(micros, sim::kMixRate, kMicrosPerSecond, true);
}

Mixer& Mixer::Instance() {
  static Mixer* mixer = new Mixer;
  return *mixer;
}

uint64_t Mixer::Now() const { return NowMicros(); }

DWORD Mixer::PlayCursor(const BufferState& b) const {
  if (!b.playing || b.data.empty()) return b.startPos;
  const uint64_t unwrapped = b.startPos + AdvanceBytes(b, Now() - b.startMicros);
  if (b.looping) return static_cast<DWORD>(unwrapped % b.Size());
  return unwrapped >= b.Size() ? 0 : static_cast<DWORD>(unwrapped);
}

DWORD Mixer::WriteCursor(const BufferState& b) const {
  const DWORD play = PlayCursor(b);
  if (!b.playing || b.data.empty()) return play;
  const DWORD lead = static_cast<DWORD>(AdvanceBytes(b, kWriteLeadMicros));
  return static_cast<DWORD>((uint64_t{play} + lead) % b.Size());
}

void Mixer::Log(uint32_t serial, SoundEventKind kind, uint64_t micros) {
  if (events_.size() < kMaxEvents) events_.push_back({micros / 1000, serial, kind});
}

BufferState* Mixer::Add(BufferState state) {
  state.serial = nextSerial++;
  auto* b = new BufferState(std::move(state));
  buffers_.push_back(b);
  return b;
}

void Mixer::Remove(BufferState* b) {
  std::erase(buffers_, b);
  delete b;
}

void Mixer::Start(BufferState& b, bool looping) {
  const uint64_t now = Now();
  if (b.playing) {
    b.startPos = PlayCursor(b);
  }
  b.playing = true;
  b.looping = looping;
  b.startMicros = now;
  b.mixStartFrame = FrameAtOrAfter(now);
  b.settledMicros = now;
  Log(b.serial, SoundEventKind::Play, now);
}

void Mixer::Halt(BufferState& b, SoundEventKind why, uint64_t whenMicros) {
  if (!b.playing) return;
  b.startPos = why == SoundEventKind::End ? 0 : PlayCursor(b);
  b.playing = false;
  b.looping = false;
  Log(b.serial, why, whenMicros);
}

void Mixer::SetPosition(BufferState& b, DWORD position) {
  position -= position % Align(b);
  if (b.playing) {
    const uint64_t now = Now();
    b.startMicros = now;
    b.mixStartFrame = FrameAtOrAfter(now);
    b.settledMicros = now;
  }
  b.startPos = position;
}

void Mixer::Settle(BufferState& b, uint64_t now) {
  if (!b.playing || b.data.empty()) return;
  const uint64_t size = b.Size();
  if (b.looping) {
    const uint64_t wrapsBefore = (b.startPos + AdvanceBytes(b, b.settledMicros - b.startMicros)) / size;
    const uint64_t wrapsNow = (b.startPos + AdvanceBytes(b, now - b.startMicros)) / size;
    for (uint64_t k = wrapsBefore + 1; k <= wrapsNow && events_.size() < kMaxEvents; ++k)
      Log(b.serial, SoundEventKind::Wrap, b.startMicros + MicrosToReach(b, k * size - b.startPos));
    b.settledMicros = now;
    return;
  }
  const uint64_t end = b.startMicros + MicrosToReach(b, size - b.startPos);
  if (now >= end) {
    Halt(b, SoundEventKind::End, end);
  } else {
    b.settledMicros = now;
  }
}

void Mixer::MixInto(const BufferState& b, uint64_t from, uint64_t to, std::vector<double>& acc) const {
  const uint64_t frames = b.data.size() / Align(b);
  if (frames == 0) return;
  const uint64_t rate = b.format.nSamplesPerSec;
  const uint64_t startFrame = b.startPos / Align(b);
  const bool stereo = b.format.nChannels == 2;
  const double volume = Gain(b.volume);
  const double left = volume * (b.pan > 0 ? Gain(-b.pan) : 1.0);
  const double right = volume * (b.pan < 0 ? Gain(b.pan) : 1.0);
  for (uint64_t f = std::max(from, b.mixStartFrame); f < to; ++f) {
    // The source phase runs from the first output frame at or after Play, so a source
    // at the output rate lands sample for sample.
    const uint64_t step = (f - b.mixStartFrame) * rate;
    uint64_t i = startFrame + step / sim::kMixRate;
    const double frac = static_cast<double>(step % sim::kMixRate) / sim::kMixRate;
    if (i >= frames) {
      if (!b.looping) break;
      i %= frames;
    }
    uint64_t j = i + 1;
    if (j >= frames) j = b.looping ? 0 : i;
    for (uint32_t c = 0; c < 2; ++c) {
      const uint32_t ch = stereo ? c : 0;
      const double s0 = SampleAt(b, i, ch);
      const double s = frac == 0.0 ? s0 : s0 + (SampleAt(b, j, ch) - s0) * frac;
      acc[2 * (f - from) + c] += s * (c == 0 ? left : right);
    }
  }
}

void Mixer::Render(uint64_t now) {
  const uint64_t target = FrameAtOrAfter(now);
  if (target <= renderedFrames_) return;
  const uint64_t from = renderedFrames_;
  renderedFrames_ = target;
  if (sink_ == sim::SoundSink::Null) return;
  std::vector<double> acc(2 * (target - from), 0.0);
  for (const BufferState* b : buffers_)
    if (b->playing && !b->primary) MixInto(*b, from, target, acc);
  capture.reserve(capture.size() + acc.size());
  for (double v : acc) capture.push_back(static_cast<int16_t>(std::clamp(std::nearbyint(v), -32768.0, 32767.0)));
}

void Mixer::Update() {
  const uint64_t now = Now();
  Render(now);
  for (BufferState* b : buffers_) Settle(*b, now);
}

void Mixer::SetSink(sim::SoundSink sink) {
  Update();
  sink_ = sink;
}

std::vector<sim::SoundEvent> Mixer::Events() const {
  std::vector<sim::SoundEvent> sorted = events_;
  std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.ms < b.ms; });
  return sorted;
}

void Mixer::LoseAll(const void* keptDevice) {
  Update();
  const uint64_t now = Now();
  for (BufferState* b : buffers_) {
    if (b->primary || (keptDevice && b->device == keptDevice)) continue;
    if (b->playing) {
      b->startPos = PlayCursor(*b);
      b->playing = false;
      b->looping = false;
    }
    b->lost = true;
    Log(b->serial, SoundEventKind::Lost, now);
  }
}

void Mixer::Reset() {
  SetSink(sim::SoundSink::Null);
  audioAvailable = true;
  restoreFailures = 0;
  writePrimary = nullptr;
  capture.clear();
  events_.clear();
}

void Mixer::StartRealTimeThread() {
  if (threadStarted_) return;
  threadStarted_ = true;
  std::thread([] {
    Mixer& m = Instance();
    for (;;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kRealTimeRenderMs));
      std::lock_guard lock(m.Mutex());
      if (!IsVirtual()) m.Update();
    }
  }).detach();
}

}  // namespace plat::detail
