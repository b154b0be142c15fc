// The option panel: its children, its stored choices, the room's option lines and the
// mouse handling that edits the choices.
#include "panels/CVUserOptionWnd.h"

#include <algorithm>

#include "base/TextUtil.h"
#include "game/CGameModel.h"
#include "plat/crt.h"

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

// Choice widgets show frame 1 when chosen.
constexpr int32_t kChosenFrame = 1;
constexpr int32_t kPlainFrame = 0;
constexpr int32_t kOtherVoiceRow = 2;
constexpr int32_t kConfirmEffect = 19;
constexpr int32_t kPreviewVoice = 10001;
constexpr int32_t kHitLive = GVWnd::kHitVisible | GVWnd::kHitEnabled;
constexpr UINT kLeftButtonHeld = 0x0001;

// The room's option string and its lines.
constexpr char kPieceSeparator = '|';
constexpr char kValueSign = '=';
constexpr const char* kAgeKey = "UP30";
constexpr const char* kAntiLeaveKey = "PE";
constexpr const char* kSpeedKey = "SM";
// Room states in which the anti-leave rule applies (and takes a line of its own).
constexpr int32_t kFirstAntiLeaveState = 8;
constexpr int32_t kLastAntiLeaveState = 10;
constexpr int32_t kAntiLeaveExtraLines = 2;
// Lines 0 and 1 are Open's; SetRoomOptions writes from line 2 on.
constexpr int32_t kOpenLines = 2;
constexpr uint32_t kMoneyGroups = 2;
constexpr const char* kPlayerCountFormat = "인원:%ld";
constexpr const char* kNoPassword = "비밀번호:설정안함";
constexpr const char* kPasswordFormat = "비밀번호:%s";
constexpr const char* kEntryMoneyFormat = "입장제한:%s";
constexpr const char* kPointMoneyFormat = "점당머니:%s";
constexpr const char* kNoAntiLeave = "먹튀방지:설정안함";
constexpr const char* kAntiLeaveFormat = "먹튀방지:%ld판";
constexpr const char* kNoAgeLimit = "연령제한:제한없음";
constexpr const char* kAgeLimit = "연령제한:30대이상";
constexpr const char* kRoomSpeedLines[] = {"게임속도:느림", "게임속도:보통", "게임속도:빠름"};
constexpr int32_t kFastRoomSpeed = 2;
// A fast room's speed choices are locked: the slower four drawn dimmed.
constexpr int32_t kDimLevel = 23;
constexpr uint32_t kDimMode = 1;
constexpr uint32_t kEffectModeMask = 0xFFFF;
constexpr int32_t kFastSpeedKind = 2;

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

int32_t CVUserOptionWnd::FindRoomOption(std::string options, std::string key) {
  using namespace user_option;
  size_t start = 0;
  while (start <= options.size()) {
    size_t end = options.find(kPieceSeparator, start);
    if (end == std::string::npos) end = options.size();
    const std::string piece = options.substr(start, end - start);
    if (piece.find(key) != std::string::npos) {
      const size_t sign = piece.find(kValueSign);
      return plat::crt::atoi(sign == std::string::npos ? piece.c_str() : piece.c_str() + sign + 1);
    }
    start = end + 1;
  }
  return 0;
}

void CVUserOptionWnd::ShowChosenFrames() {
  using namespace user_option;
  auto frame = [](bool chosen) { return chosen ? kChosenFrame : kPlainFrame; };
  for (int32_t i = 0; i < kSpeedChoices; ++i) speedChoices_[size_t(i)]->SetFrame(frame(i == speed_));
  soundCheck_->SetFrame(frame(soundEffect_ != 0));
  const int32_t v = voice_ >= 0 && voice_ < kVoiceChoices ? voice_ : 0;
  for (int32_t i = 0; i < kVoiceChoices; ++i) voiceChoices_[size_t(i)]->SetFrame(frame(i == v));
  const int32_t c = skin_ >= 0 && skin_ < kClothChoices ? skin_ : 0;
  for (int32_t i = 0; i < kClothChoices; ++i) clothChoices_[size_t(i)]->SetFrame(frame(i == c));
}

