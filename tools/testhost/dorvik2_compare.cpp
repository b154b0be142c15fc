// dorvik2-compare: the Windows host's record of a game against the headless run's.
//   dorvik2-compare frames HEADLESS-DIR MARKED-DIR WINDOWS-DIR
//     Each checkpoint the Windows host captured (WINDOWS-DIR/checkpoints/<name>/) against
//     the headless frame of that name (HEADLESS-DIR/frames/NNN-<name>.png), outside the
//     text places the marked run (MARKED-DIR, played with --mark-text-cells) shows. Of the
//     captures around the checkpoint the one with the fewest differences outside text
//     is taken. Prints the share of differing pixels per checkpoint and the places
//     where they differ, and the pixels of the key colour in each capture, text places
//     included; exit 0 when no checkpoint differs outside text and no capture shows the
//     key colour.
//   dorvik2-compare sound HEADLESS.wav WINDOWS.wav TOLERANCE-MS
//     The onsets of the headless sound against those heard under Windows, the latency
//     between the two recordings taken as the offset that matches the most onsets;
//     exit 0 when every headless onset is heard within the tolerance.
//   dorvik2-compare marks WINDOWS.wav TOLERANCE-MS MS:SOUND... [--sounds FOLDER]... [--quiet FROM-MS TO-MS]...
//     Sounds played at known moments of one timeline, each named by its file (WAV or Ogg
//     Vorbis, in the first FOLDER that holds it), placed on the recording by the offset
//     that matches the most; exit 0 when each is heard within the tolerance and is, by
//     its shape, its own sound rather than another named, and inside a quiet window (its
//     ends on the same timeline) every stretch of sound is a marked one going on, also
//     after a drop of the player, and never a second sound started meanwhile.
#include <png.h>

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "testhost/FrameComparison.h"
#include "testhost/HeardSounds.h"
#include "testhost/SoundFiles.h"
#include "testhost/SoundMarks.h"
#include "testhost/SoundOnsets.h"

namespace {

namespace fs = std::filesystem;
using testhost::ComparedImage;

// Text of the other renderer runs past the headless cells by this much.
constexpr int kTextMarginX = 6;
constexpr int kTextMarginY = 3;
constexpr int kPlaceCell = 8;
// Each run places a moving card up to a pixel off its place, so the same card may stand
// two pixels apart in the two frames.
constexpr int kJitterReach = 2;
constexpr size_t kPlacesShown = 6;
// The latency searched for between the headless and the real recording: the real one
// starts before Wine does, some seconds ahead of the game.
constexpr double kLatencyFromMs = -2000;
constexpr double kLatencyToMs = 20000;
bool ReadPng(const fs::path& path, ComparedImage& out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.string().c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  out.width = int(image.width);
  out.height = int(image.height);
  out.rgb.resize(PNG_IMAGE_SIZE(image));
  const bool ok = png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

// The headless record's frame of a checkpoint: NNN-<name>.png.
fs::path FrameNamed(const fs::path& record, const std::string& name) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(record / "frames", ec)) {
    const std::string file = entry.path().filename().string();
    const size_t dash = file.find('-');
    if (dash != std::string::npos && file.substr(dash + 1) == name + ".png") return entry.path();
  }
  return {};
}

