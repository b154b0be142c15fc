#include "panels/CVItemWnd.h"

#include <iterator>

#include "base/TextUtil.h"
#include "game/CGameModel.h"
#include "host/CHostLink.h"
#include "panels/CVPSPPushBtn.h"
#include "panels/PanelMouseRouting.h"
#include "panels/PanelText.h"
#include "tables/ItemTables.h"
#include "tables/PanelPaths.h"
#include "widgets/GVBoxWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLSWnd.h"

namespace item_wnd {

// Offsets from the panel's position; row r of the choice lies kRowStep x r lower.
constexpr GSize kMarkOffset{112, 20};
constexpr GSize kTextOffset{125, 22};
constexpr int32_t kRowStep = 17;
constexpr GSize kButtonOffset{192, 26};
constexpr int32_t kButtonSets = 1;
constexpr PanelTextLook kChoiceLook{{65, 12}, 0x7BF6F8, 12, 400, DT_LEFT};
constexpr PanelTextLook kTipLook{{12, 12}, 0x000000, 12, 400, DT_CENTER};
constexpr GSize kTipBoxSize{16, 16};
constexpr COLORREF kTipBoxColour = 0xE1FFFF;
constexpr int32_t kSolidFill = 0;  // a level below 1 fills without blending

GSize RowOffset(GSize offset, int32_t row) { return offset + GSize(0, kRowStep * row); }

// The host's item codes and the chance icon's frames of items 0..4.
constexpr int32_t kReserveEvent = 20;
struct ItemLook {
  int32_t hostCode;
  int32_t iconFrame;
};
constexpr ItemLook kItemLooks[] = {{0x12000, 0}, {0x11002, 10}, {0x11004, 11}, {0x11008, 9}, {0x11010, 8}};
constexpr int32_t kReservableItems = static_cast<int32_t>(std::size(kItemLooks));
constexpr GPoint kChanceIconPoint{678, 357};
constexpr GSize kChanceCaptionOffset{5, 148};
constexpr const char* kCaptionFormat = "최고%s";
constexpr const char* kReservedNotice =
    "%s`1131`(%s)님 `0030`'%s'`0131`아이템(`0030`최고 %s`0131`) 예약! 게임방을 나가실 때 구매할 수 있습니다.`0030`";
constexpr int32_t kSeats = 2;

}  // namespace item_wnd

void CVItemWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  tracked_ = nullptr;
  back_ = nullptr;
  marks_.fill(nullptr);
  texts_.fill(nullptr);
  tipBox_ = nullptr;
  tipText_ = nullptr;
  withdraw_ = nullptr;
  itemIndex_ = -1;
  offer_ = 0;
  amounts_.fill(0);
  available_.fill(0);
  selected_ = 0;
}

int32_t CVItemWnd::Create(IPanelScene* scene) {
  using namespace item_wnd;
  SetScene(scene);
  const GPoint origin(0, 0);
  if (!Adopt(scene->CreateQLSWnd(ItemBackPath, origin, 0), back_, 0)) return 0;
  for (int32_t r = 0; r < kChoiceRows; ++r) {
    const auto i = static_cast<size_t>(r);
    if (!Adopt(scene->CreatePSPWnd(ItemChoiceMarkPath, origin + RowOffset(kMarkOffset, r), 0), marks_[i], 0)) return 0;
    marks_[i]->Enable(1);
    if (!Adopt(CreatePanelText(*scene, origin + RowOffset(kTextOffset, r), kChoiceLook), texts_[i], 1)) return 0;
  }
  if (!Adopt(scene->CreateBoxWnd(origin, kTipBoxSize, kTipBoxColour, 0, kSolidFill), tipBox_, 0)) return 0;
  if (!Adopt(CreatePanelText(*scene, origin, kTipLook), tipText_, 1)) return 0;
  if (!Adopt(scene->CreatePSPPushBtn(ItemWithdrawButtonPath, origin + kButtonOffset, 0, kButtonSets), withdraw_, 0))
    return 0;
  SetRect(GRect(origin, kSize));
  Show(0);
  Enable(1);
  return 1;
}

