#include "panels/CVMissionWnd.h"

#include "panels/PanelText.h"
#include "widgets/GVDDSWnd.h"
#include "tables/PanelPaths.h"
#include "widgets/GVBoxWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace mission_wnd {

// The cards, shades and capture marks wait at the origin until a mission places them.
constexpr GPoint kUnplaced{0, 0};
constexpr GSize kCardSize{36, 55};
constexpr COLORREF kShadeColour = 0x000000;
constexpr int32_t kShadeLevel = 25;
// Offsets from the panel's position.
constexpr GSize kSpecialOffset{21, 54};
constexpr GSize kMultiplierOffset{98, 65};
constexpr GSize kStateOffset{8, 134};
constexpr GSize kTextOffset{8, 138};
constexpr PanelTextLook kTextLook{{163, 14}, 0xFFFFFF, 12, 400, DT_CENTER};
// The two-card animation plays over the whole table.
constexpr GPoint kTwoCardPoint{0, 0};

}  // namespace mission_wnd

int32_t CVMissionWnd::Tick() {
  Note("CVMissionWnd::Tick");
  return 0;
}

void CVMissionWnd::Reset() { Note("CVMissionWnd::Reset"); }

void CVMissionWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  cards_.fill(nullptr);
  shades_.fill(nullptr);
  for (auto& side : marks_) side.fill(nullptr);
  special_ = state_ = nullptr;
  multiplier_ = twoCard_ = nullptr;
  text_ = nullptr;
  revealed_ = 1;
  active_ = 0;
  missionCards_.clear();
  for (auto& side : taken_) side.fill(0);
  missionState_ = -1;
  blink_ = 0;
  lastBlink_ = 0;
}

int32_t CVMissionWnd::Create(IPanelScene* scene) {
  using namespace mission_wnd;
  SetScene(scene);
  for (int32_t c = 0; c < kCardSlots; ++c) {
    const auto i = static_cast<size_t>(c);
    if (!Adopt(scene->CreateHTWnd(c, CardNormalPicturePath, kCardSize), cards_[i], 0)) return 0;
    if (!Adopt(scene->CreateBoxWnd(kUnplaced, kCardSize, kShadeColour, 0, kShadeLevel), shades_[i], 0)) return 0;
    // A capture mark's frame is the screen side it marks.
    for (int32_t side = 0; side < kScreenSides; ++side) {
      GVPSPWnd*& mark = marks_[static_cast<size_t>(side)][i];
      if (!Adopt(scene->CreatePSPWnd(MissionCaptureMarkPath, kUnplaced, 0), mark, 0)) return 0;
      mark->SetFrame(side);
    }
  }
  const GPoint at = kDefaultPos;
  if (!Adopt(scene->CreatePSPWnd(MissionSpecialMarkPath, at + kSpecialOffset, 0), special_, 0)) return 0;
  if (!Adopt(scene->CreateQLAniWnd(MissionMultiplierAnimPath, at + kMultiplierOffset), multiplier_, 0)) return 0;
  if (!Adopt(scene->CreatePSPWnd(MissionStateMarkPath, at + kStateOffset, 0), state_, 0)) return 0;
  if (!Adopt(CreatePanelText(*scene, at + kTextOffset, kTextLook), text_, 1)) return 0;
  if (!Adopt(scene->CreateQLAniWnd(MissionTwoCardAnimPath, kTwoCardPoint), twoCard_, 0)) return 0;
  SetRect(GRect(at, kSize));
  Show(0);
  Enable(0);
  return 1;
}
