// The panel resource paths. Written with backslashes and in their own case: the
// layer's file mapping resolves case on disk.
#include "tables/PanelPaths.h"

#include "tables/TableLookup.h"

constexpr const char* CardNormalPicturePath = "Hwatoo\\normal.bmp";
constexpr const char* CardHoldPicturePath = "Hwatoo\\hold.bmp";
constexpr const char* CardSmallPicturePath = "Hwatoo\\small.bmp";
constexpr const char* CardShadowPicturePath = "Hwatoo\\shadow.bmp";

constexpr const char* UserInfoLeaderMarkAPath = "Userinfo\\sun_owner.psp";
constexpr const char* UserInfoLeaderMarkBPath = "Userinfo\\sun_owner.psp";
constexpr const char* UserInfoReservedMarkPath = "Userinfo\\reserved.qla";

constexpr const char* ScoreSmallDigitsPath = "Jumsu\\jumsu1.psp";
constexpr const char* ScoreLargeDigitsPath = "Jumsu\\jumsu2.psp";
constexpr const char* ScoreLabelPath = "Jumsu\\jumtext.psp";
constexpr const char* ScoreHighlightAPath = "Jumsu\\jumsu_effect0.psp";
constexpr const char* ScoreHighlightBPath = "Jumsu\\jumsu_effect1.psp";
constexpr const char* ScoreTimesSignPath = "Jumsu\\x.psp";
constexpr const char* ScoreMultiplierDigitsPath = "Jumsu\\mul.psp";
constexpr const char* ScoreTotalBackPath = "Jumsu\\totaljumsu_back.psp";
constexpr const char* ScoreTotalPlaceholderPath = "Jumsu\\totaljumsu_empty.psp";
constexpr const char* ScoreTotalDigitsPath = "Jumsu\\totaljumsu.psp";

constexpr const char* GoBakAlertDigitsPath = "Jumsu\\alert_jumsu.psp";
constexpr const char* GoBakAlertBackPath = "Jumsu\\alert_back.qls";

constexpr const char* SeatIconFiles[kSeatIconCount] = {"Icon\\go.qla", "Icon\\shake.qla", "Icon\\bbuck.qla"};

constexpr const char* BakIconFramePath = "Icon\\bak.psp";
constexpr const char* BakIconMarksPath = "Icon\\bak.psp";

constexpr const char* MissionCaptureMarkPath = "Mission\\arrow.psp";
constexpr const char* MissionSpecialMarkPath = "Mission\\special.psp";
constexpr const char* MissionMultiplierAnimPath = "Mission\\mul.qla";
constexpr const char* MissionStateMarkPath = "Mission\\status.psp";
constexpr const char* MissionTwoCardAnimPath = "Mission\\sudda.qla";

constexpr const char* PromptTitleAnimPath = "Notify\\back.qla";
constexpr const char* PromptCardSidePath = "Notify\\hwatoo_side.qls";
constexpr const char* PromptEffectAnimPath = "Notify\\effect.qla";
constexpr const char* PromptYesButtonPath = "Notify\\yes_btn.psp";
constexpr const char* PromptNoButtonPath = "Notify\\no_btn.psp";
constexpr const char* PromptSideMoneyMarkPath = "Notify\\sidemoneymark.qls";

constexpr const char* ResultBackAnimPath = "Result\\back.qla";
constexpr const char* ResultWinLoseIconPath = "Result\\winlose_icon.psp";
constexpr const char* ResultAutoStartButtonPath = "Result\\autostart.psp";
constexpr const char* ResultExpandButtonPath = "Result\\expand_btn.psp";
constexpr const char* ResultOkButtonPath = "Result\\ok_btn.psp";

constexpr const char* ItemBackPath = "Item\\back.qls";
constexpr const char* ItemChoiceMarkPath = "Item\\safe_choice.psp";
constexpr const char* ItemWithdrawButtonPath = "Item\\safe_btn.psp";
constexpr const char* ItemChanceIconPath = "Item\\chance.psp";

