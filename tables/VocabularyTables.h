// The game's constant vocabulary of names, effect animations, voice characters and
// voice cues: CP949 texts, constant-initialised, so any code that runs at load sees
// them. The Get/Find functions never read outside a table; the arrays do not check.
#pragma once

#include <cstdint>

#include "tables/TableRect.h"

constexpr int32_t kMoneyGradeCount = 11;
constexpr int32_t kComboEffectAnimCount = 9;
constexpr int32_t kEventEffectAnimCount = 8;
constexpr int32_t kVoiceGenderCount = 3;  // male, female, anybody else (robot)
constexpr int32_t kVoiceSetCount = 4;
constexpr int32_t kVoiceCharacterCount = kVoiceGenderCount * kVoiceSetCount;
constexpr int32_t kFirstVoiceId = 10000;
constexpr int32_t kVoiceCueCount = 52;
constexpr int32_t kLastVoiceId = kFirstVoiceId + kVoiceCueCount - 1;
constexpr int32_t kTableColourCount = 3;
constexpr int32_t kSpeedNameCount = 2;

// One recorded voice line: its files are <cue><variant>.ogg with variant 1..variantCount.
struct VoiceCue {
  const char* cue;
  int32_t variantCount;
};

// Display name of a seat taken by the robot opponent.
extern const char* const RobotPlayerName;
// Money per point of a room, by grade; nothing in the game shows it, kept for completeness.
extern const char* const MoneyGradeNames[kMoneyGradeCount];

// Effect animations, relative to the image folder: the first table holds the
// combination animations (assa, panic, bright sets, ribbons, go, stop), the second the
// event animations (jjock, ddadak, the bbuck family, bomb, all-eat).
namespace EffectAnimFiles {
extern const char* const Combination[kComboEffectAnimCount];
extern const char* const Event[kEventEffectAnimCount];
}  // namespace EffectAnimFiles

// Indexed by gender * 4 + voice set; gender 0 male, 1 female, 2 anybody else.
extern const char* const VoiceCharacterNames[kVoiceCharacterCount];
// Row r is voice id kFirstVoiceId + r.
extern const VoiceCue VoiceCueTable[kVoiceCueCount];
// Indexed by the table-cloth skin option.
extern const char* const TableColourNames[kTableColourCount];
// The option panel's labels at the slow and fast ends of the card-speed choices.
extern const char* const SpeedNames[kSpeedNameCount];
// A left press inside this strip of the windowed game drags the host window.
extern const TableRect DragStripRect;

const char* GetMoneyGradeName(int32_t grade);
const char* GetComboEffectAnimFile(int32_t index);
const char* GetEventEffectAnimFile(int32_t index);
// A voice set outside 0..3 counts as 0 and a gender outside 0..1 as 2, so every
// pair names somebody.
const char* GetVoiceCharacterName(int32_t gender, int32_t voiceSet);
// The row of a voice id; an id outside kFirstVoiceId..kLastVoiceId gives a row with an
// empty cue and no variants.
const VoiceCue& FindVoiceCue(int32_t voiceId);
// A skin outside 0..2 counts as 0.
const char* GetTableColourName(int32_t skin);
const char* GetSpeedName(int32_t index);
