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
//   dorvik2-compare sound HEADLESS.wav WINDOWS.wav TOLERANCE-MS [--lateness FILE]
//                         [--script SCRIPT --sounds FOLDER...]
//     The onsets of the headless sound against those heard under Windows, the latency
//     between the two recordings taken as the offset that matches the most onsets;
//     exit 0 when every headless onset is heard within the tolerance, and no later than
//     the tolerance and the lateness FILE gives the script's sound there (lines "MS
//     LATE NAME": how late the Windows run measured itself around each sound). With
//     SCRIPT, its stored sounds (files in the first FOLDER that holds each) judged on
//     the Windows recording placed so: each alone is its own sound (a voice any variant
//     of its line), and every onset heard is one of them or inside one going on.
//   dorvik2-compare marks WINDOWS.wav TOLERANCE-MS MS[~LATE]:SOUND... [--sounds FOLDER]...
//                         [--quiet FROM-MS TO-MS]... [--anchor SOUND] [--overlaps-by-time] [--strays]
//     Sounds played at known moments of one timeline, each named by its file (WAV or Ogg
//     Vorbis, in the first FOLDER that holds it), placed on the recording where the
//     marks of the --anchor sound were heard (a sound of the host's own), else by the
//     offset that matches the most; exit 0 when each is heard within the tolerance (grown
//     by the lateness the run measured around that mark, LATE) on an onset of its own,
//     and is, by its shape, its own sound rather than another named (with
//     --overlaps-by-time, a mark whose sound overlaps another's is judged by its time
//     alone), and inside a quiet window (its ends on the same timeline) every stretch of
//     sound is a marked one going on, also after a drop of the player, and never a second
//     sound started meanwhile; with --strays, no onset from the first mark to the last
//     one's end is of no mark nor inside a marked sound going on.
//   dorvik2-compare heard RECORDING.wav SOUND-FOLDER
//     Each onset of the recording with the likest sound file of the folder, as `sound`
//     lines of a game script.
#include <png.h>

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "testhost/FrameComparison.h"
#include "testhost/HeardSounds.h"
#include "testhost/SoundFiles.h"
#include "testhost/SoundMarks.h"
#include "testhost/SoundOnsets.h"
#include "testhost/SoundReference.h"
#include "testhost/ScriptReader.h"

namespace {

namespace fs = std::filesystem;
using testhost::kMostBehindMs;
using testhost::kPlaceSearchMs;
using testhost::kSameSound;
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

// How late the real run measured itself around each of the script's sounds: lines "MS
// LATE NAME" (the sound's script time, the lateness); false when the file cannot be read
// or a line is not of that form.
bool ReadLateness(const std::string& path, std::vector<std::pair<double, double>>& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::printf("sound: %s cannot be read\n", path.c_str());
    return false;
  }
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    double at = 0, late = 0;
    std::string name, more;
    if (!(fields >> at >> late >> name) || fields >> more || late < 0) {
      std::printf("sound: %s: \"%s\" is not \"MS LATE NAME\"\n", path.c_str(), line.c_str());
      return false;
    }
    out.emplace_back(at, late);
  }
  return true;
}

// The sound named NAME in the first of `folders` that holds it, read into `sounds` once;
// false when it is in none or cannot be read.
bool FindSound(const std::string& name, const std::vector<fs::path>& folders, uint32_t rate,
               std::vector<testhost::NamedSound>& sounds, size_t& index) {
  for (size_t i = 0; i < sounds.size(); ++i)
    if (sounds[i].name == name) return index = i, true;
  for (const fs::path& folder : folders) {
    std::vector<float> samples;
    if (!fs::exists(folder / name) || !testhost::ReadSoundFile(folder / name, rate, samples)) continue;
    index = sounds.size();
    sounds.push_back({name, std::move(samples)});
    return true;
  }
  return false;
}

std::string WithoutVariant(const fs::path& name) {
  std::string stem = name.stem().string();
  while (!stem.empty() && stem.back() >= '0' && stem.back() <= '9') stem.pop_back();
  return (name.parent_path() / (stem + name.extension().string())).generic_string();
}