constexpr const char* ObserverBackPath = "ObserveSystem\\back.qls";
constexpr const char* ObserverJoinButtonPath = "ObserveSystem\\gamejoin_btn.psp";
constexpr const char* ObserverFirstServiceButtonPath = "ObserveSystem\\assa_btn.psp";
constexpr const char* ObserverSecondServiceButtonPath = "ObserveSystem\\karpen_btn.psp";
constexpr const char* ObserverTopUpButtonPath = "ObserveSystem\\refill_btn.psp";
constexpr const char* ObserverMallButtonPath = "ObserveSystem\\gamemall_btn.psp";
constexpr const char* ObserverSafeButtonPath = "ObserveSystem\\safe_btn.psp";
constexpr const char* ObserverPaymentButtonPath = "ObserveSystem\\payment_btn.psp";
constexpr const char* ObserverServiceTipPath = "ObserveSystem\\item_tooltip.psp";
constexpr const char* ObserverMinimiseButtonPath = "ObserveSystem\\min_btn.psp";
constexpr const char* ObserverFoldedTabPath = "ObserveSystem\\text.psp";
constexpr const char* ObserverRestoreButtonPath = "ObserveSystem\\text_btn.psp";

constexpr const char* AntiLeaveBackPath = "GameRule\\Restrict\\back.qls";

constexpr const char* OptionBackPath = "Option\\back.qls";
constexpr const char* OptionVolumeKnobPath = "Option\\slidebtn.bmp";
constexpr const char* OptionSoundOffMarkPath = "Option\\soundoff.qls";
constexpr const char* OptionSpeedRadioPath = "Option\\radio_btn.psp";
constexpr const char* OptionSoundCheckBoxPath = "Option\\checkbox.psp";
constexpr const char* OptionVoiceRadioPath = "Option\\radio_btn.psp";
constexpr const char* OptionSkinRadioPath = "Option\\radio_btn.psp";
constexpr const char* OptionRoomOptionAnimPath = "Option\\gameroomoption.qla";
constexpr const char* OptionOkButtonPath = "Option\\ok_btn.psp";

constexpr const char* PlayCountInfoButtonPath = "PCRefill\\btn.psp";
constexpr const char* PlayCountGaugePath = "PCRefill\\gauge.bmp";
constexpr const char* PlayCountAlertAnimPath = "PCRefill\\alert.qla";

constexpr const char* RankingBackPath = "Ranking\\back.qls";
constexpr const char* RankingLevelPath = "Ranking\\level.psp";

constexpr const char* BijouBackPath = "Bijou\\back.psp";
constexpr const char* BijouFullPicturePath = "Bijou\\back_success.psp";
constexpr const char* PromotionBannerPath = "Promotion\\banner.psp";
constexpr const char* BijouKindAnimPath = "Bijou\\bijou.qla";
constexpr const char* BijouKindPicturePath = "Bijou\\bijou.psp";
constexpr const char* BijouCountDigitsPath = "Bijou\\bijoucnt.psp";
constexpr const char* BijouGainAnimPath = "Bijou\\getbijou.qla";
constexpr const char* BijouGainTextPath = "Bijou\\getbijou.qla";

constexpr const char* MoneyLimitExplainAnimPath = "GameRule\\MoneyLimit\\explain.qla";
constexpr const char* MoneyLimitTooltipAnimPath = "GameRule\\MoneyLimit\\tooltip.qla";
constexpr const char* MoneyLimitTooltipPath = "GameRule\\MoneyLimit\\tooltip.psp";