int CompareFramesOfRecords(const fs::path& headless, const fs::path& marked, const fs::path& windows) {
  std::error_code ec;
  std::vector<fs::path> checkpoints;
  for (const auto& entry : fs::directory_iterator(windows / "checkpoints", ec))
    if (entry.is_directory()) checkpoints.push_back(entry.path());
  // In the script's order: the headless frames' numbers give it.
  std::sort(checkpoints.begin(), checkpoints.end(), [&](const fs::path& a, const fs::path& b) {
    return FrameNamed(headless, a.filename().string()).filename() < FrameNamed(headless, b.filename().string()).filename();
  });
  if (checkpoints.empty()) {
    std::printf("frames: no checkpoint captures in %s\n", windows.string().c_str());
    return 1;
  }
  int failed = 0, keyed = 0;
  int64_t keyPixels = 0;
  for (const fs::path& folder : checkpoints) {
    const std::string name = folder.filename().string();
    ComparedImage plain, mark;
    if (!ReadPng(FrameNamed(headless, name), plain) || !ReadPng(FrameNamed(marked, name), mark)) {
      std::printf("checkpoint %s: no headless frame of it\n", name.c_str());
      ++failed;
      continue;
    }
    const std::vector<uint8_t> text = testhost::TextPlaces(plain, mark, kTextMarginX, kTextMarginY);
    testhost::FrameDifference best;
    std::string bestCapture;
    std::vector<fs::path> captures;
    for (const auto& entry : fs::directory_iterator(folder, ec)) captures.push_back(entry.path());
    std::sort(captures.begin(), captures.end());
    std::string keyCounts;
    int64_t keyHere = 0;
    for (const fs::path& capture : captures) {
      ComparedImage real;
      if (!ReadPng(capture, real)) continue;
      // Every capture, not only the nearest: a keyed pixel on screen is wrong at any moment.
      const int64_t key = testhost::KeyColourPixels(real);
      keyHere += key;
      keyCounts += (keyCounts.empty() ? "" : ", ") + capture.stem().string() + " " + std::to_string(key);
      const testhost::FrameDifference d = testhost::CompareFrames(real, plain, text, kPlaceCell, kJitterReach);
      if (!d.comparable) continue;
      if (bestCapture.empty() || d.outsideText < best.outsideText ||
          (d.outsideText == best.outsideText && d.differing < best.differing)) {
        best = d;
        bestCapture = capture.stem().string();
      }
    }
    if (bestCapture.empty()) {
      std::printf("checkpoint %s: no capture of the headless frame's size\n", name.c_str());
      ++failed;
      continue;
    }
    int64_t textPixels = 0;
    for (uint8_t t : text) textPixels += t;
    std::printf("checkpoint %s: nearest capture %s; %.2f%% of pixels differ, %.2f%% of pixels only where a card "
                "stands a pixel or two apart, %.2f%% outside text (%" PRId64 " px; text places cover %.1f%%)\n",
                name.c_str(), bestCapture.c_str(), 100.0 * best.Share(),
                100.0 * double(best.displaced) / double(best.pixels), 100.0 * best.OutsideShare(), best.outsideText,
                100.0 * double(textPixels) / double(best.pixels));
    for (size_t i = 0; i < best.places.size() && i < kPlacesShown; ++i)
      std::printf("  differs at %s\n", testhost::DescribeBox(best.places[i]).c_str());
    std::printf("  key colour pixels: %s\n", keyCounts.c_str());
    if (best.outsideText > 0) ++failed;
    if (keyHere > 0) ++keyed;
    keyPixels += keyHere;
  }
  std::printf("frames: %d of %zu checkpoints differ outside text\n", failed, checkpoints.size());
  std::printf("frames: %" PRId64 " pixels of the key colour in %d of %zu checkpoints\n", keyPixels, keyed,
              checkpoints.size());
  return failed || keyed ? 1 : 0;
}

bool ReadTrack(const std::string& path, testhost::SoundTrack& track) {
  std::string error;
  if (testhost::ReadWavFile(path, track, error)) return true;
  std::printf("sound: %s: %s\n", path.c_str(), error.c_str());
  return false;
}

int CompareSounds(const std::string& headlessPath, const std::string& windowsPath, double toleranceMs) {
  testhost::SoundTrack headless, windows;
  if (!ReadTrack(headlessPath, headless) || !ReadTrack(windowsPath, windows)) return 1;
  const auto expected = testhost::Onsets(headless), heard = testhost::Onsets(windows);
  const double offset = testhost::BestOffset(expected, heard, kLatencyFromMs, kLatencyToMs, toleranceMs);
  int late = 0;
  double worst = 0;
  for (const testhost::OnsetMatch& m : testhost::MatchOnsets(expected, heard, offset)) {
    worst = std::max(worst, std::fabs(m.ErrorMs()));
    if (std::fabs(m.ErrorMs()) > toleranceMs) {
      ++late;
      std::printf("  onset at %.0f ms: nearest heard %s\n", m.expectedMs,
                  m.heardMs < 0 ? "none" : (std::to_string(int64_t(std::llround(m.heardMs))) + " ms").c_str());
    }
  }
  std::printf("sound: %zu onsets headless (%.1f s, %u Hz), %zu heard (%.1f s, %u Hz); latency %.0f ms; %zu of %zu "
              "within %.0f ms, the farthest %.0f ms off\n",
              expected.size(), headless.Ms() / 1000.0, headless.rate, heard.size(), windows.Ms() / 1000.0,
              windows.rate, offset, expected.size() - size_t(late), expected.size(), toleranceMs, worst);
  return late || expected.empty() ? 1 : 0;
}

