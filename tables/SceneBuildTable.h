// The scene build's own files and places, relative to the image folder: written once
// here and read by the build, the synthetic-data manifest and the tests. The shared card,
// chance and money-limit paths live in PanelPaths.h; the effect animations in
// VocabularyTables.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/GGeometry.h"
#include "tables/TableSeats.h"

namespace scene_build {

inline constexpr int32_t kSides = kTableSeats;
inline constexpr int32_t kSpriteSlots = 512;

// A sprite or button at a place; `show` is the factory's visibility, `sets` a button's
// image-set count.
struct Placed {
  const char* path;
  GPoint pos;
  int32_t show = 0;
  int32_t sets = 1;
};

struct TextStyle {
  GPoint pos;
  GSize size;
  COLORREF colour;
  int32_t fontHeight;
  int32_t fontWeight;
};

inline constexpr COLORREF Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | g << 8 | b << 16; }
inline constexpr GPoint kOrigin{0, 0};
inline constexpr int32_t kCentred = 1;  // a text window's format: centred

// Table.
inline constexpr const char* kBackgroundFormat = "Back\\skin_%d.bmp";
inline constexpr Placed kRobotTitle{"Back\\torongtitle.qls", {6, 137}};
// Where the deck lies: the face-down cards and their shadow.
inline constexpr GPoint kDeckPoint{331, 241};
// Every avatar, a player's or a robot's, fills a box of this size.
inline constexpr GSize kAvatarSize{68, 98};
inline constexpr Placed kDeckShadow{"Back\\deck_shadow.qls", kDeckPoint, 1};
inline constexpr TextStyle kStatusText{{110, 5}, {620, 14}, Rgb(148, 148, 148), 12, 700};
inline constexpr const char* kTurnBlink = "GameProcess\\turn_blink.qla";

// Top bar, left to right, then the bottom bar.
inline constexpr Placed kTitleBarBack{"Button\\titlebtn_back.qls", {629, 0}};
inline constexpr Placed kAutoPlaySettingButton{"GameFunction\\AutoAction\\setting_btn.psp", {629, 0}, 1, 2};
inline constexpr Placed kMemoButton{"Button\\memo_btn.psp", {692, 0}, 1};
inline constexpr Placed kMemoNotice{"Button\\memo_notify.qla", {692, 0}};
inline constexpr Placed kCaptureButton{"Button\\capture_btn.psp", {713, 0}, 1};
inline constexpr Placed kMinimiseButton{"Button\\winmin_btn.psp", {736, 0}, 1};
inline constexpr Placed kMaximiseButton{"Button\\winmax_btn.psp", {756, 0}, 1, 2};
inline constexpr Placed kCloseButton{"Button\\winclose_btn.psp", {777, 0}, 1};
inline constexpr Placed kWatchButton{"Button\\watch_btn.psp", {640, 577}};
inline constexpr Placed kJoinButton{"Button\\join_btn.psp", {640, 577}};
inline constexpr Placed kOptionButton{"Button\\option_btn.psp", {519, 577}, 1};
inline constexpr Placed kVipButton{"Button\\vip_btn.psp", {575, 577}, 1};
inline constexpr Placed kExitButton{"Button\\exit_btn.psp", {709, 577}, 1};
inline constexpr Placed kCancelExitButton{"Button\\cancelexit_btn.psp", {709, 577}, 1};

// Stake display.
inline constexpr Placed kPointMoneyBack{"Back\\pointmoney_back.qls", {4, 196}};
inline constexpr TextStyle kPointMoneyText{{4, 199}, {82, 12}, Rgb(255, 245, 155), 12, 700};
inline constexpr COLORREF kPointMoneyShadow = Rgb(0, 0, 0);

// Deck and hand reveals; the hold animations sit at hand slot 0 of each side.
inline constexpr const char* kRemainClose = "Hwatoo\\remainclose_open.qla";
inline constexpr const char* kRemainHold = "Hwatoo\\remainhold_open.qla";

