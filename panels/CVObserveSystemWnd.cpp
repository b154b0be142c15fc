// The observer panel's children, its answer handling and the join button's state.
#include "panels/CVObserveSystemWnd.h"

#include "base/TextUtil.h"
#include "host/CHostLink.h"
#include "host/RCUser.h"
#include "panels/CVPSPPushBtn.h"
#include "tables/PanelPaths.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLSWnd.h"
#include "widgets/GVTextWnd.h"

namespace observe_system {

enum class Kind : uint8_t { Picture, Button, Sprite, Balance };

struct ChildRow {
  Kind kind;
  const char* const* path;  // null for the balance texts
  GSize offset;
  BOOL show;
};

constexpr GPoint kBase(399, 373);
constexpr GSize kPanelSize(227, 148);
constexpr int32_t kButtonSets = 1;

// Indexed by CVObserveSystemWnd::Child.
constexpr ChildRow kChildren[CVObserveSystemWnd::kChildCount] = {
    {Kind::Picture, &ObserverBackPath, {0, 0}, 1},
    {Kind::Button, &ObserverJoinButtonPath, {14, 26}, 1},
    {Kind::Button, &ObserverFirstServiceButtonPath, {32, 117}, 1},
    {Kind::Button, &ObserverSecondServiceButtonPath, {58, 117}, 1},
    {Kind::Button, &ObserverTopUpButtonPath, {10, 72}, 1},
    {Kind::Button, &ObserverMallButtonPath, {10, 94}, 1},
    {Kind::Button, &ObserverSafeButtonPath, {118, 72}, 1},
    {Kind::Balance, nullptr, {122, 92}, 1},
    {Kind::Button, &ObserverPaymentButtonPath, {118, 105}, 1},
    {Kind::Balance, nullptr, {122, 125}, 1},
    {Kind::Sprite, &ObserverServiceTipPath, {0, 0}, 0},
    {Kind::Button, &ObserverMinimiseButtonPath, {204, 5}, 1},
    {Kind::Sprite, &ObserverFoldedTabPath, {50, 33}, 0},
    {Kind::Button, &ObserverRestoreButtonPath, {62, 76}, 0},
};

constexpr GSize kBalanceSize(93, 12);
constexpr COLORREF kBalanceColour = 0xDFDFDF;
constexpr int32_t kBalanceFontHeight = 12;
constexpr int32_t kBalanceFontWeight = 400;
constexpr UINT kRightAligned = 2;

// The portal dialog each button asks for; the safe asks only with a safe.
struct ServiceRow {
  CVObserveSystemWnd::Child button;
  int32_t event;
  int32_t value;
};
constexpr ServiceRow kServices[] = {
    {CVObserveSystemWnd::kFirstServiceButton, CVObserveSystemWnd::kServiceEvent, CVObserveSystemWnd::kFirstServiceCode},
    {CVObserveSystemWnd::kSecondServiceButton, CVObserveSystemWnd::kServiceEvent,
     CVObserveSystemWnd::kSecondServiceCode},
    {CVObserveSystemWnd::kTopUpButton, CVObserveSystemWnd::kServiceEvent, 1},
    {CVObserveSystemWnd::kMallButton, CVObserveSystemWnd::kServiceEvent, 3},
    {CVObserveSystemWnd::kPaymentButton, CVObserveSystemWnd::kServiceEvent, 4},
    {CVObserveSystemWnd::kSafeButton, CVObserveSystemWnd::kSafeEvent, 0},
};

constexpr uint32_t kMoneyGroups = 2;
constexpr const char* kNoBalance = "없음";
constexpr const char* kNoSafeText = "금고를 보유하지 않으셨습니다.";
constexpr uint32_t kNoSafeBoxMs = 2000;
constexpr COLORREF kBoxHeadingColour = 0xCF7F00;
// The tip stands above and a little left of the button it explains.
constexpr GSize kTipOffset(-5, -40);

GVWnd* MakeChild(IPanelScene& scene, const ChildRow& row) {
  const GPoint at = kBase + row.offset;
  switch (row.kind) {
    case Kind::Picture:
      return scene.CreateQLSWnd(*row.path, at, row.show);
    case Kind::Button:
      return scene.CreatePSPPushBtn(*row.path, at, row.show, kButtonSets);
    case Kind::Sprite:
      return scene.CreatePSPWnd(*row.path, at, row.show);
    case Kind::Balance:
      if (GVTextWnd* text =
              scene.CreateTextWnd(at, kBalanceSize, "", kBalanceColour, kBalanceFontHeight, kBalanceFontWeight)) {
        text->SetTextFormat(kRightAligned);
        return text;
      }
      return nullptr;
  }
  return nullptr;
}

}  // namespace observe_system

void CVObserveSystemWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  tracked_ = nullptr;
  children_.fill(nullptr);
}

int32_t CVObserveSystemWnd::Create(IPanelScene* scene) {
  SetScene(scene);
  if (!scene) return 0;
  for (int32_t i = 0; i < kChildCount; ++i) {
    const observe_system::ChildRow& row = observe_system::kChildren[i];
    if (!Adopt(observe_system::MakeChild(*scene, row), children_[size_t(i)], row.show)) return 0;
  }
  SetRect(GRect(observe_system::kBase, observe_system::kPanelSize));
  Show(0);
  Enable(1);
  return 1;
}

CVPSPPushBtn* CVObserveSystemWnd::Button(Child child) const {
  return observe_system::kChildren[child].kind == observe_system::Kind::Button
             ? static_cast<CVPSPPushBtn*>(children_[size_t(child)])
             : nullptr;
}

CVObserveSystemWnd::Child CVObserveSystemWnd::ChildOf(const GVWnd* wnd) const {
  for (int32_t i = 0; i < kChildCount; ++i)
    if (wnd && children_[size_t(i)] == wnd) return Child(i);
  return kChildCount;
}

bool CVObserveSystemWnd::IsButton(Child child) {
  switch (child) {
    case kBack:
    case kSafeBalance:
    case kPaymentBalance:
    case kServiceTip:
    case kFoldedTab:
    case kChildCount:
      return false;
    default:
      return true;
  }
}

BOOL CVObserveSystemWnd::IsFolded() const {
  const GVWnd* tab = children_[kFoldedTab];
  return tab && tab->IsVisible() ? 1 : 0;
}

int32_t CVObserveSystemWnd::PlayButtonShown() const {
  const GVWnd* join = children_[kJoinButton];
  return join ? join->IsVisible() : 0;
}

int32_t CVObserveSystemWnd::PlayButtonEnabled() const {
  const GVWnd* join = children_[kJoinButton];
  return join ? join->IsEnabled() : 0;
}

void CVObserveSystemWnd::OnHostAnswer(int32_t code, int32_t ok) {
  IPanelScene* scene = Scene();
  if (!scene) return;
  const int32_t state = ok && code != kRefusingCode ? kObserveGranted : kObserveIdle;
  if (ok && (code == kFirstServiceCode || code == kSecondServiceCode)) Refresh();
  scene->SendObserveMode(state);
}

void CVObserveSystemWnd::Refresh() {
  using namespace observe_system;
  IPanelScene* scene = Scene();
  if (!scene || !children_[kBack]) return;
  const auto me = static_cast<uint32_t>(scene->MyUserNo());
  for (const auto& [button, code] : {std::pair{kFirstServiceButton, kFirstServiceCode},
                                     std::pair{kSecondServiceButton, kSecondServiceCode}}) {
    int32_t value = code;
    const int32_t open = scene->HostLink().NotifyEvent(me, kServiceQueryEvent, nullptr, &value);
    children_[button]->Enable(open != 0 ? 1 : 0);
  }
  const RCUser& user = scene->MyUserRecord();
  static_cast<GVTextWnd*>(children_[kSafeBalance])
      ->SetText(user.safeAllowance > 0 ? FormatMoney(user.safeMoney, kMoneyGroups) : kNoBalance);
  static_cast<GVTextWnd*>(children_[kPaymentBalance])
      ->SetText(user.paymentAllowance > 0 && user.paymentMoney > 0 ? FormatMoney(user.paymentMoney, kMoneyGroups)
                                                                   : kNoBalance);
  SetDirty(1);
}

