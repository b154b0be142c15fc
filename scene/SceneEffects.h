// The scene's sound vocabulary: the effect files addressed by id, the order in which
// they are loaded, and the effect ids the scene names.
#pragma once

#include <cstdint>

namespace scene_effects {

constexpr int32_t kCount = 54;
// The effects the scene names; every play or stop of one uses its name.
constexpr int32_t kRoomJoin = 0;
constexpr int32_t kRoomExit = 1;
constexpr int32_t kGameJoin = 2;
constexpr int32_t kGameExit = 3;
constexpr int32_t kDisconnect = 4;
constexpr int32_t kStartDefault = 5;
constexpr int32_t kGameStart = 7;
constexpr int32_t kDealDone = 8;
constexpr int32_t kGameClear = 9;
constexpr int32_t kSort = 10;
constexpr int32_t kDeal = 11;
constexpr int32_t kSlide = 12;
constexpr int32_t kLand = 13;
constexpr int32_t kHit = 14;
constexpr int32_t kHitGo3 = 15;
constexpr int32_t kHitGo6 = 16;
constexpr int32_t kStuck = 17;
constexpr int32_t kOpen = 18;
constexpr int32_t kClick = 19;
constexpr int32_t kNotifyTurn = 20;
constexpr int32_t kNotifyCount = 21;
constexpr int32_t kBoxNotify = 27;
// The result stingers, in the order a new table silences them.
constexpr int32_t kResultWinner = 28;
constexpr int32_t kResultLoser = 29;
constexpr int32_t kResultGreatWinner = 30;
constexpr int32_t kResultGreatLoser = 31;
constexpr int32_t kResultStingers[] = {kResultWinner, kResultLoser, kResultGreatWinner, kResultGreatLoser};
constexpr int32_t kStamp = 32;
constexpr int32_t kPulse = 33;
constexpr int32_t kGo = 34;
constexpr int32_t kMoneyBell = 36;
// The two effects played looping, stopped together.
constexpr int32_t kThreeGoWin = 49;
constexpr int32_t kThreeGoLose = 50;
constexpr int32_t kBijouGet = 52;

// File of each effect id, relative to the sound folder.
extern const char* const Files[kCount];
// The ids in loading order: the great result stingers and the turn notices come
// early, the shouts (37..48) and the rest after them.
extern const int32_t LoadOrder[kCount];

}  // namespace scene_effects
