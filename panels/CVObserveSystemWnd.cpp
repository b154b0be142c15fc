// The observer panel's children, its answer handling and the join button's state.
#include "panels/CVObserveSystemWnd.h"

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
  folded_ = playShown_ = playEnabled_ = refreshes_ = 0;
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

void CVObserveSystemWnd::OnHostAnswer(int32_t code, int32_t ok) {
  const int32_t state = ok && code != kRefusingCode ? kObserveGranted : kObserveIdle;
  if (ok && (code == kFirstServiceCode || code == kSecondServiceCode)) Refresh();
  if (IPanelScene* scene = Scene()) scene->SendObserveMode(state);
}

void CVObserveSystemWnd::SetButtonState(int32_t show, int32_t enable) {
  if (folded_) return;
  playShown_ = show ? 1 : 0;
  playEnabled_ = enable ? 1 : 0;
  if (CVPSPPushBtn* join = Button(kJoinButton)) {
    join->Show(playShown_);
    join->Enable(playEnabled_);
  }
}