constexpr const char* VipComboAlertAnimPath = "VIP\\jokbo_alert.qla";
constexpr const char* VipAlarmAnimPath = "VIP\\vip_alarm.qla";
constexpr const char* PromotionStaticBannerAPath = "Promotion\\banner_default.psp";
constexpr const char* PromotionDefaultAniBannerPath = "Promotion\\anibanner_default.qla";
constexpr const char* PromotionWinMoneyLimitAniBannerPath = "Promotion\\WinMoneyLimit\\anibanner_winmoneylimit.qla";
constexpr const char* PromotionEventEffectAnimPath = "Promotion\\DaonLucky\\DaonLuckyEffect.qla";
constexpr const char* PromotionEventMissionAnimPath = "Promotion\\DaonLucky\\DaonLuckyMission.qla";
constexpr const char* PromotionStaticBannerBPath = "Promotion\\banner_default.psp";
constexpr const char* CheckNoticeAnimPath = "Etc\\CheckNotice.qla";
constexpr const char* CheckNoticeLinePath = "Etc\\CheckNotice.psp";

constexpr const char* AllPanelPaths[kPanelPathCount] = {
    CardNormalPicturePath,
    CardHoldPicturePath,
    CardSmallPicturePath,
    CardShadowPicturePath,
    UserInfoLeaderMarkAPath,
    UserInfoLeaderMarkBPath,
    UserInfoReservedMarkPath,
    ScoreSmallDigitsPath,
    ScoreLargeDigitsPath,
    ScoreLabelPath,
    ScoreHighlightAPath,
    ScoreHighlightBPath,
    ScoreTimesSignPath,
    ScoreMultiplierDigitsPath,
    ScoreTotalBackPath,
    ScoreTotalPlaceholderPath,
    ScoreTotalDigitsPath,
    GoBakAlertDigitsPath,
    GoBakAlertBackPath,
    SeatIconFiles[0],
    SeatIconFiles[1],
    SeatIconFiles[2],
    BakIconFramePath,
    BakIconMarksPath,
    MissionCaptureMarkPath,
    MissionSpecialMarkPath,
    MissionMultiplierAnimPath,
    MissionStateMarkPath,
    MissionTwoCardAnimPath,
    PromptTitleAnimPath,
    PromptCardSidePath,
    PromptEffectAnimPath,
    PromptYesButtonPath,
    PromptNoButtonPath,
    PromptSideMoneyMarkPath,
    ResultBackAnimPath,
    ResultWinLoseIconPath,
    ResultAutoStartButtonPath,
    ResultExpandButtonPath,
    ResultOkButtonPath,
    ItemBackPath,
    ItemChoiceMarkPath,
    ItemWithdrawButtonPath,
    ItemChanceIconPath,
    ObserverBackPath,
    ObserverJoinButtonPath,
    ObserverFirstServiceButtonPath,
    ObserverSecondServiceButtonPath,
    ObserverTopUpButtonPath,
    ObserverMallButtonPath,
    ObserverSafeButtonPath,
    ObserverPaymentButtonPath,
    ObserverServiceTipPath,
    ObserverMinimiseButtonPath,
    ObserverFoldedTabPath,
    ObserverRestoreButtonPath,
    AntiLeaveBackPath,
    OptionBackPath,
    OptionVolumeKnobPath,
    OptionSoundOffMarkPath,
    OptionSpeedRadioPath,
    OptionSoundCheckBoxPath,
    OptionVoiceRadioPath,
    OptionSkinRadioPath,
    OptionRoomOptionAnimPath,
    OptionOkButtonPath,
    PlayCountInfoButtonPath,
    PlayCountGaugePath,
    PlayCountAlertAnimPath,
    RankingBackPath,
    RankingLevelPath,
    BijouBackPath,
    BijouFullPicturePath,
    PromotionBannerPath,
    BijouKindAnimPath,
    BijouKindPicturePath,
    BijouCountDigitsPath,
    BijouGainAnimPath,
    BijouGainTextPath,
    MoneyLimitExplainAnimPath,
    MoneyLimitTooltipAnimPath,
    MoneyLimitTooltipPath,
};

static_assert(tables_detail::AllEntriesSet(SeatIconFiles));
static_assert(tables_detail::AllEntriesSet(AllPanelPaths));

const char* GetSeatIconFile(int32_t kind) { return tables_detail::EntryOrEmpty(SeatIconFiles, kind); }
