// The rows of the data folder. Paths come from the game's own tables where it has them,
// so a renamed constant shows up here; the rest are spelled as the readers spell them.
#include "tools/gamedata/GameDataManifest.h"

#include <algorithm>
#include <set>

#include "base/TextUtil.h"
#include "module/CMsgBoxSkin.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "tables/PanelPaths.h"
#include "tables/SceneBuildTable.h"
#include "tables/VocabularyTables.h"

namespace game_data {
namespace game_data_manifest {

namespace sb = scene_build;

constexpr const char* kImage = "GameImage\\";
constexpr const char* kSound = "GameSound\\";
constexpr int32_t kButtonFrames = 4;
constexpr int32_t kVoiceSets = 4;
constexpr int32_t kRobotVariants = 2;
constexpr int32_t kTwoFrames = 2;

// One row of the image table. Sizes are of one cell, frame or glyph.
struct Row {
  const char* path;
  FileKind kind;
  Look look;
  const char* reader;
  int16_t width, height;
  int16_t count;   // cells, sets, frames, glyphs or sub-animations
  int16_t frames;  // frames per set or per sub-animation
  const char* label = "";
  const char* names = "";  // '|' between sub-animation names
};

constexpr FileKind B = FileKind::Bmp, S = FileKind::Qls, P = FileKind::Psp, A = FileKind::Qla, G = FileKind::Gif;

constexpr const char* kScene = "CDorvik2VWS::BuildSceneUI";
constexpr const char* kHT = "CVHTWnd (CDorvik2VWS::CreateHTWnd)";

// Everything the build, the panels, the managers and the ticker open by a fixed name.
const Row kRows[] = {
    // Cards.
    {CardNormalPicturePath, B, Look::CardStrip, kHT, 36, 55, kCardCells, 1},
    {CardSmallPicturePath, B, Look::CardStrip, kHT, 25, 36, kCardCells, 1},
    {CardHoldPicturePath, B, Look::CardStrip, kHT, 40, 61, kCardCells, 1},
    {CardShadowPicturePath, B, Look::Shadow, kHT, 36, 55, 1, 1},
    {sb::kBigCard, P, Look::Ring, kScene, 56, 86, 1, 1},
    {sb::kOutline, P, Look::Frames, kScene, 40, 59, 2, 1},
    {sb::kCardIcons, A, Look::Anim, kScene, 36, 20, 8, kTwoFrames, "",
     "OpenMission|CanEat|CanEatFix|Bomb|Shake|Mine|Mission|MissionGray"},
    {"Hwatoo\\pee_count.bmp", B, Look::Picture, "CVCountWnd", 24, 22, 1, 1, "피"},
    {sb::kRemainClose, A, Look::Anim, kScene, 60, 24, 1, kTwoFrames},
    {sb::kRemainHold, A, Look::Anim, kScene, 60, 24, 1, kTwoFrames},
    {sb::kBombDummy, S, Look::Picture, kScene, 36, 16, 1, 1, "폭탄"},
    {sb::kNineTenClip, S, Look::Picture, kScene, 36, 16, 1, 1, "9열"},
    {sb::kCardBoardPicture, B, Look::BoardStrip, kScene, 14, 20, sb::kCardBoardCells, 1},
    // Table.
    {sb::kRobotTitle.path, S, Look::Picture, kScene, 100, 20, 1, 1, "로봇대전"},
    {sb::kDeckShadow.path, S, Look::Picture, kScene, 44, 63, 1, 1, "덱"},
    {sb::kPointMoneyBack.path, S, Look::Picture, kScene, 82, 16, 1, 1, "점당"},
    {sb::kTurnBlink, A, Look::Anim, kScene, 120, 20, 2, kTwoFrames},
    {sb::kRobotPlay, A, Look::Anim, kScene, 96, 24, 1, kTwoFrames},
    {sb::kPlayStart.path, S, Look::Picture, kScene, 120, 30, 1, 1, "게임시작"},
    {sb::kCountdown, A, Look::Anim, kScene, 48, 48, 10, kTwoFrames},
    {sb::kStartAnimation, A, Look::Anim, kScene, 160, 40, 1, kTwoFrames},
    {sb::kRoomBanner.path, S, Look::Picture, kScene, 200, 36, 1, 1, "방 배너"},
    {sb::kPickBanner, A, Look::Anim, kScene, 200, 36, 1, kTwoFrames, "선 정하기"},
    {sb::kInGameBanner, A, Look::Anim, kScene, 200, 36, 1, kTwoFrames, "게임 중"},
    {sb::kDeckAnimation.path, A, Look::Anim, kScene, 44, 63, 1, kTwoFrames, "덱"},
    {sb::kNoTurnSign.path, S, Look::Picture, kScene, 80, 20, 1, 1, "차례 없음"},
    // Top and bottom bars.
    {sb::kTitleBarBack.path, S, Look::Picture, kScene, 171, 20, 1, 1, "타이틀"},
    {sb::kAutoPlaySettingButton.path, P, Look::Button, kScene, 60, 20, 2, kButtonFrames, "자동"},
    {sb::kMemoButton.path, P, Look::Button, kScene, 20, 20, 1, kButtonFrames, "쪽"},
    {sb::kMemoNotice.path, A, Look::Anim, kScene, 20, 20, 1, kTwoFrames},
    {sb::kCaptureButton.path, P, Look::Button, kScene, 20, 20, 1, kButtonFrames, "찍"},
    {sb::kMinimiseButton.path, P, Look::Button, kScene, 20, 20, 1, kButtonFrames, "소"},
    {sb::kMaximiseButton.path, P, Look::Button, kScene, 20, 20, 2, kButtonFrames, "대"},
    {sb::kCloseButton.path, P, Look::Button, kScene, 20, 20, 1, kButtonFrames, "닫"},
    {sb::kWatchButton.path, P, Look::Button, kScene, 56, 22, 1, kButtonFrames, "관전"},
    {sb::kJoinButton.path, P, Look::Button, kScene, 56, 22, 1, kButtonFrames, "참여"},
    {sb::kOptionButton.path, P, Look::Button, kScene, 56, 22, 1, kButtonFrames, "설정"},
    {sb::kVipButton.path, P, Look::Button, kScene, 56, 22, 1, kButtonFrames, "VIP"},
    {sb::kExitButton.path, P, Look::Button, kScene, 56, 22, 1, kButtonFrames, "나가기"},
    {sb::kCancelExitButton.path, P, Look::Button, kScene, 56, 22, 1, kButtonFrames, "취소"},
    {sb::kStartButton.path, P, Look::Button, kScene, 80, 30, 2, kButtonFrames, "시작"},
    // Avatars.
    {sb::kInviteBack.path, S, Look::Picture, kScene, 68, 98, 1, 1, "초대"},
    {sb::kInviteButton, P, Look::Button, kScene, 60, 22, 1, kButtonFrames, "초대"},
    {sb::kRobotCharacter, S, Look::Picture, kScene, 68, 98, 1, 1, "로봇"},
    {sb::kDisconnectMark, S, Look::Picture, kScene, 68, 20, 1, 1, "끊김"},
    {sb::kVoiceOffMark, S, Look::Picture, kScene, 20, 20, 1, 1, "묵"},
    {sb::kBlacklistMark, S, Look::Picture, kScene, 68, 20, 1, 1, "차단"},
    {sb::kFirstPlayerIcon, P, Look::Frames, kScene, 20, 16, 1, 1, "선"},
    {"Avatar\\default.gif", G, Look::Avatar, "XResEntryMgr::CreateAvatar", kAvatarWidth, kAvatarHeight, 1, 3},
    {"Avatar\\Part\\body.gif", G, Look::Avatar, "XResEntryMgr::CreateAvatar", kAvatarWidth, kAvatarHeight, 1, 2},
    {"Avatar\\Part\\face.gif", G, Look::Avatar, "XResEntryMgr::CreateAvatar", kAvatarWidth, kAvatarHeight, 1, 2},
    // Scene sprites and animations.
    {sb::kSunPick, A, Look::Anim, kScene, 36, 55, 1, kTwoFrames},
    {sb::kSunNotice, A, Look::Anim, kScene, 120, 30, 13, kTwoFrames},
    {sb::kAutoPlayNotice.path, P, Look::Frames, kScene, 120, 30, 1, 1, "자동진행"},
    {sb::kAutoPlayCancelButton.path, P, Look::Button, kScene, 60, 22, 1, kButtonFrames, "해제"},
    {sb::kBettingBack, A, Look::Anim, kScene, 290, 90, 1, kTwoFrames},
    {sb::kDieWarning.path, P, Look::Frames, kScene, 100, 24, 1, 1, "다이"},
    {sb::kMultiplierAnim.path, A, Look::Anim, kScene, 96, 24, 1, kTwoFrames},
    {sb::kWinner, A, Look::Anim, kScene, 160, 40, 1, kTwoFrames},
    {sb::kBijouEffect.path, A, Look::Anim, kScene, 96, 24, 1, kTwoFrames},
    {sb::kWinMoneyLimit.path, P, Look::Frames, kScene, 120, 30, 1, 1, "한도"},
    {sb::kMoneyBellNotice, A, Look::Anim, kScene, 120, 30, 1, kTwoFrames},
    {sb::kMoneyBellAnim, A, Look::Anim, kScene, 96, 24, 3, kTwoFrames},
    {sb::kMoneyBellOtherAnim, A, Look::Anim, kScene, 96, 24, 1, kTwoFrames},
    {sb::kAutoRefill, A, Look::Anim, kScene, 96, 24, 4, kTwoFrames},
    {sb::kGameLevel, A, Look::Anim, kScene, 96, 24, 1, kTwoFrames},
    {sb::kNumberOne, A, Look::Anim, kScene, 96, 24, 1, kTwoFrames},
    {CheckNoticeAnimPath, A, Look::Anim, "CCheckNotice::LoadCheckNotice", 24, 16, 28, kTwoFrames},
    {CheckNoticeLinePath, P, Look::Frames, "CCheckNotice::LoadCheckNotice", 178, 12, 1, 1, "공지"},
    {"Cursor\\sg_normal.ani", FileKind::Ani, Look::Cursor, "CDorvik2VWS::Init", 32, 32, 1, 3},
    {"Cursor\\sg_click.ani", FileKind::Ani, Look::Cursor, "CDorvik2VWS::Init", 32, 32, 1, 3},
    // VIP manager and helper popup.
    {sb::kHoldAlert, A, Look::Anim, kScene, 36, 20, 4, kTwoFrames},
    {VipComboAlertAnimPath, A, Look::Anim, "CDorvik2VIPMgr", 40, 20, 12, kTwoFrames},
    {VipAlarmAnimPath, A, Look::Anim, "CDorvik2VIPMgr", 120, 30, 3, kTwoFrames},
    {"VIP\\bg_gamehelp.bmp", B, Look::Keyed, "SkinnedPopup", 280, 350, 1, 1, "도우미"},
    {"VIP\\bg_gamehelp_dorvik.bmp", B, Look::Picture, "SkinnedPopup", 256, 90, 1, 1, "게임도움"},
    {"VIP\\img_dorvik_option.bmp", B, Look::Picture, "SkinnedPopup", 256, 90, 1, 1, "옵션"},
    {"VIP\\img_dorvik_normal.bmp", B, Look::Picture, "SkinnedPopup", 120, 40, 1, 1, "일반"},
    {"VIP\\img_torong_robot.bmp", B, Look::Picture, "SkinnedPopup", 120, 40, 1, 1, "로봇"},
    {"VIP\\img_money_dorvik.bmp", B, Look::Picture, "SkinnedPopup", 120, 20, 1, 1, "머니"},
    {"VIP\\btn_view_item.bmp", B, Look::Strip, "SkinnedPopup", 60, 20, kButtonFrames, 1, "아이템"},
    {"VIP\\btn_view_item_normal.bmp", B, Look::Strip, "SkinnedPopup", 60, 20, kButtonFrames, 1, "보기"},
    {"VIP\\btn_exit.bmp", B, Look::Strip, "SkinnedPopup", 20, 20, kButtonFrames, 1, "X"},
    {"VIP\\btn_conform.bmp", B, Look::Strip, "SkinnedPopup", 48, 20, kButtonFrames, 1, "확인"},
    {"VIP\\btn_close.bmp", B, Look::Strip, "SkinnedPopup", 48, 20, kButtonFrames, 1, "닫기"},
    // Promotion manager.
    {PromotionStaticBannerAPath, P, Look::Frames, "CDorvik2PromotionMgr", 160, 40, 1, 1, "배너"},
    {PromotionDefaultAniBannerPath, A, Look::Anim, "CDorvik2PromotionMgr", 160, 40, 1, kTwoFrames},
    {PromotionWinMoneyLimitAniBannerPath, A, Look::Anim, "CDorvik2PromotionMgr", 160, 40, 1,
     kTwoFrames},
    {PromotionEventEffectAnimPath, A, Look::Anim, "CDorvik2PromotionMgr", 160, 40, 1, kTwoFrames},
    {PromotionEventMissionAnimPath, A, Look::Anim, "CDorvik2PromotionMgr", 160, 40, 1, kTwoFrames},
    // Panels: the shared path table.
    {"Userinfo\\sun_owner.psp", P, Look::Frames, "CVUserInfoWnd", 20, 16, 2, 1, "선"},
    {"Userinfo\\reserved.qla", A, Look::Anim, "CVUserInfoWnd", 60, 16, 2, kTwoFrames},
    {"Jumsu\\jumsu1.psp", P, Look::Digits, "CVJumsuInfoWnd", 14, 20, kDigitGlyphs, 1},
    {"Jumsu\\jumsu2.psp", P, Look::Digits, "CVJumsuInfoWnd", 16, 22, kDigitGlyphs, 1},
    {"Jumsu\\jumtext.psp", P, Look::Frames, "CVJumsuInfoWnd", 24, 14, 2, 1, "점"},
    {"Jumsu\\jumsu_effect0.psp", P, Look::EffectDigits, "CVJumsuInfoWnd", 14, 20, kDigitGlyphs, 1},
    {"Jumsu\\jumsu_effect1.psp", P, Look::EffectDigits, "CVJumsuInfoWnd", 16, 22, kDigitGlyphs, 1},
    {"Jumsu\\x.psp", P, Look::Frames, "CVJumsuInfoWnd", 10, 11, 1, 1, "x"},
    {"Jumsu\\mul.psp", P, Look::Digits, "CVJumsuInfoWnd", 8, 11, kDigitGlyphs, 1},
    {"Jumsu\\totaljumsu_back.psp", P, Look::Frames, "CVJumsuInfoWnd", 140, 24, 1, 1, "총점"},
    {"Jumsu\\totaljumsu_empty.psp", P, Look::Digits, "CVJumsuInfoWnd", 12, 18, kDigitGlyphs, 1},
    {"Jumsu\\totaljumsu.psp", P, Look::Digits, "CVJumsuInfoWnd", 12, 18, kDigitGlyphs, 1},
    {"Jumsu\\alert_jumsu.psp", P, Look::Digits, "CVGoBakAlertUIWnd", 12, 18, kDigitGlyphs, 1},
    {"Jumsu\\alert_back.qls", S, Look::Picture, "CVGoBakAlertUIWnd", 167, 59, 1, 1, "고박"},
    {"Icon\\go.qla", A, Look::Anim, "CVHTIconWnd", 24, 16, 1, 9},
    {"Icon\\shake.qla", A, Look::Anim, "CVHTIconWnd", 24, 16, 1, 4},
    {"Icon\\bbuck.qla", A, Look::Anim, "CVHTIconWnd", 24, 16, 1, 3},
    {"Icon\\bak.psp", P, Look::Frames, "CVBakIconWnd", 28, 15, 4, 1, "박"},
    {"Mission\\arrow.psp", P, Look::Frames, "CVMissionWnd", 12, 12, 2, 1, "v"},
    {"Mission\\special.psp", P, Look::Frames, "CVMissionWnd", 60, 16, 2, 1, "특별"},
    {"Mission\\mul.qla", A, Look::Anim, "CVMissionWnd", 40, 20, 11, kTwoFrames},
    {"Mission\\status.psp", P, Look::Frames, "CVMissionWnd", 60, 16, 3, 1, "상태"},
    {"Mission\\sudda.qla", A, Look::Anim, "CVMissionWnd", 120, 30, 1, kTwoFrames},
    {"Notify\\back.qla", A, Look::Anim, "CVNotifyWnd", 240, 40, 21, kTwoFrames},
    {"Notify\\hwatoo_side.qls", S, Look::Picture, "CVNotifyWnd", 36, 8, 1, 1, "옆"},
    {"Notify\\effect.qla", A, Look::Anim, "CVNotifyWnd", 120, 30, 4, kTwoFrames},
    {"Notify\\yes_btn.psp", P, Look::Button, "CVNotifyWnd", 64, 24, 12, kButtonFrames, "예"},
    {"Notify\\no_btn.psp", P, Look::Button, "CVNotifyWnd", 64, 24, 4, kButtonFrames, "아니오"},
    {"Notify\\sidemoneymark.qls", S, Look::Picture, "CVNotifyWnd", 40, 16, 1, 1, "판돈"},
    {"Result\\back.qla", A, Look::Anim, "CVResultWnd", 240, 60, 12, kTwoFrames},
    {"Result\\winlose_icon.psp", P, Look::Frames, "CVResultWnd", 40, 20, 2, 1, "승패"},
    {"Result\\autostart.psp", P, Look::Button, "CVResultWnd", 70, 20, 2, kButtonFrames, "자동시작"},
    {"Result\\expand_btn.psp", P, Look::Button, "CVResultWnd", 56, 20, 2, kButtonFrames, "펼침"},
    {"Result\\ok_btn.psp", P, Look::Button, "CVResultWnd", 56, 22, 1, kButtonFrames, "확인"},
    {"Item\\back.qls", S, Look::Picture, "CVItemWnd", 240, 80, 1, 1, "아이템"},
    {"Item\\safe_choice.psp", P, Look::Frames, "CVItemWnd", 12, 12, 2, 1, "o"},
    {"Item\\safe_btn.psp", P, Look::Button, "CVItemWnd", 48, 20, 1, kButtonFrames, "출금"},
    {ItemChanceIconPath, P, Look::Frames, kScene, 120, 160, 1, 1, "찬스"},
    {"ObserveSystem\\back.qls", S, Look::Picture, "CVObserveSystemWnd", 224, 140, 1, 1, "관전"},
    {"ObserveSystem\\gamejoin_btn.psp", P, Look::Button, "CVObserveSystemWnd", 80, 22, 1, kButtonFrames, "게임참여"},
    {"ObserveSystem\\assa_btn.psp", P, Look::Button, "CVObserveSystemWnd", 24, 20, 1, kButtonFrames, "아"},
    {"ObserveSystem\\karpen_btn.psp", P, Look::Button, "CVObserveSystemWnd", 24, 20, 1, kButtonFrames, "카"},
    {"ObserveSystem\\refill_btn.psp", P, Look::Button, "CVObserveSystemWnd", 100, 20, 1, kButtonFrames, "충전"},
    {"ObserveSystem\\gamemall_btn.psp", P, Look::Button, "CVObserveSystemWnd", 100, 20, 1, kButtonFrames, "게임몰"},
    {"ObserveSystem\\safe_btn.psp", P, Look::Button, "CVObserveSystemWnd", 100, 20, 1, kButtonFrames, "금고"},
    {"ObserveSystem\\payment_btn.psp", P, Look::Button, "CVObserveSystemWnd", 100, 20, 1, kButtonFrames, "결제"},
    {"ObserveSystem\\item_tooltip.psp", P, Look::Frames, "CVObserveSystemWnd", 120, 20, 1, 1, "도움말"},
    {"ObserveSystem\\min_btn.psp", P, Look::Button, "CVObserveSystemWnd", 16, 16, 1, kButtonFrames, "-"},
    {"ObserveSystem\\text.psp", P, Look::Frames, "CVObserveSystemWnd", 100, 40, 1, 1, "관전중"},
    {"ObserveSystem\\text_btn.psp", P, Look::Button, "CVObserveSystemWnd", 60, 20, 1, kButtonFrames, "펼침"},
    {"GameRule\\Restrict\\back.qls", S, Look::Picture, "CVRestrictOptionWnd", 89, 49, 1, 1, "탈주"},
    {"Option\\back.qls", S, Look::Picture, "CVUserOptionWnd", 200, 330, 1, 1, "옵션"},
    {"Option\\slidebtn.bmp", B, Look::Picture, "GVSlideWnd", 12, 12, 1, 1},
    {"Option\\soundoff.qls", S, Look::Picture, "CVUserOptionWnd", 16, 16, 1, 1, "음"},
    {"Option\\radio_btn.psp", P, Look::Frames, "CVUserOptionWnd", 14, 14, 2, 1, "o"},
    {"Option\\checkbox.psp", P, Look::Frames, "CVUserOptionWnd", 14, 14, 2, 1, "v"},
    {"Option\\gameroomoption.qla", A, Look::Anim, "CVUserOptionWnd", 120, 30, 1, kTwoFrames},
    {"Option\\ok_btn.psp", P, Look::Button, "CVUserOptionWnd", 56, 22, 1, kButtonFrames, "확인"},
    {"PCRefill\\btn.psp", P, Look::Button, "CVGFPlayCountWnd", 60, 16, 2, kButtonFrames, "판수"},
    {"PCRefill\\gauge.bmp", B, Look::Picture, "CVGFPlayCountWnd", 38, 2, 1, 1},
    {"PCRefill\\alert.qla", A, Look::Anim, "CVGFPlayCountWnd", 96, 24, 1, kTwoFrames},
    {"Ranking\\back.qls", S, Look::Picture, "CVRankingPointWnd", 60, 35, 1, 1, "랭킹"},
    {"Ranking\\level.psp", P, Look::Frames, "CVRankingPointWnd", 20, 14, 20, 1, "L"},
    {"Bijou\\back.psp", P, Look::Frames, "CVDorvik2BijouWnd", 120, 60, 1, 1, "보석"},
    {"Bijou\\back_success.psp", P, Look::Frames, "CVDorvik2BijouWnd", 120, 60, 1, 1, "완성"},
    {"Promotion\\banner.psp", P, Look::Frames, "nobody", 120, 40, 1, 1, "배너"},
    {"Bijou\\bijou.qla", A, Look::Anim, "CVDorvik2BijouWnd", 36, 36, 5, kTwoFrames},
    {"Bijou\\bijou.psp", P, Look::Frames, "CVDorvik2BijouWnd", 36, 36, 5, 1, "보"},
    {"Bijou\\bijoucnt.psp", P, Look::Digits, "CVDorvik2BijouWnd", 10, 14, kDigitGlyphs, 1},
    {"Bijou\\getbijou.qla", A, Look::Anim, "CVDorvik2BijouWnd", 20, 30, 12, kTwoFrames, "",
     "dama|+|0|1|2|3|4|5|6|7|8|9"},
    {MoneyLimitExplainAnimPath, A, Look::Anim, kScene, 160, 40, 7, kTwoFrames},
    {MoneyLimitTooltipAnimPath, A, Look::Anim, kScene, 120, 30, 1, kTwoFrames},
    {MoneyLimitTooltipPath, P, Look::Frames, kScene, 120, 30, 1, 1, "한도"},
};

// Labels of the formatted button families, by number.
const char* const kBettingLabels[] = {"다이", "콜", "하프"};
const char* const kPopupLabels[] = {"정보", "귓속말", "추방", "차단"};
const char* const kMsgBoxButtons[][2] = {{"ok_btn.bmp", "확인"}, {"yes_btn.bmp", "예"}, {"no_btn.bmp", "아니오"}};
constexpr int32_t kMsgPieceSize = 12;

std::string Stem(const std::string& path) {
  const size_t slash = path.rfind('\\');
  const size_t dot = path.rfind('.');
  return path.substr(slash + 1, dot - slash - 1);
}

std::vector<std::string> SplitNames(const char* names) {
  std::vector<std::string> out;
  std::string cur;
  for (const char* p = names; *p; ++p) {
    if (*p == '|') {
      out.push_back(cur);
      cur.clear();
    } else {
      cur += *p;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

ManifestEntry Image(const std::string& path, FileKind kind, Look look, const char* reader, int32_t w, int32_t h,
                    int32_t count, int32_t frames, const std::string& label) {
  ManifestEntry e;
  e.path = kImage + path;
  e.kind = kind, e.look = look, e.reader = reader;
  e.width = w, e.height = h, e.count = count, e.frames = frames;
  e.label = label.empty() ? Stem(path) : label;
  return e;
}

ManifestEntry Sound(const std::string& path, int32_t ms, int32_t hz, int32_t channels, const char* reader) {
  ManifestEntry e;
  const bool wav = path.ends_with(".wav"), psn = path.ends_with(".psn");
  e.path = kSound + path;
  e.kind = wav ? FileKind::Wav : psn ? FileKind::Psn : FileKind::Ogg;
  e.look = Look::Tone;
  e.reader = reader;
  e.count = ms, e.hz = hz, e.channels = channels;
  return e;
}

// Each voice line (a speaker's cue) has a pitch of its own, 5 Hz from the next and above
// every effect's, so that a recording tells which line was spoken even over 100 ms, as it
// tells one effect from another; a line's variants, which the module draws at random,
// lie a hertz apart.
void AddVoices(std::vector<ManifestEntry>& out) {
  constexpr int32_t kVoiceMs = 100;
  constexpr int32_t kBaseHz = 1150, kLineHz = 5, kVariantHz = 1;
  std::set<std::string> seen;
  int32_t speaker = 0;
  auto add = [&](int32_t gender, int32_t set, int32_t row, int32_t variant) {
    const std::string path = CDorvik2VWS::VoiceFile(gender, set, VoiceCueTable[row].cue, variant);
    if (!seen.insert(path).second) return;
    const int32_t hz = kBaseHz + (speaker * kVoiceCueCount + row) * kLineHz + (variant - 1) * kVariantHz;
    out.push_back(Sound(path, kVoiceMs, hz, 1, "CDorvik2VWS::PlayVoice"));
  };
  for (int32_t gender : {0, 1})
    for (int32_t set = 1; set <= kVoiceSets; ++set, ++speaker)
      for (int32_t row = 0; row < kVoiceCueCount; ++row)
        for (int32_t v = 1; v <= VoiceCueTable[row].variantCount; ++v) add(gender, set, row, v);
  for (int32_t row = 0; row < kVoiceCueCount; ++row)
    for (int32_t v = 1; v <= kRobotVariants; ++v) add(2, 1, row, v);
}

std::vector<ManifestEntry> Build() {
  std::vector<ManifestEntry> out;
  for (int32_t skin = 0; skin < kTableColourCount; ++skin)
    out.push_back(Image(FormatString(sb::kBackgroundFormat, skin), B, Look::Cloth, kScene, 800, 600, 1, 1,
                        TableColourNames[skin]));
  for (const Row& r : kRows) {
    out.push_back(Image(r.path, r.kind, r.look, r.reader, r.width, r.height, r.count, r.frames, r.label));
    out.back().names = SplitNames(r.names);
  }
  for (const char* robot : {sb::kRobotAvatarFormat, "Avatar\\robot2_avatar%d.gif"})
    for (int32_t i = 0; i < sb::kRobotAvatars; ++i)
      out.push_back(Image(FormatString(robot, i), G, Look::Avatar, "GVAnimWnd::LoadGif", kAvatarWidth, kAvatarHeight, 1,
                          2 + i % 3, ""));
  for (int32_t i = 0; i < sb::kBetButtons; ++i)
    out.push_back(Image(FormatString(sb::kBetButtonFormat, i), P, Look::Button, kScene, 80, 24,
                        sb::kBetButtonSets[size_t(i)], kButtonFrames, kBettingLabels[i]));
  for (int32_t i = 0; i < sb::kBettingKinds; ++i)
    out.push_back(Image(FormatString(sb::kBettingKindFormat, i), A, Look::Anim, kScene, 96, 24, 1, kTwoFrames, ""));
  for (int32_t i = 0; i < sb::kPopupButtons; ++i)
    out.push_back(Image(FormatString(sb::kPopupButtonFormat, i), P, Look::Button, kScene, 64, 18,
                        sb::kPopupButtonSets[size_t(i)], kButtonFrames, kPopupLabels[i]));
  for (const char* const* table : {EffectAnimFiles::Combination, EffectAnimFiles::Event}) {
    const int32_t n = table == EffectAnimFiles::Combination ? kComboEffectAnimCount : kEventEffectAnimCount;
    for (int32_t i = 0; i < n; ++i) {
      const bool go = std::string(table[i]) == "Effect\\go.qla";
      out.push_back(Image(table[i], A, Look::Anim, kScene, 160, 40, 1, go ? 10 : kTwoFrames, ""));
    }
  }
  for (int32_t i = 0; i < CMsgBoxSkin::kPieceCount; ++i)
    out.push_back(Image("MsgBox\\msg" + std::to_string(i) + ".bmp", B, Look::Picture, "CMsgBoxSkin::LoadFrame",
                        kMsgPieceSize, kMsgPieceSize, 1, 1, std::to_string(i)));
  for (const auto& [file, label] : kMsgBoxButtons)
    out.push_back(Image(std::string("MsgBox\\") + file, B, Look::PlainStrip, "CMsgBoxSkin::LoadButton", 60, 22,
                        CMsgBoxSkin::kStripFrames, 1, label));
  for (int32_t id = 0; id < scene_effects::kCount; ++id) {
    constexpr int32_t kShortMs = 100, kStepMs = 100, kBaseHz = 330, kStepHz = 15;
    out.push_back(Sound(scene_effects::Files[id], kShortMs + (id % 3) * kStepMs, kBaseHz + id * kStepHz, 1 + id % 2,
                        "CDorvik2VWS::RegisterEffects"));
  }
  AddVoices(out);
  constexpr int32_t kMusicMs = 3000, kMusicHz = 262;
  out.push_back(Sound("music.ogg", kMusicMs, kMusicHz, 2, "CMusicStream"));
  out.push_back(Sound("music.psn", kMusicMs, kMusicHz * 3 / 2, 2, "CMusicStream"));
  ManifestEntry ini;
  ini.path = "common\\quell_" + std::to_string(kGameNumber) + ".ini";
  ini.kind = FileKind::Ini, ini.look = Look::Settings, ini.root = Root::Portal;
  ini.reader = "CDorvik2VWS::Init";
  out.push_back(ini);
  return out;
}

}  // namespace game_data_manifest

const std::vector<ManifestEntry>& Manifest() {
  static const std::vector<ManifestEntry> all = game_data_manifest::Build();
  return all;
}

const ManifestEntry* FindEntry(const std::string& path) {
  for (const ManifestEntry& e : Manifest())
    if (e.path == path) return &e;
  return nullptr;
}

int32_t CardMonth(int32_t card) { return card / 4 + 1; }

std::string CardKindText(int32_t card) {
  // g bright, y animal, t ribbon, p junk, d double junk; the bonus cards count 3 and 2.
  static constexpr char kKinds[] = "gtppytppgtppytppytppytppytppgyppdtppytppgdppgytd";
  if (card == 48) return "3피";
  if (card == 49) return "2피";
  switch (kKinds[card]) {
    case 'g':
      return "광";
    case 'y':
      return "열";
    case 't':
      return "띠";
    case 'd':
      return "쌍피";
    default:
      return "피";
  }
}

}  // namespace game_data
