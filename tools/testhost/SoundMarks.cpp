// Likeness as normalised cross-correlation over sample stretches; a sound placed by the
// best of it in sample steps.
#include "testhost/SoundMarks.h"

#include <algorithm>
#include <cmath>

namespace testhost {

namespace {

// How far a stretch's edges may stand from the sound's own: the loudness windows cut
// stretches in 5 ms steps, and a sound's first and last milliseconds may fall under the
// floor.
constexpr double kEdgeMs = 10.0;
// One loudness window: what a stretch's edge may hold of quiet.
constexpr double kWindowEdgeMs = 5.0;
// A stretch is held to its sound piece by piece, each piece placed after the one before
// within a player's drift (a clock a little off stretches a sound by some tenths of a
// per cent: a millisecond over a second's sound).
constexpr double kPieceMs = 20.0;
constexpr double kDriftMs = 1.0;
// A sound is told from another by a stretch of this length from its start: long enough
// to tell pitches some per cent apart, short enough for a clock's drift to stay small.
constexpr double kIdentifyMs = 100.0;
// What a sound going on over an onset is fitted by: this much of it just before.
constexpr double kFitMs = 20.0;

size_t ToSamples(double ms, uint32_t rate) {
  const double samples = std::round(ms * rate / 1000.0);
  return samples > 0 ? size_t(samples) : 0;
}
double ToMs(size_t samples, uint32_t rate) { return 1000.0 * double(samples) / double(rate); }

}  // namespace

std::vector<float> Resampled(const std::vector<float>& samples, uint32_t fromRate, uint32_t toRate) {
  if (fromRate == 0 || toRate == 0 || samples.empty()) return {};
  if (fromRate == toRate) return samples;
  const size_t n = size_t(double(samples.size()) * toRate / fromRate);
  std::vector<float> out(n);
  for (size_t i = 0; i < n; ++i) {
    const double at = double(i) * fromRate / toRate;
    const size_t k = size_t(at);
    const double f = at - double(k);
    const float next = k + 1 < samples.size() ? samples[k + 1] : samples[k];
    out[i] = float(samples[k] * (1.0 - f) + next * f);
  }
  return out;
}

double Likeness(const std::vector<float>& a, size_t aFrom, const std::vector<float>& b, size_t bFrom, size_t length) {
  if (length == 0 || aFrom > a.size() || bFrom > b.size() || length > a.size() - aFrom || length > b.size() - bFrom)
    return 0;
  double ab = 0, aa = 0, bb = 0;
  for (size_t i = 0; i < length; ++i) {
    const double x = a[aFrom + i], y = b[bFrom + i];
    ab += x * y;
    aa += x * x;
    bb += y * y;
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

Placed BestPlace(const SoundTrack& track, const std::vector<float>& sound, double fromMs, double toMs) {
  Placed best;
  if (!track.rate || sound.empty()) return best;
  const size_t last = ToSamples(toMs, track.rate);
  for (size_t at = ToSamples(fromMs, track.rate); at <= last; ++at) {
    const double likeness = Likeness(track.mono, at, sound, 0, sound.size());
    if (likeness > best.likeness) best = {likeness, ToMs(at, track.rate)};
  }
  return best;
}

Identified Identify(const SoundTrack& track, double heardMs, double searchMs, const std::vector<NamedSound>& sounds,
                    size_t named) {
  return Identify(track, heardMs, searchMs, sounds, std::vector<size_t>{named});
}

Identified Identify(const SoundTrack& track, double heardMs, double searchMs, const std::vector<NamedSound>& sounds,
                    const std::vector<size_t>& alike, const std::vector<size_t>& among) {
  Identified out;
  const auto considered = [&](size_t i) {
    return among.empty() || std::find(alike.begin(), alike.end(), i) != alike.end() ||
           std::find(among.begin(), among.end(), i) != among.end();
  };
  const auto isAlike = [&](size_t i) {
    return std::any_of(alike.begin(), alike.end(), [&](size_t a) { return a == i || sounds[a].name == sounds[i].name; });
  };
  for (size_t i = 0; i < sounds.size(); ++i) {
    if (!considered(i)) continue;
    // The first window is left out: a player may bring a sound in over its first
    // milliseconds (the real system's does, over some 5 ms).
    const std::vector<float>& all = sounds[i].samples;
    const size_t skip = std::min(all.size() / 4, ToSamples(kWindowEdgeMs, track.rate));
    const size_t end = std::min(all.size(), skip + ToSamples(kIdentifyMs, track.rate));
    const std::vector<float> first(all.begin() + std::ptrdiff_t(skip), all.begin() + std::ptrdiff_t(end));
    Placed placed = BestPlace(track, first, heardMs + kWindowEdgeMs - searchMs, heardMs + kWindowEdgeMs + searchMs);
    // A player that fell behind drops or repeats a few milliseconds: the shape is also
    // held piece by piece, each near where the one before ended, and the middle of the
    // pieces' likenesses counts when it is the higher.
    if (placed.atMs >= 0) {
      const size_t piece = ToSamples(kPieceMs, track.rate);
      std::vector<double> likeness;
      double at = placed.atMs;
      for (size_t from = 0; from + piece <= first.size(); from += piece) {
        const std::vector<float> part(first.begin() + std::ptrdiff_t(from), first.begin() + std::ptrdiff_t(from + piece));
        const Placed p = BestPlace(track, part, at - searchMs, at + searchMs);
        likeness.push_back(p.likeness);
        if (p.atMs >= 0) at = p.atMs + kPieceMs;
      }
      if (!likeness.empty()) {
        std::nth_element(likeness.begin(), likeness.begin() + std::ptrdiff_t(likeness.size() / 2), likeness.end());
        placed.likeness = std::max(placed.likeness, likeness[likeness.size() / 2]);
      }
    }
    if (placed.atMs >= 0) placed.atMs -= ToMs(skip, track.rate);
    if (isAlike(i)) {
      if (placed.likeness > out.named.likeness) out.named = placed;
    } else if (placed.likeness > out.likestOtherLikeness) {
      out.likestOther = sounds[i].name;
      out.likestOtherLikeness = placed.likeness;
    }
  }
  return out;
}

SoundTrack WithoutGoingOn(const SoundTrack& track, double fromMs, double toMs, double onsetMs,
                          const std::vector<Playing>& going) {
  SoundTrack piece;
  piece.rate = track.rate;
  if (!track.rate) return piece;
  const size_t from = ToSamples(std::max(0.0, fromMs), track.rate);
  const size_t to = std::min(track.mono.size(), ToSamples(std::max(0.0, toMs), track.rate));
  if (from >= to) return piece;
  piece.mono.assign(track.mono.begin() + std::ptrdiff_t(from), track.mono.begin() + std::ptrdiff_t(to));
  // The loudness of each sound is fitted where it sounds alone: before the onset's
  // window; one started in that window (another sound started with it), over its first
  // part, where the others add little.
  const size_t before = ToSamples(std::max(0.0, onsetMs - kWindowEdgeMs), track.rate);
  for (const Playing& p : going) {
    if (!p.samples || p.startMs > onsetMs + kFitMs) continue;
    const std::vector<float>& sound = *p.samples;
    if (p.startMs + ToMs(sound.size(), track.rate) < fromMs) continue;
    const auto own = [&](size_t at) -> float {
      const double ms = ToMs(at, track.rate) - p.startMs;
      if (ms < 0) return 0;
      const size_t i = ToSamples(ms, track.rate);
      return i < sound.size() ? sound[i] : 0.0f;
    };
    const bool started = p.startMs + kFitMs + kWindowEdgeMs <= onsetMs;
    const size_t fitFrom =
        started ? ToSamples(std::max(0.0, onsetMs - kFitMs - kWindowEdgeMs), track.rate) : ToSamples(p.startMs, track.rate);
    const size_t fitTo = started ? before : ToSamples(p.startMs + kIdentifyMs, track.rate);
    double rs = 0, ss = 0;
    for (size_t at = fitFrom; at < fitTo && at < track.mono.size(); ++at) {
      rs += double(track.mono[at]) * own(at);
      ss += double(own(at)) * own(at);
    }
    if (ss <= 0) continue;
    const double gain = rs / ss;
    for (size_t at = from; at < to; ++at) piece.mono[at - from] -= float(gain * own(at));
  }
  return piece;
}

Identified IdentifyOver(const SoundTrack& track, double heardMs, double searchMs, const std::vector<NamedSound>& sounds,
                        const std::vector<size_t>& alike, const std::vector<size_t>& among,
                        const std::vector<Playing>& going) {
  const double fromMs = std::max(0.0, heardMs - searchMs - kWindowEdgeMs);
  const SoundTrack piece =
      WithoutGoingOn(track, fromMs, heardMs + kIdentifyMs + searchMs + 2 * kWindowEdgeMs, heardMs, going);
  Identified seen = Identify(piece, heardMs - fromMs, searchMs, sounds, alike, among);
  if (seen.named.atMs >= 0) seen.named.atMs += fromMs;
  return seen;
}

bool Continues(const SoundTrack& track, const Stretch& stretch, Playing& playing, double sameSound) {
  if (!track.rate || !playing.samples || playing.samples->empty()) return false;
  const std::vector<float>& sound = *playing.samples;
  const uint32_t rate = track.rate;
  // The loudness windows' edges may hold a little quiet: the inside is compared, or the
  // whole of a stretch too short to have one.
  double fromMs = stretch.fromMs + kWindowEdgeMs, toMs = stretch.toMs - kWindowEdgeMs;
  if (toMs - fromMs < kPieceMs) fromMs = stretch.fromMs, toMs = stretch.toMs;
  const size_t from = ToSamples(fromMs, rate), end = ToSamples(toMs, rate), piece = ToSamples(kPieceMs, rate);
  // The sound's own time at the first piece: not before what was already heard of it,
  // not ahead of the time since it started. Each later piece follows the one before,
  // within the drift of a player's clock.
  size_t lowest = ToSamples(playing.heardUpToMs - kEdgeMs, rate);
  size_t highest = ToSamples(fromMs - playing.startMs + kEdgeMs, rate);
  const size_t drift = ToSamples(kDriftMs, rate);
  const size_t edge = ToSamples(kEdgeMs, rate);
  size_t own = 0;
  for (size_t at = from; at < end; at += piece) {
    // The piece must lie inside the sound, but for an edge's quiet at its end: a stretch
    // that goes on past it is a loop, or another sound joined to its end.
    const size_t need = std::min(piece, end - at);
    double best = -1;
    size_t bestOwn = 0;
    for (size_t o = lowest; o <= highest && o + need <= sound.size() + edge && o < sound.size(); ++o) {
      const double likeness = Likeness(track.mono, at, sound, o, std::min(need, sound.size() - o));
      if (likeness > best) best = likeness, bestOwn = o;
    }
    if (best < sameSound) return false;
    own = bestOwn + std::min(need, sound.size() - bestOwn);
    lowest = own > drift ? own - drift : 0;
    highest = own + drift;
  }
  playing.heardUpToMs = ToMs(own, rate);
  return true;
}

}  // namespace testhost