// The sound NAME (found as `index`) and each other variant of its line in its folder: a
// voice (a sound in a folder of its own speaker) comes in variants that the module draws
// at random, from a seed each system takes from its own clock, so any of them stands
// for it.
std::vector<size_t> WithVariants(const std::string& name, size_t index, const std::vector<fs::path>& folders,
                                 uint32_t rate, std::vector<testhost::NamedSound>& sounds) {
  std::vector<size_t> alike{index};
  const fs::path named(name);
  if (named.parent_path().empty()) return alike;
  std::error_code ec;
  for (const fs::path& folder : folders) {
    for (const auto& entry : fs::directory_iterator(folder / named.parent_path(), ec)) {
      const fs::path variant = named.parent_path() / entry.path().filename();
      size_t other = 0;
      if (variant != named && WithoutVariant(variant) == WithoutVariant(named) &&
          FindSound(variant.generic_string(), folders, rate, sounds, other))
        alike.push_back(other);
    }
  }
  return alike;
}

// The headless run's onsets fall where the script's sounds are (the script holds them
// as that run heard them); sounds started together share one.
constexpr double kSameOnsetMs = 30;

// The sounds a script stores (its `sound MS FILE` lines), each with the variants that
// stand for it, found in `folders`; false when the script cannot be read or holds a
// sound none of them has.
bool ReadScriptSounds(const std::string& path, const std::vector<fs::path>& folders, uint32_t rate,
                      std::vector<testhost::ExpectedSound>& expected, std::vector<testhost::NamedSound>& sounds) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  testhost::Script script;
  std::string error;
  if (!in || !testhost::ReadScript(text.str(), script, error)) {
    std::printf("sound: %s: %s\n", path.c_str(), in ? error.c_str() : "cannot be read");
    return false;
  }
  for (const testhost::ScriptSound& stored : script.setup.sounds) {
    testhost::ExpectedSound e;
    e.ms = stored.at;
    if (!FindSound(stored.name, folders, rate, sounds, e.sound)) {
      std::printf("sound: %s line %d: %s is in none of the sound folders\n", path.c_str(), stored.line,
                  stored.name.c_str());
      return false;
    }
    e.alike = WithVariants(stored.name, e.sound, folders, rate, sounds);
    expected.push_back(std::move(e));
  }
  if (expected.empty()) std::printf("sound: %s stores no sound\n", path.c_str());
  return !expected.empty();
}

struct SoundOptions {
  std::string lateness;             // --lateness FILE
  std::string script;               // --script FILE
  std::vector<fs::path> folders;    // --sounds FOLDER...
};

