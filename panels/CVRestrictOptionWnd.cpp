// The anti-leave panel's children.
#include "panels/CVRestrictOptionWnd.h"

#include "base/TextUtil.h"
#include "host/RCRoomData.h"
#include "tables/PanelPaths.h"
#include "widgets/GVQLSWnd.h"
#include "widgets/GVTextWnd.h"

namespace restrict_option {

constexpr GPoint kBase(537, 141);
constexpr GSize kPanelSize(89, 49);
constexpr GSize kCaptionOffset(20, 23);
constexpr GSize kCaptionSize(54, 16);
constexpr COLORREF kCaptionColour = 0x99FFFE;
constexpr int32_t kFontHeight = 12;
constexpr int32_t kFontWeight = 400;
constexpr UINT kCentred = 1;
constexpr const char* kGamesLeftFormat = "%d판 남음";
constexpr const char* kLastGame = "마지막 판";
constexpr const char* kRuleLifted = "옵션해제";

}  // namespace restrict_option

void CVRestrictOptionWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  back_ = nullptr;
  caption_ = nullptr;
}

int32_t CVRestrictOptionWnd::Create(IPanelScene* scene) {
  using namespace restrict_option;
  SetScene(scene);
  if (!scene) return 0;
  // The back shows only with the room's anti-leave state.
  if (!Adopt(scene->CreateQLSWnd(AntiLeaveBackPath, kBase, 0), back_, 0)) return 0;
  if (!Adopt(scene->CreateTextWnd(kBase + kCaptionOffset, kCaptionSize, "", kCaptionColour, kFontHeight, kFontWeight),
             caption_, 1))
    return 0;
  caption_->SetTextFormat(kCentred);
  SetRect(GRect(kBase, kPanelSize));
  Show(0);
  Enable(0);
  return 1;
}

int32_t CVRestrictOptionWnd::Update(BOOL show, BOOL countDown) {
  using namespace restrict_option;
  IPanelScene* scene = Scene();
  if (!scene || !caption_) return 0;
  const RCRoomData& room = scene->RoomRecord();
  if (room.roomState < kFirstAntiLeaveState || room.roomState > kLastAntiLeaveState || room.antiLeaveLevel < 1 ||
      room.antiLeaveLevel > kMaxAntiLeaveLevel) {
    Close();
    return 0;
  }
  const BOOL ruleOn = scene->AntiLeaveFlag() != 0;
  if (ruleOn && !scene->AnyRobotPlayer() && countDown) {
    const int32_t left = room.antiLeaveGameCount - scene->GamesPlayedCount();
    caption_->SetText(left <= 1 ? std::string(kLastGame) : FormatString(kGamesLeftFormat, left));
  } else {
    caption_->SetText(FormatString(kGamesLeftFormat, room.antiLeaveGameCount));
  }
  caption_->Show(1);
  if (!ruleOn && !scene->AnySeatWithoutUser()) {
    caption_->SetText(kRuleLifted);
    caption_->Show(show);
  }
  back_->Show(show);
  Show(show);
  SetDirty(1);
  return 1;
}

void CVRestrictOptionWnd::Close() {
  if (back_) {
    back_->Show(0);
    caption_->SetText("");
  }
  Show(0);
  SetDirty(1);
}