void CVUserOptionWnd::ShowVoiceChoices() {
  for (int32_t i = 0; i < kVoiceChoices; ++i) {
    const BOOL show = !voiceLabels_[size_t(i)]->GetText().empty() && soundEffect_ != 0;
    voiceChoices_[size_t(i)]->Show(show);
    voiceLabels_[size_t(i)]->Show(show);
  }
}

int32_t CVUserOptionWnd::Open(int32_t voiceRow) {
  using namespace user_option;
  IPanelScene* scene = Scene();
  if (IsVisible() || !scene || !okButton_) return 0;
  voiceRow_ = voiceRow == 0 || voiceRow == 1 ? voiceRow : kOtherVoiceRow;
  SetVolume(volume_);
  for (int32_t i = 0; i < kVoiceChoices; ++i)
    voiceLabels_[size_t(i)]->SetText(VoiceCharacterNames[voiceRow_ * kVoiceChoices + i]);
  ShowChosenFrames();
  ShowVoiceChoices();
  roomAnimation_->Play(1, 1);
  const RCRoomData& room = scene->Model().room;
  const int32_t k = kRoomLines - roomLineCount_ > 0 ? (kRoomLines - roomLineCount_) / 2 : 0;
  roomLines_[size_t(k)]->SetText(FormatString(kPlayerCountFormat, room.playerCount));
  roomLines_[size_t(k + 1)]->SetText(room.password.empty() ? std::string(kNoPassword)
                                                           : FormatString(kPasswordFormat, room.password.c_str()));
  roomLines_[size_t(k)]->Show(1);
  roomLines_[size_t(k + 1)]->Show(1);
  okButton_->SetHighlight(0);
  Show(1);
  SetDirty(1);
  return 1;
}

int32_t CVUserOptionWnd::Close() {
  if (!IsVisible()) return 0;
  Show(0);
  SetDirty(1);
  return 1;
}

void CVUserOptionWnd::SetRoomOptions() {
  using namespace user_option;
  IPanelScene* scene = Scene();
  if (!scene || !okButton_) return;
  for (int32_t i = kOpenLines; i < kRoomLines; ++i) roomLines_[size_t(i)]->SetText(std::string());
  const CGameModel& model = scene->Model();
  const RCRoomData& room = model.room;
  const int32_t age = FindRoomOption(room.optionString, kAgeKey);
  const int32_t antiLeave = FindRoomOption(room.optionString, kAntiLeaveKey);
  const int32_t speed = FindRoomOption(room.optionString, kSpeedKey);
  const bool antiLeaveRoom = room.roomState >= kFirstAntiLeaveState && room.roomState <= kLastAntiLeaveState;
  // Only grows; held at the line total, beyond which the centring no longer changes.
  if (antiLeaveRoom) roomLineCount_ = std::min(roomLineCount_ + kAntiLeaveExtraLines, kRoomLines);
  int32_t j = (kRoomLines - roomLineCount_ > 0 ? (kRoomLines - roomLineCount_) / 2 : 0) + kOpenLines;
  auto line = [&](const std::string& text) {
    if (j >= kRoomLines) return;
    roomLines_[size_t(j)]->SetText(text);
    roomLines_[size_t(j)]->Show(1);
    ++j;
  };
  line(FormatString(kEntryMoneyFormat, FormatMoney(model.gameInfo.entryMinMoney, kMoneyGroups).c_str()));
  line(FormatString(kPointMoneyFormat, FormatMoney(room.option.moneyPerPoint, kMoneyGroups).c_str()));
  if (antiLeaveRoom)
    line(antiLeave == 0 ? std::string(kNoAntiLeave) : FormatString(kAntiLeaveFormat, room.antiLeaveGameCount));
  line(age == 0 ? kNoAgeLimit : kAgeLimit);
  if (speed >= 0 && speed < static_cast<int32_t>(std::size(kRoomSpeedLines)))
    line(kRoomSpeedLines[speed]);
  else if (j < kRoomLines)
    roomLines_[size_t(j)]->Show(0);
  for (int32_t i = 0; i < kSpeedChoices; ++i) {
    GVPSPWnd* choice = speedChoices_[size_t(i)];
    const bool dim = speed == kFastRoomSpeed && i < kSpeedChoices - 1;
    choice->SetEffectLevel(dim ? kDimLevel : 0);
    choice->SetPlacementFlags((choice->GetPlacementFlags() & ~kEffectModeMask) | (dim ? kDimMode : 0));
    choice->SetDirty(1);
  }
}