void CVObserveSystemWnd::RequestObserveState(int32_t code, int32_t value) {
  IPanelScene* scene = Scene();
  if (!scene || scene->CurrentObserveState() == kObserveAsked) return;
  scene->SendObserveMode(kObserveAsked);
  scene->HostLink().NotifyEvent(static_cast<uint32_t>(scene->MyUserNo()), code, nullptr, &value);
}

void CVObserveSystemWnd::SetButtonState(int32_t show, int32_t enable) {
  GVWnd* join = children_[kJoinButton];
  if (!join || IsFolded()) return;
  join->Show(show ? 1 : 0);
  join->Enable(enable ? 1 : 0);
}

void CVObserveSystemWnd::ShowButtons(BOOL fold) {
  if (!children_[kBack]) return;
  for (int32_t i = 0; i < kChildCount; ++i) {
    if (i == kServiceTip) continue;
    const bool onTab = i == kFoldedTab || i == kRestoreButton;
    children_[size_t(i)]->Show(onTab == (fold != 0) ? 1 : 0);
  }
  if (!fold && Scene()) children_[kJoinButton]->Enable(Scene()->AnySeatWithoutUser() ? 1 : 0);
  SetDirty(1);
}

void CVObserveSystemWnd::Show(BOOL show) {
  if (show) ShowButtons(0);
  GVWnd::Show(show);
}

void CVObserveSystemWnd::ShowTip(BOOL show, int32_t frame, GPoint at) {
  auto* tip = static_cast<GVPSPWnd*>(children_[kServiceTip]);
  if (!tip) return;
  tip->SetPos(at + observe_system::kTipOffset);
  tip->SetFrame(frame);
  tip->Show(show);
}

BOOL CVObserveSystemWnd::OnLButtonDown(UINT keyFlags, GPoint pt) { return PressTracked(tracked_, keyFlags, pt); }

bool CVObserveSystemWnd::OnClick(Child child) {
  using namespace observe_system;
  IPanelScene* scene = Scene();
  switch (child) {
    case kJoinButton:
      scene->RequestSeat(0);
      scene->PlayPanelEffect(IPanelScene::kEffectClick);
      return true;
    case kMinimiseButton:
      ShowButtons(1);
      return true;
    case kRestoreButton:
      ShowButtons(0);
      return true;
    default:
      break;
  }
  for (const ServiceRow& row : kServices) {
    if (row.button != child) continue;
    if (child != kSafeButton || scene->MyUserRecord().safeAllowance > 0) {
      RequestObserveState(row.event, row.value);
    } else {
      scene->ShowMsgBox(kNoSafeText, IPanelScene::kMsgBoxOk, kNoSafeBoxMs, "", kBoxHeadingColour);
    }
    scene->PlayPanelEffect(IPanelScene::kEffectClick);
    return true;
  }
  return false;
}

BOOL CVObserveSystemWnd::OnLButtonUp(UINT keyFlags, GPoint pt) {
  if (!IsEnabled() || !Scene()) return 0;
  const Release r = RouteRelease(tracked_, keyFlags, pt);
  if (!r.child) {
    if (r.releasedOther) SetDirty(1);
    return 0;
  }
  // Only a click acts; a button let go of without one still counts as handled, the
  // back, the balances, the tip and the tab do not.
  const Child child = ChildOf(r.child);
  if (r.clicked) OnClick(child);
  SetDirty(1);
  return r.clicked || IsButton(child) || r.releasedOther ? 1 : 0;
}

BOOL CVObserveSystemWnd::OnMouseMove(UINT keyFlags, GPoint pt) {
  if (!((IsVisible() && IsEnabled()) || tracked_)) return 0;
  GVWnd* over = ChildFromPoint(pt, kHitVisible | kHitEnabled);
  if (over && over == children_[kFirstServiceButton]) {
    ShowTip(1, 0, over->GetPos());
  } else if (over && over == children_[kSecondServiceButton]) {
    ShowTip(1, 1, over->GetPos());
  } else {
    ShowTip(0, 0, GPoint(0, 0));
  }
  return TrackHover(tracked_, keyFlags, pt);
}