// Two sounds are the same when their shapes agree this well (the real system's copy of
// an effect agrees to 0.999); a sound of another pitch falls far below, and one with a
// second mixed in below, unless the second is some 15 dB quieter.
constexpr double kSameSound = 0.98;
// Where a mark's sound is looked for around the onset heard for it.
constexpr double kPlaceSearchMs = 15;
// How long after its start a sound may still be going on: its length, and the drops of
// a player that fell behind.
constexpr double kMostBehindMs = 500;

struct Mark {
  double ms = 0;
  size_t sound = 0;  // of the sounds named
};

// Sounds the real run played at known moments (ms on one timeline, the first mark
// standing wherever the recording puts it), each naming its sound: each must be heard
// within the tolerance and be that sound and no other of those named; inside a quiet
// window every stretch of sound must be a marked sound going on (also after a drop),
// never a second one started meanwhile.
int CheckMarks(const std::string& windowsPath, double toleranceMs, const std::vector<Mark>& marks,
               const std::vector<testhost::NamedSound>& sounds, const std::vector<testhost::QuietWindow>& quiet) {
  testhost::SoundTrack windows;
  if (!ReadTrack(windowsPath, windows)) return 1;
  std::vector<double> times;
  for (const Mark& m : marks) times.push_back(m.ms);
  const auto heard = testhost::Onsets(windows);
  const double offset = testhost::BestOffset(times, heard, 0, windows.Ms(), toleranceMs);
  size_t good = 0;
  std::vector<testhost::Playing> playing;
  std::printf("sound marks:");
  const auto matched = testhost::MatchOnsets(times, heard, offset);
  for (size_t i = 0; i < marks.size(); ++i) {
    const testhost::OnsetMatch& m = matched[i];
    const std::string& name = sounds[marks[i].sound].name;
    if (std::fabs(m.ErrorMs()) > toleranceMs) {
      std::printf(" %+.0f ms %s not heard;", m.expectedMs, name.c_str());
      continue;
    }
    const testhost::Identified seen = testhost::Identify(windows, m.heardMs + offset, kPlaceSearchMs, sounds,
                                                         marks[i].sound);
    const bool same = seen.named.likeness >= kSameSound && seen.named.likeness > seen.likestOtherLikeness;
    good += same ? 1 : 0;
    std::printf(" %+.0f ms %s heard %" PRId64 " ms off, likeness %.3f%s%s (%.3f);", m.expectedMs, name.c_str(),
                int64_t(std::llround(m.ErrorMs())), seen.named.likeness, same ? "" : " NOT IT",
                seen.likestOther.empty() ? "" : (", the likest other " + seen.likestOther).c_str(),
                seen.likestOtherLikeness);
    // A sound that repeats itself (a tone) fits as well a few periods later: it started
    // no later than its onset.
    if (seen.named.atMs >= 0)
      playing.push_back({&sounds[marks[i].sound].samples, std::min(seen.named.atMs, m.heardMs + offset), 0});
  }
  std::printf(" %zu onsets in %.1f s, the first mark at %.0f ms of the recording\n", heard.size(),
              windows.Ms() / 1000.0, offset);
  size_t stray = 0;
  for (const testhost::Stretch& s : testhost::LoudStretches(windows)) {
    const double at = s.fromMs - offset;
    if (!std::any_of(quiet.begin(), quiet.end(), [at](const auto& w) { return at >= w.fromMs && at <= w.toMs; }))
      continue;
    bool explained = false;
    for (testhost::Playing& p : playing) {
      const double length = 1000.0 * double(p.samples->size()) / windows.rate;
      if (s.fromMs + kPlaceSearchMs >= p.startMs && s.fromMs <= p.startMs + length + kMostBehindMs &&
          testhost::Continues(windows, s, p, kSameSound)) {
        explained = true;
        break;
      }
    }
    if (explained) continue;
    ++stray;
    std::printf("sound at %+.0f to %+.0f ms: no marked sound's, nor one going on\n", at, s.toMs - offset);
  }
  for (const testhost::QuietWindow& w : quiet) std::printf("quiet %+.0f to %+.0f ms\n", w.fromMs, w.toMs);
  std::printf("%zu of %zu marks heard as their sound; %zu stretches of sound not marked\n", good, marks.size(), stray);
  return good == marks.size() && !marks.empty() && stray == 0 ? 0 : 1;
}