template <size_t N, class L>
int32_t CVUserOptionWnd::IndexOf(const std::array<GVPSPWnd*, N>& list, const std::array<L*, N>* labels,
                                 GVWnd* child) {
  for (size_t i = 0; i < N; ++i) {
    if (list[i] == child || (labels && (*labels)[i] == child)) return static_cast<int32_t>(i);
  }
  return -1;
}

BOOL CVUserOptionWnd::OnLButtonDown(UINT keyFlags, GPoint pt) {
  using namespace user_option;
  IPanelScene* scene = Scene();
  if (!IsEnabled() || !scene) return 0;
  GVWnd* child = ChildFromPoint(pt, kHitLive);
  if (!child) return 0;
  auto taken = [&] {
    // The child that took the press is tracked: its release is then matched to it.
    tracked_ = child;
    SetDirty(1);
    return 1;
  };
  const int32_t speed = IndexOf<kSpeedChoices, GVLightTextWnd>(speedChoices_, nullptr, child);
  if (scene->Model().room.speedKind != kFastSpeedKind && speed >= 0 && speed != speed_) {
    speed_ = speed;
    ShowChosenFrames();
    return taken();
  }
  if (child == soundCheck_ || child == soundLabel_) {
    soundEffect_ = soundEffect_ ? 0 : 1;
    ShowChosenFrames();
    ShowVoiceChoices();
    return taken();
  }
  const int32_t voice = IndexOf(voiceChoices_, &voiceLabels_, child);
  if (voice >= 0 && voice != voice_) {
    voice_ = voice;
    scene->PreviewSceneVoice(kPreviewVoice, voice, scene->GetSeatOfUser(scene->MyUserNo()));
    ShowChosenFrames();
    return taken();
  }
  const int32_t cloth = IndexOf(clothChoices_, &clothLabels_, child);
  if (cloth >= 0 && cloth != skin_) {
    skin_ = cloth;
    ShowChosenFrames();
    return taken();
  }
  if (!child->OnLButtonDown(keyFlags, pt)) return 0;
  return taken();
}

BOOL CVUserOptionWnd::OnLButtonUp(UINT keyFlags, GPoint pt) {
  using namespace user_option;
  IPanelScene* scene = Scene();
  if (!IsEnabled() || !scene) return 0;
  GVWnd* previous = tracked_;
  GVWnd* child = ChildFromPoint(pt, kHitLive);
  tracked_ = child;
  if (previous == slider_ && slider_) {
    if (slider_->OnLButtonUp(keyFlags, pt)) {
      const int32_t v = slider_->GetValue();
      SetVolume(v);
      scene->SetSceneEffectVolume(v);
      scene->PlaySceneEffect(kConfirmEffect);
    }
  } else if (previous && previous == child && child == okButton_) {
    if (okButton_->OnLButtonUp(keyFlags, pt)) scene->ApplyUserOptions();
  } else if (previous) {
    previous->OnLButtonUp(keyFlags, pt);
  }
  if (child) {
    child->OnLButtonUp(keyFlags, pt);
    SetDirty(1);
    return 1;
  }
  if (!previous) return 0;
  SetDirty(1);
  return 1;
}

BOOL CVUserOptionWnd::OnMouseMove(UINT keyFlags, GPoint pt) {
  using namespace user_option;
  if (!IsEnabled()) return 0;
  GVWnd* child = ChildFromPoint(pt, kHitLive);
  if (!(keyFlags & kLeftButtonHeld)) return TrackHover(tracked_, child, keyFlags, pt);
  if (!tracked_) return 0;
  if (tracked_->OnMouseMove(keyFlags, pt)) {
    if (tracked_ == slider_) UpdateSoundOffMark();
    SetDirty(1);
  }
  return 1;
}
