// The one list of the synthetic data folder: every file the game opens, its kind, what
// its readers select from it and who opens it. make_game_data writes exactly these
// files; the manifest test opens each with the loader the game uses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace game_data {

enum class FileKind : uint8_t { Bmp, Qls, Psp, Qla, Gif, Ani, Ogg, Wav, Psn, Ini };

// How a file is drawn, which also says how its counts read.
enum class Look : uint8_t {
  Picture,    // bmp or qls: one labelled picture of width x height
  CardStrip,  // bmp: `count` card cells of width x height stacked downwards
  BoardStrip, // bmp: as CardStrip, the month cards 0..count-2 and then the back
  Shadow,     // bmp: one dark card-sized cell
  Cloth,      // bmp: an 800 x 600 table cloth with the table's places outlined
  Keyed,      // bmp: a labelled rounded picture whose outside is the colour key
  Ring,       // psp: a glowing frame whose inside is the colour key
  Strip,      // bmp: `count` labelled frames side by side, keyed outside (popup buttons)
  PlainStrip, // bmp: as Strip with nothing keyed: the message box copies its buttons whole
  Button,     // psp: `count` image sets of `frames` frames (normal, hover, pressed, disabled)
  Frames,     // psp: `count` frames told apart by number
  Digits,     // psp: the 18 glyphs of the number widget in its glyph order
  EffectDigits,
  Anim,    // qla: `count` sub-animations (one file without a set when 1) of `frames` frames
  Avatar,  // gif: `frames` frames of width x height, blinking
  Cursor,
  Tone,  // sound: `count` milliseconds of a tone at `hz`, `channels` channels
  Settings,
};

enum class Root : uint8_t { Data, Portal };

struct ManifestEntry {
  std::string path;  // relative to its root, backslashes, spelled as the game spells it
  FileKind kind = FileKind::Bmp;
  Look look = Look::Picture;
  Root root = Root::Data;
  std::string reader;  // the class or function that opens it
  int32_t width = 0, height = 0;
  int32_t count = 1;
  int32_t frames = 1;
  std::vector<std::string> names;  // sub-animations a reader finds by name, CP949
  std::string label;               // what the picture says, CP949
  int32_t hz = 0, channels = 1;
};

constexpr int32_t kGameNumber = 14;
constexpr int32_t kCardCells = 51;  // faces 0..49, then the back
constexpr int32_t kDigitGlyphs = 18;
constexpr int32_t kAvatarWidth = 68, kAvatarHeight = 98;
constexpr int32_t kVoiceFileCount = 1166;
constexpr int32_t kSoundRate = 22050;  // every sound, 16-bit

// Every file, in writing order; built once.
const std::vector<ManifestEntry>& Manifest();
// The entry of a path (compared exactly), or null.
const ManifestEntry* FindEntry(const std::string& path);
// The month (1..12, 13 for the bonus cards) and the kind text of card cell 0..49.
int32_t CardMonth(int32_t card);
std::string CardKindText(int32_t card);

}  // namespace game_data