// MS:NAME, NAME found in the first of `folders` that holds it; false when it is in none
// or cannot be read.
bool ReadMark(const std::string& word, const std::vector<fs::path>& folders, uint32_t rate, Mark& mark,
              std::vector<testhost::NamedSound>& sounds) {
  const size_t colon = word.find(':');
  if (colon == std::string::npos || colon + 1 == word.size()) return false;
  mark.ms = std::atof(word.substr(0, colon).c_str());
  const std::string name = word.substr(colon + 1);
  for (size_t i = 0; i < sounds.size(); ++i)
    if (sounds[i].name == name) return mark.sound = i, true;
  for (const fs::path& folder : folders) {
    std::vector<float> samples;
    if (!fs::exists(folder / name) || !testhost::ReadSoundFile(folder / name, rate, samples)) continue;
    mark.sound = sounds.size();
    sounds.push_back({name, std::move(samples)});
    return true;
  }
  std::printf("sound marks: %s: no such sound in the folders given\n", name.c_str());
  return false;
}

// Each onset of the recording with the likest sound of the folder, as a script stores them.
int PrintHeard(const std::string& path, const fs::path& folder) {
  testhost::SoundTrack track;
  if (!ReadTrack(path, track)) return 1;
  const std::vector<testhost::NamedSound> sounds = testhost::ReadSoundFolder(folder, track.rate);
  if (sounds.empty()) {
    std::printf("heard: no sound files in %s\n", folder.string().c_str());
    return 1;
  }
  for (const testhost::HeardSound& h : testhost::NameHeardSounds(track, sounds))
    std::printf("sound %" PRIu32 " %s  # likeness %.3f\n", h.ms, h.name.c_str(), h.likeness);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "frames" && argc == 5) return CompareFramesOfRecords(argv[2], argv[3], argv[4]);
  if (mode == "sound" && argc == 5) return CompareSounds(argv[2], argv[3], std::atof(argv[4]));
  if (mode == "heard" && argc == 4) return PrintHeard(argv[2], argv[3]);
  if (mode == "marks" && argc >= 5) {
    std::vector<std::string> words;
    std::vector<fs::path> folders;
    std::vector<testhost::QuietWindow> quiet;
    bool ok = true;
    for (int i = 4; i < argc; ++i) {
      const std::string word = argv[i];
      if (word == "--quiet" && i + 2 < argc) {
        quiet.push_back({std::atof(argv[i + 1]), std::atof(argv[i + 2])});
        i += 2;
      } else if (word == "--sounds" && i + 1 < argc) {
        folders.emplace_back(argv[++i]);
      } else if (word.rfind("--", 0) == 0) {
        ok = false;
      } else {
        words.push_back(word);
      }
    }
    testhost::SoundTrack probe;
    if (ok && !words.empty() && ReadTrack(argv[2], probe)) {
      std::vector<Mark> marks(words.size());
      std::vector<testhost::NamedSound> sounds;
      for (size_t i = 0; i < words.size(); ++i)
        if (!ReadMark(words[i], folders, probe.rate, marks[i], sounds)) return 1;
      return CheckMarks(argv[2], std::atof(argv[3]), marks, sounds, quiet);
    }
  }
  std::fprintf(stderr,
               "usage: dorvik2-compare frames HEADLESS-DIR MARKED-DIR WINDOWS-DIR\n"
               "       dorvik2-compare sound HEADLESS.wav WINDOWS.wav TOLERANCE-MS\n"
               "       dorvik2-compare heard RECORDING.wav SOUND-FOLDER\n"
               "       dorvik2-compare marks WINDOWS.wav TOLERANCE-MS MS:SOUND... [--sounds FOLDER]... "
               "[--quiet FROM-MS TO-MS]...\n");
  return 2;
}