// Avatars and seats.
inline constexpr Placed kInviteBack{"Avatar\\invite_back.qls", {731, 26}};
inline constexpr GSize kInviteButtonOffset{4, 62};
inline constexpr const char* kInviteButton = "Avatar\\invite_btn.psp";
inline constexpr const char* kRobotCharacter = "Avatar\\character_robot.qls";
inline constexpr int32_t kRobotAvatars = 5;
inline constexpr const char* kRobotAvatarFormat = "Avatar\\robot3_avatar%d.gif";
inline constexpr GSize kRobotAvatarFrame = kAvatarSize;
inline constexpr std::array<GPoint, kSides> kAvatarPoints{{{731, 414}, {731, 26}}};
inline constexpr const char* kDisconnectMark = "Avatar\\disconnect.qls";
inline constexpr const char* kVoiceOffMark = "Avatar\\voiceoff.qls";
inline constexpr int32_t kAvatarBoxHeight = kAvatarSize.cy;  // the voice-off mark sits on its bottom edge
inline constexpr const char* kBlacklistMark = "Avatar\\blacklist.qls";
inline constexpr const char* kFirstPlayerIcon = "Avatar\\first_icon.psp";
inline constexpr GSize kFirstPlayerIconOffset{30, 80};

// Card marks: floor outlines sit up-right of their slot, hand outlines up-left of theirs.
inline constexpr const char* kOutline = "Hwatoo\\outline.psp";
inline constexpr GSize kFloorOutlineOffset{2, -3};
inline constexpr GSize kHandOutlineOffset{-3, -3};
inline constexpr int32_t kHandOutlines = 11;
inline constexpr int32_t kSelectedOutlineFrame = 1;  // outline 0 shows the selected frame
inline constexpr COLORREF kCompanionFill = 0;
inline constexpr int32_t kCompanionBlend = 29;
inline constexpr const char* kCardIcons = "Hwatoo\\icon.qla";
inline constexpr const char* kCardMissionIcon = "OpenMission";
inline constexpr int32_t kLoopForever = -1;

inline constexpr const char* kBigCard = "Hwatoo\\big.psp";
inline constexpr int32_t kBombDummies = 6;
inline constexpr const char* kBombDummy = "Hwatoo\\holdbomb.qls";

// Game flow.
inline constexpr const char* kRobotPlay = "GameProcess\\robotplay.qla";
inline constexpr Placed kPlayStart{"GameProcess\\playstart.qls", {636, 260}};
inline constexpr const char* kSunPick = "GameFunction\\SelectSun\\select_ht.qla";
inline constexpr int32_t kPiCounterTransparency = 60;

// Hand hints, in their order per hand slot; `index` -1 selects by name.
struct HandHint {
  const char* path;
  const char* name;
  int32_t index;
  bool animated;
};
inline constexpr int32_t kHintsPerSlot = 8;
inline constexpr int32_t kHintSlots = 10;
inline constexpr const char* kHoldAlert = "VIP\\hold_alert.qla";
inline constexpr std::array<HandHint, kHintsPerSlot> kHandHints{{
    {kCardIcons, "CanEat", -1, false},
    {kCardIcons, "CanEatFix", -1, false},
    {kCardIcons, "Bomb", -1, false},
    {kCardIcons, "Shake", -1, false},
    {kCardIcons, "Mine", -1, false},
    {kCardIcons, "Mission", -1, true},
    {kCardIcons, "MissionGray", -1, true},
    {kHoldAlert, nullptr, 3, true},
}};
// The hint the VIP alert shows on a hand card of a month the opponent needs.
inline constexpr int32_t kHoldAlertHint = 7;
static_assert(kHandHints[kHoldAlertHint].path == kHoldAlert);

inline constexpr const char* kNineTenClip = "Hwatoo\\9ten_clip.qls";
inline constexpr Placed kAutoPlayNotice{"GameFunction\\AutoAction\\notify.psp", {399, 382}};
inline constexpr Placed kAutoPlayCancelButton{"GameFunction\\AutoAction\\cancelbtn.psp", {468, 458}};
inline constexpr int32_t kSunNotices = 2;
inline constexpr const char* kSunNotice = "GameFunction\\SelectSun\\sun_notify.qla";
inline constexpr const char* kCountdown = "GameProcess\\countdown.qla";
inline constexpr const char* kStartAnimation = "StartAni\\start_default.qla";
inline constexpr Placed kStartButton{"Button\\start_btn.psp", {240, 346}, 0, 2};

