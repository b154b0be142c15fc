// The names, effect animations, voice characters and voice cues. Every definition is
// constexpr, so the compiler refuses any entry that would need code at load.
#include "tables/VocabularyTables.h"

#include <string_view>

#include "tables/TableLookup.h"

using tables_detail::EntryOrEmpty;

constexpr const char* RobotPlayerName = "무렉로봇";

constexpr const char* MoneyGradeNames[kMoneyGradeCount] = {
    "점5백냥", "점1천냥",  "점3천냥",       "점5천냥",         "점1만냥", "점3만냥",
    "점5만냥", "점10만냥", "점30만~50만냥", "점100만~500만냥", "자유",
};

namespace EffectAnimFiles {
constexpr const char* Combination[kComboEffectAnimCount] = {
    "Effect\\assa.qla",   "Effect\\panic.qla",    "Effect\\5kwang.qla",
    "Effect\\godori.qla", "Effect\\chungdan.qla", "Effect\\hongdan.qla",
    "Effect\\chodan.qla", "Effect\\go.qla",       "Effect\\Stop.qla",
};
constexpr const char* Event[kEventEffectAnimCount] = {
    "Effect\\jjock.qla", "Effect\\ddadak.qla",        "Effect\\firstbbuck.qla", "Effect\\seriesbbuck.qla",
    "Effect\\bbuck.qla", "Effect\\selfbbuck_eat.qla", "Effect\\bomb.qla",       "Effect\\all_eat.qla",
};
}  // namespace EffectAnimFiles

constexpr const char* VoiceCharacterNames[kVoiceCharacterCount] = {
    "젠틀맨", "할배", "작업남", "탄실이",  // male
    "예능MC", "할매", "미씨",   "나비",    // female
    "성우1",  "성우2", "성우3",  "성우4",   // anybody else
};

constexpr VoiceCue VoiceCueTable[kVoiceCueCount] = {
    {"1go", 3},       {"2go", 3},         {"3go", 3},       {"4go", 3},         {"5go", 3},
    {"3guang", 3},    {"4guang", 3},      {"5guang", 3},    {"godori", 3},      {"chungdan", 3},
    {"hongdan", 3},   {"chodan", 3},      {"hndl", 3},      {"poktan", 3},      {"ddadak", 3},
    {"jjock", 3},     {"sseul", 3},       {"assa", 2},      {"huck", 2},        {"huhu", 2},
    {"yup", 2},       {"6go", 3},         {"7go", 3},       {"puck", 3},        {"3puck", 3},
    {"bringpuck", 3}, {"bringjapuck", 3}, {"stop", 3},      {"nagari", 3},      {"bi3guang", 3},
    {"chongtong", 3}, {"4hndl", 3},       {"mission_s", 3}, {"welcome", 1},     {"goodstart", 1},
    {"badstart", 3},  {"hurry", 2},       {"hello", 3},     {"cong", 3},        {"sorry", 2},
    {"hurry", 2},     {"bye", 2},         {"happy", 3},     {"s_happy", 2},     {"unhappy", 2},
    {"s_unhappy", 2}, {"bega", 2},        {"s_bega", 2},    {"jeer", 2},        {"s_jeer", 2},
    {"dis", 2},       {"s_dis", 2},
};

// Two ids share the "hurry" recordings; a table edit that splits them would change
// which files one of the two ids plays.
static_assert(std::string_view(VoiceCueTable[36].cue) == VoiceCueTable[40].cue &&
              VoiceCueTable[36].variantCount == VoiceCueTable[40].variantCount);

constexpr const char* TableColourNames[kTableColourCount] = {"그린", "모포", "브라운"};

constexpr const char* SpeedNames[kSpeedNameCount] = {"느림", "빠름"};

constexpr TableRect DragStripRect = {0, 0, 700, 20};

static_assert(tables_detail::AllEntriesSet(MoneyGradeNames));
static_assert(tables_detail::AllEntriesSet(EffectAnimFiles::Combination));
static_assert(tables_detail::AllEntriesSet(EffectAnimFiles::Event));
static_assert(tables_detail::AllEntriesSet(VoiceCharacterNames));
static_assert(tables_detail::AllEntriesSet(TableColourNames));
static_assert(tables_detail::AllEntriesSet(SpeedNames));
static_assert(VoiceCueTable[kVoiceCueCount - 1].cue != nullptr && VoiceCueTable[kVoiceCueCount - 1].variantCount > 0);

namespace {
constexpr VoiceCue kNoVoiceCue = {tables_detail::kEmptyText, 0};
constexpr int32_t kOtherGender = kVoiceGenderCount - 1;
}  // namespace

const char* GetMoneyGradeName(int32_t grade) { return EntryOrEmpty(MoneyGradeNames, grade); }

const char* GetComboEffectAnimFile(int32_t index) { return EntryOrEmpty(EffectAnimFiles::Combination, index); }

const char* GetEventEffectAnimFile(int32_t index) { return EntryOrEmpty(EffectAnimFiles::Event, index); }

const char* GetVoiceCharacterName(int32_t gender, int32_t voiceSet) {
  if (voiceSet < 0 || voiceSet >= kVoiceSetCount) voiceSet = 0;
  if (gender < 0 || gender >= kOtherGender) gender = kOtherGender;
  return VoiceCharacterNames[gender * kVoiceSetCount + voiceSet];
}

const VoiceCue& FindVoiceCue(int32_t voiceId) {
  if (voiceId < kFirstVoiceId || voiceId > kLastVoiceId) return kNoVoiceCue;
  return VoiceCueTable[voiceId - kFirstVoiceId];
}

const char* GetTableColourName(int32_t skin) {
  return tables_detail::InTable<kTableColourCount>(skin) ? TableColourNames[skin] : TableColourNames[0];
}

const char* GetSpeedName(int32_t index) { return EntryOrEmpty(SpeedNames, index); }