void CVItemWnd::SetPos(GPoint pt) {
  GVWnd::SetPos(pt);
  LayoutChildren();
}

void CVItemWnd::LayoutChildren() {
  using namespace item_wnd;
  const GPoint at = GetPos();
  if (back_) back_->SetPos(at);
  for (int32_t r = 0; r < kChoiceRows; ++r) {
    const auto i = static_cast<size_t>(r);
    if (marks_[i]) marks_[i]->SetPos(at + RowOffset(kMarkOffset, r));
    if (texts_[i]) texts_[i]->SetPos(at + RowOffset(kTextOffset, r));
  }
  if (withdraw_) withdraw_->SetPos(at + kButtonOffset);
  if (tipBox_) tipBox_->Show(0);
  if (tipText_) tipText_->Show(0);
}

void CVItemWnd::ReserveItem(int32_t seat, int32_t zero, int32_t amountClass) {
  if (zero != 0) return;
  Reserve(seat, kItemOffer, amountClass);
}

void CVItemWnd::ReserveItemOfKind(int32_t seat, int32_t item, int32_t amountClass) {
  if (item < kFirstKindItem || item > kLastKindItem) return;
  Reserve(seat, item, amountClass);
}

void CVItemWnd::Reserve(int32_t seat, int32_t item, int32_t amountClass) {
  using namespace item_wnd;
  IPanelScene* scene = Scene();
  // The seat indexes the table and the class the amount table: anything else is no
  // reservation at all.
  if (!scene || seat < 0 || seat >= kSeats || amountClass < 0 || amountClass >= kItemAmountClassCount) return;
  if (item < 0 || item >= kReservableItems) return;
  const ItemLook& look = kItemLooks[item];
  int32_t code = kReserveEvent;
  int32_t value = look.hostCode;
  scene->HostLink().NotifyEvent(static_cast<uint32_t>(scene->MyUserNo()), code, nullptr, &value);
  const std::string amount = GetItemMoneyText(item, amountClass);
  const PlayerInfo& player = scene->Model().room.seats.Player(seat);
  scene->HostLink().ShowMarkupText(FormatString(kReservedNotice, player.nickname.c_str(), player.userId.c_str(),
                                                  GetItemName(item), amount.c_str())
                                         .c_str());
  if (item <= itemIndex_) return;
  GVPSPWnd* icon = scene->ItemChanceIcon();
  GVTextWnd* caption = scene->ItemChanceCaption();
  if (icon) {
    icon->SetFrame(look.iconFrame);
    icon->SetPos(kChanceIconPoint);
  }
  if (caption) {
    caption->SetText(FormatString(kCaptionFormat, amount.c_str()));
    caption->SetPos(kChanceIconPoint + kChanceCaptionOffset);
  }
  itemIndex_ = item;
}

BOOL CVItemWnd::Open() {
  IPanelScene* scene = Scene();
  if (itemIndex_ < 0 && !offer_) return 0;
  if (scene) {
    for (GVWnd* w : {static_cast<GVWnd*>(scene->ItemChanceIcon()), static_cast<GVWnd*>(scene->ItemChanceCaption())})
      if (w) {
        w->Show(1);
        w->SetDirty(1);
      }
  }
  Show(1);
  SetDirty(1);
  return 1;
}

BOOL CVItemWnd::Close() {
  IPanelScene* scene = Scene();
  if (scene) {
    for (GVWnd* w : {static_cast<GVWnd*>(scene->ItemChanceIcon()), static_cast<GVWnd*>(scene->ItemChanceCaption())})
      if (w) w->Show(0);
  }
  HideAll();
  itemIndex_ = -1;
  offer_ = 0;
  Show(0);
  SetDirty(1);
  return 1;
}

BOOL CVItemWnd::OnLButtonUp(UINT keyFlags, GPoint pt) {
  // The withdrawal button is the panel's only own button, and no offer ever shows it.
  return panel_mouse::RouteButtonUp(*this, tracked_, keyFlags, pt, nullptr, nullptr);
}

BOOL CVItemWnd::OnMouseMove(UINT keyFlags, GPoint pt) {
  return panel_mouse::RouteMouseMove(*this, tracked_, keyFlags, pt);
}
