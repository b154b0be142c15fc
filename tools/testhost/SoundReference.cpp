#include "testhost/SoundReference.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace testhost {

namespace {

// The script stores a sound at the onset its headless run heard for it; sounds started
// together share one.
constexpr double kSameOnsetMs = 30;
// A heard onset is the one a match took when their times agree this well (both are
// whole samples of one recording).
constexpr double kSameHeardMs = 0.5;
// How far from a missed onset the sound heard nearest it is still taken for it.
constexpr double kMissedReachMs = 1000;

template <typename... Args>
std::string Said(const char* format, Args... args) {
  char line[512];
  std::snprintf(line, sizeof line, format, args...);
  return line;
}

}  // namespace

ReferenceVerdict CheckReference(const SoundTrack& track, const SoundTrack& headless, const std::vector<double>& heard,
                                double offsetMs,
                                const std::vector<OnsetMatch>& matches, const std::vector<double>& widestMs,
                                const std::vector<ExpectedSound>& expected, const std::vector<NamedSound>& sounds,
                                const SoundNamer& folder) {
  ReferenceVerdict verdict;
  const auto lengthMs = [&](const ExpectedSound& e) {
    size_t longest = 0;
    for (size_t s : e.alike) longest = std::max(longest, sounds[s].samples.size());
    return 1000.0 * double(std::max(longest, sounds[e.sound].samples.size())) / double(track.rate);
  };
  // Each expected sound's match: where the recording heard its onset, and how late it
  // could come.
  std::vector<size_t> matchOf(expected.size(), matches.size());
  for (size_t i = 0; i < expected.size(); ++i)
    for (size_t m = 0; m < matches.size(); ++m)
      if (std::fabs(matches[m].expectedMs - expected[i].ms) <= kSameOnsetMs &&
          (matchOf[i] == matches.size() ||
           std::fabs(matches[m].expectedMs - expected[i].ms) < std::fabs(matches[matchOf[i]].expectedMs - expected[i].ms)))
        matchOf[i] = m;
  const auto widest = [&](size_t i) { return matchOf[i] < widestMs.size() ? widestMs[matchOf[i]] : 0.0; };
  // On the real clock a sound may start as late as its window: one whose span may meet
  // another's is heard mixed.
  const auto overlapped = [&](size_t i) {
    for (size_t j = 0; j < expected.size(); ++j) {
      if (j == i) continue;
      const double a = expected[i].ms, b = expected[j].ms;
      if ((b <= a && a < b + lengthMs(expected[j]) + widest(j)) || (a <= b && b < a + lengthMs(expected[i]) + widest(i)))
        return true;
    }
    return false;
  };
  // Each is held against its own sound (a voice's line: any of its variants), piece by
  // piece as a player that fell behind drops, and named from the whole folder: it is
  // itself when its own sound is heard and no other file likelier.
  struct Heard {
    double own = 0;    // the likeness of its own sound
    HeardSound likest;  // of the folder
    Playing placed;
  };
  const auto hear = [&](const SoundTrack& on, double atMs, const ExpectedSound& e, const std::vector<Playing>& going) {
    Heard h;
    const Identified own = IdentifyOver(on, atMs, kPlaceSearchMs, sounds, e.alike, e.alike, going);
    h.own = own.named.likeness;
    h.likest = folder.At(on, atMs, going);
    // A sound that repeats itself (a tone) fits as well a few periods later: it started
    // no later than its onset.
    h.placed = {&sounds[e.sound].samples, own.named.atMs >= 0 ? std::min(own.named.atMs, atMs) : atMs, 0};
    return h;
  };
  const auto alike = [&](const ExpectedSound& e, const std::string& name) {
    return std::any_of(e.alike.begin(), e.alike.end(), [&](size_t s) { return sounds[s].name == name; });
  };
  const auto itself = [&](const ExpectedSound& e, const Heard& h) {
    return h.own >= kSameSound && (alike(e, h.likest.name) || h.likest.likeness <= h.own);
  };
  std::vector<Playing> playing, playingHeadless;
  for (size_t i = 0; i < expected.size(); ++i) {
    if (matchOf[i] == matches.size() || matches[matchOf[i]].heardMs < 0) continue;
    const ExpectedSound& e = expected[i];
    const double at = matches[matchOf[i]].heardMs + offsetMs;
    // The headless run hears the game's own mix: where it does not hear the sound alone
    // either, the shape tells nothing.
    const Heard reference = hear(headless, matches[matchOf[i]].expectedMs, e, playingHeadless);
    playingHeadless.push_back(reference.placed);
    if (overlapped(i) || !itself(e, reference)) {
      ++verdict.byTime;
      playing.push_back({&sounds[e.sound].samples, at, 0});
      continue;
    }
    const Heard seen = hear(track, at, e, playing);
    playing.push_back(seen.placed);
    if (itself(e, seen)) {
      ++verdict.told;
    } else if (seen.likest.likeness >= kSameSound && !alike(e, seen.likest.name)) {
      ++verdict.notIt;
      verdict.lines.push_back(Said("%+.0f ms %s: heard as %s (likeness %.3f; its own %.3f)", e.ms,
                                   sounds[e.sound].name.c_str(), seen.likest.name.c_str(), seen.likest.likeness,
                                   seen.own));
    } else {
      ++verdict.unclear;
      verdict.lines.push_back(Said("%+.0f ms %s: heard as no sound (its own likeness %.3f; the likest file %s, %.3f)",
                                   e.ms, sounds[e.sound].name.c_str(), seen.own, seen.likest.name.c_str(),
                                   seen.likest.likeness));
    }
  }
  // A sound heard later than its window is the timing's failure, not a stray: the onset
  // nearest a missed one is taken as its own.
  std::vector<double> accounted;
  for (const OnsetMatch& m : matches) {
    if (m.heardMs >= 0) {
      accounted.push_back(m.heardMs + offsetMs);
      continue;
    }
    const double due = m.expectedMs + offsetMs;
    const auto nearest = std::min_element(heard.begin(), heard.end(), [&](double a, double b) {
      return std::fabs(a - due) < std::fabs(b - due);
    });
    if (nearest != heard.end() && std::fabs(*nearest - due) <= kMissedReachMs) accounted.push_back(*nearest);
  }
  for (double h : heard) {
    const bool matched =
        std::any_of(accounted.begin(), accounted.end(), [&](double a) { return std::fabs(a - h) <= kSameHeardMs; });
    if (matched) continue;
    const bool inside = std::any_of(playing.begin(), playing.end(), [&](const Playing& p) {
      return h >= p.startMs && h <= p.startMs + 1000.0 * double(p.samples->size()) / double(track.rate) + kMostBehindMs;
    });
    if (inside) continue;
    ++verdict.strays;
    verdict.lines.push_back(Said("%+.0f ms: a sound of none expected, nor inside one going on", h - offsetMs));
  }
  return verdict;
}

}  // namespace testhost