int CompareSounds(const std::string& headlessPath, const std::string& windowsPath, double toleranceMs,
                  const SoundOptions& options) {
  testhost::SoundTrack headless, windows;
  if (!ReadTrack(headlessPath, headless) || !ReadTrack(windowsPath, windows)) return 1;
  std::vector<std::pair<double, double>> lateness;
  if (!options.lateness.empty() && !ReadLateness(options.lateness, lateness)) return 1;
  std::vector<testhost::ExpectedSound> stored;
  std::vector<testhost::NamedSound> sounds;
  if (!options.script.empty() && !ReadScriptSounds(options.script, options.folders, windows.rate, stored, sounds))
    return 1;
  const auto expected = testhost::Onsets(headless), heard = testhost::Onsets(windows);
  // The sounds that came on time place the recording; a late one is judged against them.
  const double offset = testhost::BestOffset(expected, heard, kLatencyFromMs, kLatencyToMs, toleranceMs);
  std::vector<double> lateMs;
  for (double e : expected) {
    double late = 0;
    for (const auto& [at, ms] : lateness)
      if (std::fabs(at - e) <= kSameOnsetMs) late = std::max(late, ms);
    lateMs.push_back(late);
  }
  int missed = 0;
  double worst = 0, widest = 0;
  const auto matches = testhost::MatchOnsetsWithin(expected, heard, offset, toleranceMs, lateMs);
  for (size_t i = 0; i < matches.size(); ++i) {
    const testhost::OnsetMatch& m = matches[i];
    widest = std::max(widest, lateMs[i]);
    if (m.heardMs >= 0) {
      worst = std::max(worst, std::fabs(m.ErrorMs()));
      continue;
    }
    ++missed;
    // The nearest outside the window, to say how far off.
    const testhost::OnsetMatch near = testhost::MatchOnsets({m.expectedMs}, heard, offset).front();
    std::printf("  onset at %.0f ms: none heard from %+.0f to %+.0f ms; the nearest %s\n", m.expectedMs, -toleranceMs,
                toleranceMs + lateMs[i],
                near.heardMs < 0 ? "none" : (std::to_string(int64_t(std::llround(near.ErrorMs()))) + " ms off").c_str());
  }
  std::printf("sound: %zu onsets headless (%.1f s, %u Hz), %zu heard (%.1f s, %u Hz); latency %.0f ms; %zu of %zu "
              "within %.0f ms and as late as the run measured itself there (at most %.0f ms more), the farthest %.0f "
              "ms off\n",
              expected.size(), headless.Ms() / 1000.0, headless.rate, heard.size(), windows.Ms() / 1000.0,
              windows.rate, offset, expected.size() - size_t(missed), expected.size(), toleranceMs, widest, worst);
  if (options.script.empty()) return missed || expected.empty() ? 1 : 0;
  // Which sound each is, and none played where the script expects none.
  std::vector<double> widestMs;
  for (double late : lateMs) widestMs.push_back(toleranceMs + late);
  std::vector<testhost::NamedSound> folder;
  for (const fs::path& f : options.folders)
    for (testhost::NamedSound& s : testhost::ReadSoundFolder(f, windows.rate)) folder.push_back(std::move(s));
  const testhost::SoundNamer namer(folder, windows.rate);
  const testhost::ReferenceVerdict verdict =
      testhost::CheckReference(windows, headless, heard, offset, matches, widestMs, stored, sounds, namer);
  for (const std::string& line : verdict.lines) std::printf("  %s\n", line.c_str());
  std::printf("sound: of the script's %zu sounds %zu heard as themselves, %zu mixes judged by their time, %zu heard "
              "as no sound (at most a quarter of those heard as themselves), %zu heard as another; %zu onsets of none\n",
              stored.size(), verdict.told, verdict.byTime, verdict.unclear, verdict.notIt, verdict.strays);
  if (verdict.Passed()) std::printf("sound: every sound heard is the script's\n");
  return missed || expected.empty() || !verdict.Passed() ? 1 : 0;
}

struct Mark {
  double ms = 0;
  size_t sound = 0;    // of the sounds named
  double lateMs = 0;   // how late the run measured itself around it: the mark's tolerance grows by it
  std::vector<size_t> alike;  // the sound and those that may stand for it
};

// How far before the last mark's onset the next mark's may be heard: a player mixes in
// periods, and sounds due within one may start in either order.
constexpr double kOrderSlackMs = 30;
// The marks around a mark that place it, and how far from the offset of all they may.
constexpr double kLocalMs = 20000;
constexpr double kLocalSlipMs = 400;
// How far from where the anchor before puts it an anchor is looked for.
constexpr double kAnchorSlipMs = 300;
// An onset stands within a loudness window of its sound's start.
constexpr double kOnsetSearchMs = 8;
// Onsets are found at most one in this long (testhost::Onsets).
constexpr double kOnsetGapMs = 60;
struct Judging {
  // The marks of this sound (the host's own, played as the marks' timeline runs) fix
  // where that timeline stands on the recording, in place of the offset that matches
  // the most marks: a delay of the other sounds is not taken for the recording's.
  std::string anchor;
  // A mark whose sound overlaps another mark's (a game's effects and voices) is judged
  // by its time alone: its shape is a mix; one alone must be its own sound.
  bool overlapsByTime = false;
  // Every onset heard from the first mark to the last mark's end is a mark's, or falls
  // inside a marked sound going on.
  bool strays = false;
};

// The first onset heard as `sound` (an anchor) from `fromMs` to `toMs` of the
// recording, or heard.size().
size_t HeardAs(const testhost::SoundTrack& track, const std::vector<double>& heard, double fromMs, double toMs,
               const std::vector<testhost::NamedSound>& sounds, size_t sound) {
  for (size_t h = 0; h < heard.size(); ++h) {
    if (heard[h] < fromMs || heard[h] > toMs) continue;
    const testhost::Identified seen = testhost::Identify(track, heard[h], kOnsetSearchMs, sounds, {sound}, {sound});
    if (seen.named.likeness >= kSameSound) return h;
  }
  return heard.size();
}

