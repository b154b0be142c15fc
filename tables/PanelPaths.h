// Resource paths of the card pictures and of every panel, relative to the image
// folder. One constant per load site, so two sites that share a file keep separate
// constants; AllPanelPaths lists them in declaration order for tests and tools.
#pragma once

#include <cstdint>

constexpr int32_t kSeatIconCount = 3;
constexpr int32_t kPanelPathCount = 82;

// Card pictures: the scene build; the prompt, option and mission panels also use the normal set.
extern const char* const CardNormalPicturePath;
extern const char* const CardHoldPicturePath;
extern const char* const CardSmallPicturePath;
extern const char* const CardShadowPicturePath;

// User-info seat panel: the two leader marks are separate sheets that happen to share a file.
extern const char* const UserInfoLeaderMarkAPath;
extern const char* const UserInfoLeaderMarkBPath;
extern const char* const UserInfoReservedMarkPath;

// Score seat panel.
extern const char* const ScoreSmallDigitsPath;
extern const char* const ScoreLargeDigitsPath;
extern const char* const ScoreLabelPath;
extern const char* const ScoreHighlightAPath;
extern const char* const ScoreHighlightBPath;
extern const char* const ScoreTimesSignPath;
extern const char* const ScoreMultiplierDigitsPath;
extern const char* const ScoreTotalBackPath;
extern const char* const ScoreTotalPlaceholderPath;
extern const char* const ScoreTotalDigitsPath;

// Go-bak alert panel.
extern const char* const GoBakAlertDigitsPath;
extern const char* const GoBakAlertBackPath;

// Seat icon panel, by icon: go, shake, bbuck.
extern const char* const SeatIconFiles[kSeatIconCount];

// Bak icon panel: the frame and the three marks are separate sheets of one file.
extern const char* const BakIconFramePath;
extern const char* const BakIconMarksPath;

// Mission panel.
extern const char* const MissionCaptureMarkPath;
extern const char* const MissionSpecialMarkPath;
extern const char* const MissionMultiplierAnimPath;
extern const char* const MissionStateMarkPath;
extern const char* const MissionTwoCardAnimPath;

// Decision prompt panel.
extern const char* const PromptTitleAnimPath;
extern const char* const PromptCardSidePath;
extern const char* const PromptEffectAnimPath;
extern const char* const PromptYesButtonPath;
extern const char* const PromptNoButtonPath;
extern const char* const PromptSideMoneyMarkPath;

// Result panel.
extern const char* const ResultBackAnimPath;
extern const char* const ResultWinLoseIconPath;
extern const char* const ResultAutoStartButtonPath;
extern const char* const ResultExpandButtonPath;
extern const char* const ResultOkButtonPath;

// Item panel; the chance icon belongs to the scene build.
extern const char* const ItemBackPath;
extern const char* const ItemChoiceMarkPath;
extern const char* const ItemWithdrawButtonPath;
extern const char* const ItemChanceIconPath;

// Observer panel.
extern const char* const ObserverBackPath;
extern const char* const ObserverJoinButtonPath;
extern const char* const ObserverFirstServiceButtonPath;
extern const char* const ObserverSecondServiceButtonPath;
extern const char* const ObserverTopUpButtonPath;
extern const char* const ObserverMallButtonPath;
extern const char* const ObserverSafeButtonPath;
extern const char* const ObserverPaymentButtonPath;
extern const char* const ObserverServiceTipPath;
extern const char* const ObserverMinimiseButtonPath;
extern const char* const ObserverFoldedTabPath;
extern const char* const ObserverRestoreButtonPath;

// Anti-leave panel.
extern const char* const AntiLeaveBackPath;

// Option panel: one radio sheet per group of choices (card speed, voice set, table cloth).
extern const char* const OptionBackPath;
extern const char* const OptionVolumeKnobPath;
extern const char* const OptionSoundOffMarkPath;
extern const char* const OptionSpeedRadioPath;
extern const char* const OptionSoundCheckBoxPath;
extern const char* const OptionVoiceRadioPath;
extern const char* const OptionSkinRadioPath;
extern const char* const OptionRoomOptionAnimPath;
extern const char* const OptionOkButtonPath;

// Play-count panel.
extern const char* const PlayCountInfoButtonPath;
extern const char* const PlayCountGaugePath;
extern const char* const PlayCountAlertAnimPath;

// Ranking panel.
extern const char* const RankingBackPath;
extern const char* const RankingLevelPath;

// Bijou reward panel. The promotion banner sits among them but nothing loads it; the gain
// animation and the gain text's characters are separate loads of one file.
extern const char* const BijouBackPath;
extern const char* const BijouFullPicturePath;
extern const char* const PromotionBannerPath;
extern const char* const BijouKindAnimPath;
extern const char* const BijouKindPicturePath;
extern const char* const BijouCountDigitsPath;
extern const char* const BijouGainAnimPath;
extern const char* const BijouGainTextPath;

// Money-limit group of the scene build.
extern const char* const MoneyLimitExplainAnimPath;
extern const char* const MoneyLimitTooltipAnimPath;
extern const char* const MoneyLimitTooltipPath;

// The scene members' own pictures: the VIP manager, the promotion manager (its two
// static banners are separate loads of one file) and the notice ticker. Not in
// AllPanelPaths, which holds the panels' table.
extern const char* const VipComboAlertAnimPath;
extern const char* const VipAlarmAnimPath;
extern const char* const PromotionStaticBannerAPath;
extern const char* const PromotionDefaultAniBannerPath;
extern const char* const PromotionWinMoneyLimitAniBannerPath;
extern const char* const PromotionEventEffectAnimPath;
extern const char* const PromotionEventMissionAnimPath;
extern const char* const PromotionStaticBannerBPath;
extern const char* const CheckNoticeAnimPath;
extern const char* const CheckNoticeLinePath;

// Every panel constant above, seat icons included, in declaration order.
extern const char* const AllPanelPaths[kPanelPathCount];

// The seat icon of a kind; empty outside 0..2.
const char* GetSeatIconFile(int32_t kind);
