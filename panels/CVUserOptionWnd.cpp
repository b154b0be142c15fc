// The option panel's children and its stored choices.
#include "panels/CVUserOptionWnd.h"

#include <algorithm>

#include "panels/CVPSPPushBtn.h"
#include "tables/PanelPaths.h"
#include "tables/VocabularyTables.h"
#include "widgets/GVLightTextWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVQLSWnd.h"
#include "widgets/GVSlideWnd.h"

namespace user_option {

constexpr GPoint kBase(609, 177);
constexpr GRect kPanelRect(GPoint(505, 40), GSize(300, 480));

constexpr GSize kVolumeOffset(39, 75);
constexpr GSize kVolumeSize(140, 18);
constexpr GPoint kVolumeTrack(6, 4);
constexpr int32_t kVolumeLength = 100;
constexpr GSize kSoundOffOffset(17, 54);

constexpr GSize kSpeedFirst(56, 194);
constexpr int32_t kSpeedStep = 18;
constexpr GSize kSpeedLabelOffsets[CVUserOptionWnd::kSpeedLabels] = {{24, 195}, {146, 195}};
constexpr GSize kSpeedLabelSize(28, 14);

constexpr GSize kSoundCheckOffset(91, 98);
constexpr GSize kSoundLabelOffset(20, 98);
constexpr GSize kSoundLabelSize(69, 14);

// Voice sets and table cloths lie in two columns.
constexpr int32_t kGridColumns = 2;
constexpr GSize kGridStep(68, 18);
constexpr GSize kVoiceFirst(33, 121);
constexpr GSize kVoiceLabelFirst(49, 122);
constexpr GSize kClothFirst(38, 250);
constexpr GSize kClothLabelFirst(54, 251);
constexpr GSize kChoiceLabelSize(50, 14);

constexpr GPoint kRoomLineFirst(512, 48);
constexpr int32_t kRoomLineStep = 16;
constexpr GSize kRoomLineSize(140, 14);
constexpr GPoint kRoomAnimationPoint(0, 0);

constexpr GSize kOkOffset(52, 299);
constexpr int32_t kOkSets = 1;

constexpr COLORREF kLabelColour = 0x878787;
constexpr COLORREF kRoomLineColour = 0x0C98BE;
constexpr int32_t kFontHeight = 12;
constexpr int32_t kFontWeight = 400;

// Card-speed choice = saved speed + this, within 0..4.
constexpr int32_t kSavedSpeedShift = 3;

GSize GridStep(int32_t i) { return GSize(kGridStep.cx * (i % kGridColumns), kGridStep.cy * (i / kGridColumns)); }

}  // namespace user_option

void CVUserOptionWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  tracked_ = nullptr;
  back_ = soundOff_ = nullptr;
  slider_ = nullptr;
  speedChoices_.fill(nullptr);
  speedLabels_.fill(nullptr);
  soundCheck_ = nullptr;
  soundLabel_ = nullptr;
  voiceChoices_.fill(nullptr);
  voiceLabels_.fill(nullptr);
  clothChoices_.fill(nullptr);
  clothLabels_.fill(nullptr);
  roomAnimation_ = nullptr;
  roomLines_.fill(nullptr);
  roomLineCount_ = 6;
  okButton_ = nullptr;
  volume_ = speed_ = voice_ = skin_ = voiceRow_ = 0;
  soundEffect_ = 1;
}