// Sounds the real run played at known moments (ms on one timeline, placed on the
// recording by the anchors, or else by the offset that matches the most marks), each
// naming its sound: each must be heard within the tolerance (and its own lateness), in
// the marks' order, each onset heard serving one mark (sounds started together share
// one), and be that sound and no other of those named; inside a quiet window every
// stretch of sound must be a marked sound going on (also after a drop), never a second
// one started meanwhile.
int CheckMarks(const std::string& windowsPath, double toleranceMs, const std::vector<Mark>& marks,
               const std::vector<testhost::NamedSound>& sounds, const std::vector<testhost::QuietWindow>& quiet,
               const Judging& judging) {
  testhost::SoundTrack windows;
  if (!ReadTrack(windowsPath, windows)) return 1;
  // A mark may be heard as early as the tolerance, and as late as the tolerance and its
  // lateness.
  std::vector<double> times, tolerances, lateness;
  for (const Mark& m : marks) times.push_back(m.ms), tolerances.push_back(toleranceMs), lateness.push_back(m.lateMs);
  const auto heard = testhost::Onsets(windows);
  std::vector<bool> used(heard.size(), false);
  // Where each mark's moment stands on the recording: between two anchors as they were
  // heard (a player running a little fast or slow), else by the one offset.
  std::vector<std::pair<double, double>> anchors;  // mark ms, recording ms
  size_t anchorsMissing = 0;
  std::vector<size_t> anchorHeard(marks.size(), heard.size());

  for (size_t i = 0; i < marks.size(); ++i) {
    if (judging.anchor.empty() || sounds[marks[i].sound].name != judging.anchor) continue;
    // The first anchor anywhere; each later one near where the one before puts it (one
    // the module's sounds covered is left out).
    const double near = anchors.empty() ? -1 : anchors.back().second + times[i] - anchors.back().first;
    const size_t h = HeardAs(windows, heard, anchors.empty() ? 0 : near - kAnchorSlipMs,
                             anchors.empty() ? windows.Ms() : near + kAnchorSlipMs, sounds, marks[i].sound);
    if (h == heard.size()) {
      std::printf("  the anchor at %+.0f ms (%s) was not heard\n", times[i], judging.anchor.c_str());
      anchorsMissing += anchors.empty() || i + 1 == marks.size() ? 1 : 0;
      continue;
    }
    anchors.emplace_back(times[i], heard[h]);
    anchorHeard[i] = h;
    used[h] = true;
  }
  std::vector<double> widest;
  for (size_t i = 0; i < marks.size(); ++i) widest.push_back(tolerances[i] + lateness[i]);
  // The anchors are heard through a stream of their own, whose latency the module's
  // stream need not share (on a loaded machine the two drift apart by a tenth of a
  // second and more): they measure how far the player slipped between each two of them,
  // which widens the marks between, and do not place the module's sounds. Those stand
  // by the offset that matches the most of the marks around each (within kLocalMs),
  // searched near the one that matches the most of all: a delay of some sounds shows
  // against the others.
  std::vector<double> own, ownTimes, ownWidest;
  for (size_t i = 0; i < marks.size(); ++i) {
    if (!judging.anchor.empty() && sounds[marks[i].sound].name == judging.anchor) continue;
    ownTimes.push_back(times[i]);
    ownWidest.push_back(widest[i]);
  }
  const double offset = testhost::BestOffset(ownTimes.empty() ? times : ownTimes, heard, 0, windows.Ms(),
                                             ownTimes.empty() ? widest : ownWidest);
  std::vector<double> offsets(marks.size(), offset);
  for (size_t i = 0; i < marks.size(); ++i) {
    if (anchorHeard[i] < heard.size()) {
      offsets[i] = heard[anchorHeard[i]] - times[i];
      continue;
    }
    // An anchor not told by its shape (another sound over it) stands in its own stream,
    // between the anchors heard around it.
    if (!judging.anchor.empty() && sounds[marks[i].sound].name == judging.anchor && !anchors.empty()) {
      size_t k = 0;
      while (k + 1 < anchors.size() && anchors[k + 1].first < times[i]) ++k;
      const size_t next = std::min(k + 1, anchors.size() - 1);
      const auto& [a, ra] = anchors[k];
      const auto& [b, rb] = anchors[next];
      offsets[i] = next == k || b == a ? ra - a : (ra - a) + (times[i] - a) * ((rb - b) - (ra - a)) / (b - a);
      continue;
    }
    std::vector<double> near, nearWidest;
    for (size_t j = 0; j < ownTimes.size(); ++j)
      if (std::fabs(ownTimes[j] - times[i]) <= kLocalMs) near.push_back(ownTimes[j]), nearWidest.push_back(ownWidest[j]);
    if (!near.empty())
      offsets[i] = testhost::BestOffset(near, heard, offset - kLocalSlipMs, offset + kLocalSlipMs, nearWidest);
  }
  if (anchors.size() >= 2) {
    const auto between = [&](double ms) {
      size_t k = 1;
      while (k + 1 < anchors.size() && anchors[k].first < ms) ++k;
      return k;
    };
    for (size_t i = 0; i < marks.size(); ++i) {
      const size_t k = between(times[i]);
      tolerances[i] += std::fabs((anchors[k].second - anchors[k - 1].second) - (anchors[k].first - anchors[k - 1].first));
    }
    std::printf("  %zu anchors heard, %.0f ms apart on the recording for %.0f ms of the marks\n", anchors.size(),
                anchors.back().second - anchors.front().second, anchors.back().first - anchors.front().first);
  }
  // Whether a mark's sound overlaps another's on the marks' timeline.
  const auto overlapped = [&](size_t i) {
    const auto lengthMs = [&](size_t k) { return 1000.0 * double(sounds[marks[k].sound].samples.size()) / windows.rate; };
    for (size_t j = 0; j < marks.size(); ++j) {
      if (j == i) continue;
      if ((times[j] <= times[i] && times[i] < times[j] + lengthMs(j) + widest[j]) ||
          (times[i] <= times[j] && times[j] < times[i] + lengthMs(i) + widest[i]))
        return true;
    }
    return false;
  };
  size_t good = 0;
  std::vector<testhost::Playing> playing;
  size_t lastHeard = heard.size();
  double lastInOrder = 0;
  // Each mark is told from the other marks' sounds.
  std::vector<size_t> named;
  for (const Mark& m : marks)
    if (std::find(named.begin(), named.end(), m.sound) == named.end()) named.push_back(m.sound);
  std::printf("sound marks:\n");
  for (size_t i = 0; i < marks.size(); ++i) {
    const std::string& name = sounds[marks[i].sound].name;
    const double at = times[i] + offsets[i];
    // The onset of the mark: the earliest in its window not heard for an earlier mark
    // nor before the last mark's (the sounds come in the marks' order, but for sounds
    // started together, which share one), heard as the mark's sound if one is, else the
    // earliest: a window widened by the run's lateness may hold the next sounds too.
    const bool anchor = anchorHeard[i] < heard.size();
    // An anchor not told by its shape is no sound of the module's: its onset, if one is
    // near, is taken as its own, and it fails nothing.
    if (!anchor && !judging.anchor.empty() && name == judging.anchor) {
      size_t near = heard.size();
      for (size_t h = 0; h < heard.size(); ++h)
        if (!used[h] && std::fabs(heard[h] - at) <= kAnchorSlipMs &&
            (near == heard.size() || std::fabs(heard[h] - at) < std::fabs(heard[near] - at)))
          near = h;
      if (near < heard.size()) used[near] = true;
      std::printf("  %+.0f ms %s: an anchor not told, %s\n", times[i], name.c_str(),
                  near < heard.size() ? ("its onset taken " + std::to_string(std::lround(heard[near] - at)) + " ms off").c_str()
                                      : "no onset near");
      ++good;
      continue;
    }
    const bool together = i > 0 && times[i] - times[i - 1] < kOnsetGapMs && lastHeard < heard.size();
    const auto alone = [&](size_t h) {
      return testhost::IdentifyOver(windows, heard[h], kPlaceSearchMs, sounds, marks[i].alike, named, playing);
    };
    const auto itself = [&](const testhost::Identified& seen) {
      return seen.named.likeness >= kSameSound && seen.named.likeness > seen.likestOtherLikeness;
    };
    size_t nearest = anchor ? anchorHeard[i] : together ? lastHeard : heard.size();
    testhost::Identified seen;
    bool seenDone = false;
    for (size_t h = 0; h < heard.size() && !together && !anchor; ++h) {
      const double error = heard[h] - at;
      if (used[h] || error < -tolerances[i] || error > tolerances[i] + lateness[i] ||
          heard[h] + kOrderSlackMs < lastInOrder)
        continue;
      const testhost::Identified here = alone(h);
      if (nearest == heard.size()) nearest = h, seen = here, seenDone = true;
      if (itself(here)) {
        nearest = h, seen = here;
        break;
      }
    }
    if (nearest == heard.size()) {
      // Nothing in the window: the nearest onset, to say how far off.
      for (size_t h = 0; h < heard.size(); ++h)
        if (!used[h] && (nearest == heard.size() || std::fabs(heard[h] - at) < std::fabs(heard[nearest] - at)))
          nearest = h;
      std::printf("  %+.0f ms %s not heard from %.0f to %+.0f ms%s\n", times[i], name.c_str(), -tolerances[i],
                  tolerances[i] + lateness[i],
                  nearest < heard.size() ? (", the nearest " + std::to_string(std::lround(heard[nearest] - at)) +
                                            " ms off").c_str()
                                         : "");
      lastHeard = heard.size();
      continue;
    }
    const double error = heard[nearest] - at;
    used[nearest] = true;
    lastHeard = nearest;
    if (!anchor) lastInOrder = std::max(lastInOrder, heard[nearest]);
    // Told over what it sounds like alone: the marked sounds going on are taken out.
    if (!seenDone) seen = alone(nearest);
    const bool byTime = judging.overlapsByTime && overlapped(i);
    const bool same = byTime || itself(seen);
    good += same ? 1 : 0;
    std::printf("  %+.0f ms %s heard %" PRId64 " ms off (%.0f to %+.0f), likeness %.3f%s%s (%.3f)%s\n", times[i],
                name.c_str(), int64_t(std::llround(error)), -tolerances[i], tolerances[i] + lateness[i],
                seen.named.likeness, same ? "" : " NOT IT",
                seen.likestOther.empty() ? "" : (", the likest other " + seen.likestOther).c_str(),
                seen.likestOtherLikeness, byTime ? "; overlapping another: by its time" : "");
    // A sound that repeats itself (a tone) fits as well a few periods later: it started
    // no later than its onset.
    if (seen.named.atMs >= 0)
      playing.push_back({&sounds[marks[i].sound].samples, std::min(seen.named.atMs, heard[nearest]), 0});
  }
  size_t strayOnsets = 0;
  if (judging.strays && !marks.empty()) {
    const double from = times.front() + offsets.front() - tolerances.front();
    const double to = times.back() + offsets.back() + widest.back() +
                      1000.0 * double(sounds[marks.back().sound].samples.size()) / windows.rate;
    for (size_t h = 0; h < heard.size(); ++h) {
      if (used[h] || heard[h] < from || heard[h] > to) continue;
      const bool inside = std::any_of(playing.begin(), playing.end(), [&](const testhost::Playing& p) {
        return heard[h] >= p.startMs &&
               heard[h] <= p.startMs + 1000.0 * double(p.samples->size()) / windows.rate + kMostBehindMs;
      });
      if (inside) continue;
      ++strayOnsets;
      std::printf("  sound at %+.0f ms: no mark's, nor inside one going on\n", heard[h] - offset);
    }
  }
  std::printf("  %zu onsets in %.1f s, the first mark at %.0f ms of the recording\n", heard.size(),
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
  std::printf("%zu of %zu marks heard as their sound; %zu stretches of sound not marked", good, marks.size(), stray);
  if (judging.strays) std::printf("; %zu onsets of no mark", strayOnsets);
  std::printf("\n");
  return good == marks.size() && !marks.empty() && stray == 0 && strayOnsets == 0 && anchorsMissing == 0 ? 0 : 1;
}

// MS:NAME or MS~LATE:NAME; every variant of a voice's line stands for it.
bool ReadMark(const std::string& word, const std::vector<fs::path>& folders, uint32_t rate, Mark& mark,
              std::vector<testhost::NamedSound>& sounds) {
  const size_t colon = word.find(':');
  if (colon == std::string::npos || colon + 1 == word.size()) return false;
  const size_t tilde = word.find('~');
  mark.ms = std::atof(word.substr(0, std::min(colon, tilde)).c_str());
  if (tilde < colon) mark.lateMs = std::atof(word.substr(tilde + 1, colon - tilde - 1).c_str());
  const std::string name = word.substr(colon + 1);
  if (!FindSound(name, folders, rate, sounds, mark.sound)) {
    std::printf("sound marks: %s: no such sound in the folders given\n", name.c_str());
    return false;
  }
  mark.alike = WithVariants(name, mark.sound, folders, rate, sounds);
  return true;
}

// Whether two sounds have one shape, at some phase of each other: their middles alike.
bool SameShape(const std::vector<float>& a, const std::vector<float>& b, uint32_t rate) {
  const size_t length = rate / 20, lags = rate / 200, from = rate / 100;
  if (a.size() < from + length || b.size() < from + lags + length) return false;
  for (size_t lag = 0; lag <= lags; ++lag)
    if (testhost::Likeness(a, from, b, from + lag, length) >= kSameSound) return true;
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
  if (mode == "sound" && argc >= 5) {
    SoundOptions options;
    bool ok = true;
    for (int i = 5; i < argc && ok; i += 2) {
      const std::string word = argv[i];
      ok = i + 1 < argc;
      if (!ok) break;
      if (word == "--lateness") options.lateness = argv[i + 1];
      else if (word == "--script") options.script = argv[i + 1];
      else if (word == "--sounds") options.folders.emplace_back(argv[i + 1]);
      else ok = false;
    }
    if (ok && options.script.empty() == options.folders.empty())
      return CompareSounds(argv[2], argv[3], std::atof(argv[4]), options);
  }
  if (mode == "heard" && argc == 4) return PrintHeard(argv[2], argv[3]);
  if (mode == "marks" && argc >= 5) {
    std::vector<std::string> words;
    std::vector<fs::path> folders;
    std::vector<testhost::QuietWindow> quiet;
    Judging judging;
    bool ok = true;
    for (int i = 4; i < argc; ++i) {
      const std::string word = argv[i];
      if (word == "--overlaps-by-time") {
        judging.overlapsByTime = true;
      } else if (word == "--anchor" && i + 1 < argc) {
        judging.anchor = argv[++i];
      } else if (word == "--strays") {
        judging.strays = true;
      } else if (word == "--quiet" && i + 2 < argc) {
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
      // Sounds of one shape cannot be told apart by it (a synthetic voice may have an
      // effect's pitch): either stands for the other.
      std::map<size_t, std::vector<size_t>> sameShape;
      for (Mark& mark : marks) {
        if (!sameShape.count(mark.sound)) {
          std::vector<size_t>& same = sameShape[mark.sound];
          for (size_t j = 0; j < sounds.size(); ++j)
            if (j != mark.sound && SameShape(sounds[mark.sound].samples, sounds[j].samples, probe.rate)) same.push_back(j);
        }
        for (size_t j : sameShape[mark.sound])
          if (std::find(mark.alike.begin(), mark.alike.end(), j) == mark.alike.end()) mark.alike.push_back(j);
      }
      return CheckMarks(argv[2], std::atof(argv[3]), marks, sounds, quiet, judging);
    }
  }
  std::fprintf(stderr,
               "usage: dorvik2-compare frames HEADLESS-DIR MARKED-DIR WINDOWS-DIR\n"
               "       dorvik2-compare sound HEADLESS.wav WINDOWS.wav TOLERANCE-MS [--lateness FILE] "
               "[--script SCRIPT --sounds FOLDER...]\n"
               "       dorvik2-compare marks WINDOWS.wav TOLERANCE-MS MS[~LATE]:SOUND... [--sounds FOLDER]... "
               "[--quiet FROM-MS TO-MS]... [--anchor SOUND] [--overlaps-by-time] [--strays]\n"
               "       dorvik2-compare heard RECORDING.wav SOUND-FOLDER\n");
  return 2;
}