// Betting group, from its base point.
inline constexpr GPoint kBettingBase{64, 401};
inline constexpr const char* kBettingBack = "GameRule\\Betting\\back.qla";
inline constexpr int32_t kBetButtons = 3;
inline constexpr const char* kBetButtonFormat = "GameRule\\Betting\\btn%d.psp";
inline constexpr GSize kBetButtonOffset{11, 60};
inline constexpr int32_t kBetButtonPitch = 92;
inline constexpr std::array<int32_t, kBetButtons> kBetButtonSets{1, 2, 1};
inline constexpr TextStyle kBettingText{{kBettingBase.x + 67, kBettingBase.y + 15}, {168, 16}, Rgb(255, 247, 153), 12,
                                        700};
inline constexpr int32_t kBettingKinds = 2;
inline constexpr const char* kBettingKindFormat = "GameRule\\Betting\\kind%d.qla";
inline constexpr Placed kDieWarning{"GameRule\\Betting\\diewarning.psp", {kBettingBase.x + 233, kBettingBase.y - 60}};
inline constexpr Placed kMultiplierAnim{"GameRule\\Betting\\mul.qla", {1, 206}};

// Result and money.
inline constexpr const char* kWinner = "Effect\\winner.qla";
inline constexpr Placed kWinMoneyLimit{"Result\\winmoneylimit.psp", {471, 221}};
inline constexpr GPoint kChancePoint{678, 357};
inline constexpr GSize kChanceTextOffset{5, 148};
inline constexpr TextStyle kChanceText{{kChancePoint.x + kChanceTextOffset.cx, kChancePoint.y + kChanceTextOffset.cy},
                                       {113, 11}, Rgb(0, 0, 125), 12, 700};
inline constexpr const char* kMoneyBellNotice = "Promotion\\Moneybell\\notify.qla";
inline constexpr const char* kMoneyBellAnim = "Promotion\\Moneybell\\ani.qla";
inline constexpr const char* kMoneyBellOtherAnim = "Promotion\\Moneybell\\ani_other.qla";
inline constexpr std::array<GPoint, kSides> kRefillPoints{{{422, 399}, {443, 33}}};
inline constexpr const char* kAutoRefill = "Promotion\\AutoRefill\\autorefill.qla";
inline constexpr GSize kRefillTextOffset{174, 84};
inline constexpr TextStyle kRefillText{{0, 0}, {100, 20}, Rgb(116, 138, 117), 12, 400};
inline constexpr Placed kBijouEffect{"Effect\\GetBijou.qla", {16, 415}};

// Popup menu, level, the on-the-hour animation and the money-limit group.
inline constexpr int32_t kPopupButtons = 4;
inline constexpr const char* kPopupButtonFormat = "PopupMenu\\popup%d.psp";
inline constexpr std::array<int32_t, kPopupButtons> kPopupButtonSets{1, 1, 2, 2};
inline constexpr const char* kGameLevel = "Etc\\gamelevel.qla";
inline constexpr const char* kNumberOne = "Etc\\no1_dorvik.qla";
inline constexpr GPoint kMoneyLimitTooltipPoint{3, 327};

// Widgets the handlers use that the numbered steps leave out, made after the bijou: the
// remaining-cards board (blank, sized by its picture: 48 month cards, then the back, one
// cell each, stacked) beside the stake display, the room banner with the pick's and the
// game's animations above the opponent's piles, the deck animation on the deck and the
// no-turn sign just above it.
inline constexpr const char* kCardBoardPicture = "Hwatoo\\board.bmp";
inline constexpr int32_t kCardBoardCells = 49;
inline constexpr GPoint kCardBoardPoint{88, 141};
inline constexpr Placed kRoomBanner{"Back\\room_banner.qls", {262, 30}};
inline constexpr const char* kPickBanner = "Back\\room_banner_pick.qla";
inline constexpr const char* kInGameBanner = "Back\\room_banner_game.qla";
inline constexpr Placed kDeckAnimation{"GameProcess\\deck.qla", kDeckPoint};
inline constexpr Placed kNoTurnSign{"GameProcess\\noturn.qls", {313, 219}};

// The build's own fixed file names, in build order.
inline constexpr int32_t kSceneBuildFixedFiles = 60;
extern const char* const SceneBuildFixedFiles[kSceneBuildFixedFiles];

// Every file the build itself opens: its fixed names, every name of its numbered
// families (each skin), and the shared card, chance, money-limit and effect paths.
// What panels and managers open is theirs.
std::vector<std::string> SceneBuildFiles();

}  // namespace scene_build
