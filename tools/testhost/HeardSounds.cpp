// A radix-2 transform for the spectra, and the placing of the spectra's likest.
#include "testhost/HeardSounds.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace testhost {

namespace {

// A sound is told by this much of it after its first window (which a player may fade
// in), as a mark's sound is.
constexpr double kSkipMs = 5.0;
constexpr double kShapeMs = 100.0;
// The spectra's transform length, and the highest frequency compared: the game's sounds
// lie well below it, and above it the recordings hold mostly noise.
constexpr size_t kTransform = 8192;
constexpr double kHighestHz = 5000.0;
// The sounds placed sample by sample: enough to hold the sets of voices whose pitches
// lie a hertz apart, which their spectra cannot tell.
constexpr size_t kPlaced = 8;
// An onset marks a loudness window; the sound starts within a window of it.
constexpr double kOnsetWindowMs = 8.0;

void Transform(std::vector<std::complex<double>>& a) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t length = 2; length <= n; length <<= 1) {
    const std::complex<double> step = std::polar(1.0, -2 * std::numbers::pi / double(length));
    for (size_t i = 0; i < n; i += length) {
      std::complex<double> w = 1;
      for (size_t k = 0; k < length / 2; ++k) {
        const std::complex<double> u = a[i + k], v = a[i + k + length / 2] * w;
        a[i + k] = u + v;
        a[i + k + length / 2] = u - v;
        w *= step;
      }
    }
  }
}

// The magnitudes of `count` samples from `from` (Hann-windowed), up to kHighestHz, scaled
// to unit length; empty when silent.
std::vector<double> Spectrum(const std::vector<float>& samples, size_t from, size_t count, uint32_t rate) {
  std::vector<std::complex<double>> a(kTransform);
  count = std::min({count, kTransform, from < samples.size() ? samples.size() - from : 0});
  for (size_t i = 0; i < count; ++i) {
    const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / double(count));
    a[i] = hann * samples[from + i];
  }
  Transform(a);
  const size_t bins = std::min(kTransform / 2, size_t(kHighestHz * double(kTransform) / rate));
  std::vector<double> out(bins);
  double sum = 0;
  for (size_t i = 0; i < bins; ++i) sum += (out[i] = std::abs(a[i])) * out[i];
  if (sum <= 0) return {};
  for (double& v : out) v /= std::sqrt(sum);
  return out;
}

double Dot(const std::vector<double>& a, const std::vector<double>& b) {
  double sum = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) sum += a[i] * b[i];
  return sum;
}

size_t Samples(double ms, uint32_t rate) { return size_t(std::lround(ms * rate / 1000.0)); }

}  // namespace

SoundNamer::SoundNamer(const std::vector<NamedSound>& sounds, uint32_t rate) : sounds_(sounds), rate_(rate) {
  const size_t skip = Samples(kSkipMs, rate), shape = Samples(kShapeMs, rate);
  for (const NamedSound& s : sounds) {
    const size_t from = std::min(s.samples.size() / 4, skip);
    const size_t end = std::min(s.samples.size(), from + shape);
    shapes_.emplace_back(s.samples.begin() + std::ptrdiff_t(from), s.samples.begin() + std::ptrdiff_t(end));
    spectra_.push_back(Spectrum(shapes_.back(), 0, shapes_.back().size(), rate));
  }
}

HeardSound SoundNamer::At(const SoundTrack& track, double onsetMs, const std::vector<Playing>& going,
                          Playing* started) const {
  HeardSound best{uint32_t(std::lround(onsetMs)), {}, -1};
  if (sounds_.empty() || track.rate != rate_) return best;
  const size_t shape = Samples(kShapeMs, rate_);
  const double fromMs = std::max(0.0, onsetMs - kOnsetWindowMs);
  const SoundTrack alone =
      WithoutGoingOn(track, fromMs, onsetMs + kSkipMs + kShapeMs + 2 * kOnsetWindowMs, onsetMs, going);
  const double at = onsetMs - fromMs;
  const std::vector<double> here = Spectrum(alone.mono, Samples(at + kSkipMs, rate_), shape, rate_);
  std::vector<std::pair<double, size_t>> ranked;
  for (size_t i = 0; i < sounds_.size(); ++i) ranked.emplace_back(-Dot(here, spectra_[i]), i);
  const size_t placed = std::min(kPlaced, ranked.size());
  std::partial_sort(ranked.begin(), ranked.begin() + std::ptrdiff_t(placed), ranked.end());
  best.name = sounds_[ranked.front().second].name;
  size_t bestIndex = ranked.front().second;
  double bestAt = onsetMs;
  for (size_t r = 0; r < placed; ++r) {
    const size_t i = ranked[r].second;
    const Placed p = BestPlace(alone, shapes_[i], at + kSkipMs - kOnsetWindowMs, at + kSkipMs + kOnsetWindowMs);
    if (p.likeness > best.likeness || (p.likeness == best.likeness && sounds_[i].name < best.name)) {
      best.name = sounds_[i].name, best.likeness = p.likeness;
      bestIndex = i, bestAt = p.atMs + fromMs - kSkipMs;
    }
  }
  if (started) *started = {&sounds_[bestIndex].samples, bestAt, 0};
  return best;
}

std::vector<HeardSound> NameHeardSounds(const SoundTrack& track, const std::vector<NamedSound>& sounds,
                                        const std::vector<double>& startsMs) {
  std::vector<HeardSound> heard;
  if (!track.rate || sounds.empty()) return heard;
  const SoundNamer namer(sounds, track.rate);
  std::vector<Playing> going;
  const std::vector<double> onsets = Onsets(track);
  for (size_t o = 0; o < onsets.size(); ++o) {
    const double onset = onsets[o];
    // The starts nearer this onset than any other.
    size_t count = 0;
    for (const double start : startsMs) {
      const bool nearest = (o == 0 || start - onsets[o - 1] > onset - start) &&
                           (o + 1 == onsets.size() || onsets[o + 1] - start > start - onset);
      if (nearest && std::fabs(start - onset) <= kSkipMs + 1) ++count;
    }
    for (size_t n = 0; n < std::max<size_t>(count, 1); ++n) {
      Playing started;
      heard.push_back(namer.At(track, onset, going, &started));
      going.push_back(started);
    }
  }
  return heard;
}

}  // namespace testhost
