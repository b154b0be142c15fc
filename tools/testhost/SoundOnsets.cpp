// RIFF chunks read field by field, a loudness envelope in short windows, and the
// nearest-onset matching.
#include "testhost/SoundOnsets.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace testhost {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint32_t kMaxChannels = 16;
// The envelope's window, the loudness an onset must reach, and how far above the
// loudest of the windows before it.
constexpr double kWindowMs = 5.0;
constexpr double kFloorRms = 0.01;
constexpr double kRise = 4.0;
constexpr int kLookBack = 4;

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= uint32_t(b[at + size_t(i)]) << (8 * i);
  return v;
}

float Sample(const std::vector<uint8_t>& b, size_t at, uint16_t format, uint16_t bits) {
  if (format == kFormatFloat) {
    const uint32_t raw = Le(b, at, 4);
    float f;
    std::memcpy(&f, &raw, sizeof f);
    return std::isfinite(f) ? std::clamp(f, -1.0f, 1.0f) : 0.0f;
  }
  switch (bits) {
    case 8: return (float(b[at]) - 128.0f) / 128.0f;
    case 16: return float(int16_t(uint16_t(Le(b, at, 2)))) / 32768.0f;
    default: return float(double(int32_t(Le(b, at, 4))) / 2147483648.0);
  }
}

}  // namespace

bool ReadWav(const std::vector<uint8_t>& b, SoundTrack& out, std::string& error) {
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
    error = "not a RIFF WAVE file";
    return false;
  }
  uint16_t format = 0, channels = 0, bits = 0;
  uint32_t rate = 0;
  size_t at = 12;
  while (at + 8 <= b.size()) {
    const uint32_t size = Le(b, at + 4, 4);
    const size_t body = at + 8;
    const size_t available = std::min<size_t>(size, b.size() - body);
    if (std::memcmp(b.data() + at, "fmt ", 4) == 0 && available >= 16) {
      format = uint16_t(Le(b, body, 2));
      channels = uint16_t(Le(b, body + 2, 2));
      rate = Le(b, body + 4, 4);
      bits = uint16_t(Le(b, body + 14, 2));
      if (format == kFormatExtensible && available >= 26) format = uint16_t(Le(b, body + 24, 2));
    } else if (std::memcmp(b.data() + at, "data", 4) == 0) {
      const bool known = (format == kFormatPcm && (bits == 8 || bits == 16 || bits == 32)) ||
                         (format == kFormatFloat && bits == 32);
      if (!known || channels == 0 || channels > kMaxChannels || rate == 0) {
        error = "an unknown sample format";
        return false;
      }
      const size_t frameBytes = size_t(channels) * (bits / 8);
      const size_t frames = available / frameBytes;
      out.rate = rate;
      out.mono.assign(frames, 0.0f);
      for (size_t f = 0; f < frames; ++f) {
        float sum = 0;
        for (uint16_t c = 0; c < channels; ++c) sum += Sample(b, body + f * frameBytes + c * (bits / 8), format, bits);
        out.mono[f] = sum / float(channels);
      }
      return true;
    }
    if (size > b.size() - body) break;
    at = body + size + (size & 1);
  }
  error = "no fmt and data chunks";
  return false;
}

namespace {

// A window of whole samples, about kWindowMs long; its length in ms is the samples' own
// (220 samples at 44.1 kHz are 4.99 ms: counted as 5, the times drift 55 ms in 22 s).
size_t WindowSamples(const SoundTrack& track) {
  return std::max<size_t>(1, size_t(double(track.rate) * kWindowMs / 1000.0));
}
double WindowMs(const SoundTrack& track) { return 1000.0 * double(WindowSamples(track)) / double(track.rate); }

// The loudness of each window.
std::vector<double> Envelope(const SoundTrack& track) {
  std::vector<double> rms;
  if (!track.rate) return rms;
  const size_t window = WindowSamples(track);
  for (size_t start = 0; start + window <= track.mono.size(); start += window) {
    double sum = 0;
    for (size_t i = start; i < start + window; ++i) sum += double(track.mono[i]) * double(track.mono[i]);
    rms.push_back(std::sqrt(sum / double(window)));
  }
  return rms;
}

}  // namespace

