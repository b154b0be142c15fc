#include "tables/SceneBuildTable.h"

#include "base/TextUtil.h"
#include "tables/PanelPaths.h"
#include "tables/VocabularyTables.h"

namespace scene_build {

// Fixed names in build order; the numbered families are expanded by SceneBuildFiles.
const char* const SceneBuildFixedFiles[kSceneBuildFixedFiles] = {
    kRobotTitle.path, kDeckShadow.path, kTurnBlink, kTitleBarBack.path, kAutoPlaySettingButton.path,
    kMemoButton.path, kMemoNotice.path, kCaptureButton.path, kMinimiseButton.path, kMaximiseButton.path,
    kCloseButton.path, kWatchButton.path, kJoinButton.path, kOptionButton.path, kVipButton.path, kExitButton.path,
    kCancelExitButton.path, kPointMoneyBack.path, kRemainClose, kRemainHold, kInviteBack.path, kInviteButton,
    kRobotCharacter, kDisconnectMark, kVoiceOffMark, kBlacklistMark, kFirstPlayerIcon, kOutline, kCardIcons,
    kBigCard, kBombDummy, kRobotPlay, kPlayStart.path, kSunPick, kHoldAlert, kNineTenClip, kAutoPlayNotice.path,
    kAutoPlayCancelButton.path, kSunNotice, kCountdown, kStartAnimation, kStartButton.path, kBettingBack,
    kDieWarning.path, kMultiplierAnim.path, kWinner, kWinMoneyLimit.path, kMoneyBellNotice, kMoneyBellAnim,
    kMoneyBellOtherAnim, kAutoRefill, kBijouEffect.path, kCardBoardPicture, kRoomBanner.path, kPickBanner,
    kInGameBanner, kDeckAnimation.path, kNoTurnSign.path, kGameLevel, kNumberOne,
};

std::vector<std::string> SceneBuildFiles() {
  std::vector<std::string> out(std::begin(SceneBuildFixedFiles), std::end(SceneBuildFixedFiles));
  auto numbered = [&out](const char* format, int32_t count) {
    for (int32_t i = 0; i < count; ++i) out.push_back(FormatString(format, i));
  };
  numbered(kBackgroundFormat, kTableColourCount);
  numbered(kRobotAvatarFormat, kRobotAvatars);
  numbered(kBetButtonFormat, kBetButtons);
  numbered(kBettingKindFormat, kBettingKinds);
  numbered(kPopupButtonFormat, kPopupButtons);
  for (const char* p : {CardNormalPicturePath, CardSmallPicturePath, CardHoldPicturePath, CardShadowPicturePath,
                        ItemChanceIconPath, MoneyLimitTooltipPath, MoneyLimitTooltipAnimPath,
                        MoneyLimitExplainAnimPath})
    out.push_back(p);
  out.insert(out.end(), std::begin(EffectAnimFiles::Event), std::end(EffectAnimFiles::Event));
  out.insert(out.end(), std::begin(EffectAnimFiles::Combination), std::end(EffectAnimFiles::Combination));
  return out;
}

}  // namespace scene_build