int32_t CVUserOptionWnd::Create(IPanelScene* scene) {
  using namespace user_option;
  SetScene(scene);
  if (!scene) return 0;
  auto label = [&](GPoint pos, GSize size, const char* text, COLORREF colour) {
    return scene->CreateLightTextWnd(pos, size, text, colour, kFontHeight, kFontWeight);
  };
  if (!Adopt(scene->CreateQLSWnd(OptionBackPath, kBase, 1), back_, 1)) return 0;
  if (!Adopt(scene->CreateSlideWnd(kBase + kVolumeOffset, kVolumeSize, OptionVolumeKnobPath, false, kVolumeTrack,
                                   kVolumeLength),
             slider_, 1))
    return 0;
  slider_->SetRange(kVolumeMin, kVolumeMax);
  slider_->SetValue(kVolumeMax);
  if (!Adopt(scene->CreateQLSWnd(OptionSoundOffMarkPath, kBase + kSoundOffOffset, 0), soundOff_, 0)) return 0;
  for (int32_t i = 0; i < kSpeedChoices; ++i) {
    const GPoint at = kBase + kSpeedFirst + GSize(kSpeedStep * i, 0);
    if (!Adopt(scene->CreatePSPWnd(OptionSpeedRadioPath, at, 1), speedChoices_[size_t(i)], 1)) return 0;
  }
  for (int32_t i = 0; i < kSpeedLabels; ++i) {
    GVLightTextWnd* made = label(kBase + kSpeedLabelOffsets[i], kSpeedLabelSize, SpeedNames[i], kLabelColour);
    if (!Adopt(made, speedLabels_[size_t(i)], 1)) return 0;
  }
  if (!Adopt(scene->CreatePSPWnd(OptionSoundCheckBoxPath, kBase + kSoundCheckOffset, 1), soundCheck_, 1)) return 0;
  if (!Adopt(label(kBase + kSoundLabelOffset, kSoundLabelSize, "", kLabelColour), soundLabel_, 1)) return 0;
  for (int32_t i = 0; i < kVoiceChoices; ++i) {
    const auto n = size_t(i);
    if (!Adopt(scene->CreatePSPWnd(OptionVoiceRadioPath, kBase + kVoiceFirst + GridStep(i), 1), voiceChoices_[n], 1))
      return 0;
    GVLightTextWnd* made = label(kBase + kVoiceLabelFirst + GridStep(i), kChoiceLabelSize, "", kLabelColour);
    if (!Adopt(made, voiceLabels_[n], 1)) return 0;
  }
  for (int32_t i = 0; i < kClothChoices; ++i) {
    const auto n = size_t(i);
    if (!Adopt(scene->CreatePSPWnd(OptionSkinRadioPath, kBase + kClothFirst + GridStep(i), 1), clothChoices_[n], 1))
      return 0;
    GVLightTextWnd* made =
        label(kBase + kClothLabelFirst + GridStep(i), kChoiceLabelSize, TableColourNames[i], kLabelColour);
    if (!Adopt(made, clothLabels_[n], 1)) return 0;
  }
  if (!Adopt(scene->CreateQLAniWnd(OptionRoomOptionAnimPath, kRoomAnimationPoint), roomAnimation_, 0)) return 0;
  for (int32_t i = 0; i < kRoomLines; ++i) {
    const GPoint at = kRoomLineFirst + GSize(0, kRoomLineStep * i);
    if (!Adopt(label(at, kRoomLineSize, "", kRoomLineColour), roomLines_[size_t(i)], 1)) return 0;
  }
  if (!Adopt(scene->CreatePSPPushBtn(OptionOkButtonPath, kBase + kOkOffset, 1, kOkSets), okButton_, 1)) return 0;
  for (GVWnd* child : GetChildren()) child->Enable(1);
  SetRect(kPanelRect);
  Show(0);
  Enable(1);
  return 1;
}

BOOL CVUserOptionWnd::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!IsVisible()) return 1;
  for (GVWnd* child : GetChildren()) {
    if (child->IsVisible()) child->Draw(target, clip);
  }
  return 1;
}

void CVUserOptionWnd::SetVolume(int32_t volume) {
  volume_ = volume;
  if (slider_) slider_->SetValue(volume);
  UpdateSoundOffMark();
}

void CVUserOptionWnd::SetSpeed(int32_t savedSpeed) {
  // Widened so an outside value cannot overflow on its way into the clamp.
  const int64_t choice = int64_t(savedSpeed) + user_option::kSavedSpeedShift;
  speed_ = static_cast<int32_t>(std::clamp<int64_t>(choice, 0, kSpeedChoices - 1));
}

void CVUserOptionWnd::UpdateSoundOffMark() {
  if (!slider_ || !soundOff_) return;
  soundOff_->Show(slider_->GetValue() <= kVolumeMin ? 1 : 0);
}