std::vector<Stretch> LoudStretches(const SoundTrack& track) {
  const std::vector<double> rms = Envelope(track);
  const double windowMs = WindowMs(track);
  std::vector<Stretch> out;
  bool inside = false;
  for (size_t k = 0; k < rms.size(); ++k) {
    if (rms[k] < kFloorRms) {
      inside = false;
      continue;
    }
    const double from = double(k) * windowMs;
    if (inside) {
      out.back().toMs = from + windowMs;
    } else {
      out.push_back({from, from + windowMs});
    }
    inside = true;
  }
  return out;
}

std::vector<double> Onsets(const SoundTrack& track, double gapMs) {
  std::vector<double> onsets;
  if (!track.rate) return onsets;
  const std::vector<double> rms = Envelope(track);
  double last = -1e9;
  for (size_t k = 0; k < rms.size(); ++k) {
    double before = 0;
    for (int j = 1; j <= kLookBack && size_t(j) <= k; ++j) before = std::max(before, rms[k - size_t(j)]);
    const double ms = double(k) * WindowMs(track);
    if (rms[k] >= kFloorRms && rms[k] >= kRise * before && ms - last >= gapMs) {
      onsets.push_back(ms);
      last = ms;
    }
  }
  return onsets;
}

std::vector<OnsetMatch> MatchOnsets(const std::vector<double>& expected, const std::vector<double>& heard,
                                    double offsetMs) {
  std::vector<OnsetMatch> out;
  for (double e : expected) {
    OnsetMatch m{e, -1};
    for (double h : heard) {
      const double shifted = h - offsetMs;
      if (m.heardMs < 0 || std::fabs(shifted - e) < std::fabs(m.heardMs - e)) m.heardMs = shifted;
    }
    out.push_back(m);
  }
  return out;
}

std::vector<OnsetMatch> MatchOnsetsWithin(const std::vector<double>& expected, const std::vector<double>& heard,
                                          double offsetMs, double earlyMs, const std::vector<double>& lateMs) {
  std::vector<OnsetMatch> out;
  for (size_t i = 0; i < expected.size(); ++i) {
    const double e = expected[i], late = i < lateMs.size() ? lateMs[i] : 0.0;
    OnsetMatch m{e, -1};
    for (double h : heard) {
      const double shifted = h - offsetMs;
      if (shifted < e - earlyMs || shifted > e + earlyMs + late) continue;
      if (m.heardMs < 0 || std::fabs(shifted - e) < std::fabs(m.heardMs - e)) m.heardMs = shifted;
    }
    out.push_back(m);
  }
  return out;
}

double BestOffset(const std::vector<double>& expected, const std::vector<double>& heard, double fromMs, double toMs,
                  double toleranceMs) {
  return BestOffset(expected, heard, fromMs, toMs, std::vector<double>(expected.size(), toleranceMs));
}

double BestOffset(const std::vector<double>& expected, const std::vector<double>& heard, double fromMs, double toMs,
                  const std::vector<double>& toleranceMs) {
  std::vector<double> sorted = heard;
  std::sort(sorted.begin(), sorted.end());
  double best = fromMs, bestError = 0;
  int bestCount = -1;
  for (double offset = fromMs; offset <= toMs; offset += 1.0) {
    int count = 0;
    double error = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
      // The nearest heard onset: one of the two around the expected one.
      const auto next = std::lower_bound(sorted.begin(), sorted.end(), expected[i] + offset);
      double nearest = 1e18;
      if (next != sorted.end()) nearest = *next - offset - expected[i];
      if (next != sorted.begin() && std::fabs(*(next - 1) - offset - expected[i]) <= std::fabs(nearest))
        nearest = *(next - 1) - offset - expected[i];
      if (std::fabs(nearest) > toleranceMs[i]) continue;
      ++count;
      error += std::fabs(nearest);
    }
    if (count > bestCount || (count == bestCount && error < bestError)) {
      best = offset;
      bestCount = count;
      bestError = error;
    }
  }
  return best;
}

}  // namespace testhost
