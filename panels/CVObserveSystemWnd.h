// The observer panel: the seat request, the portal's paid services, top-up, mall, safe
// and payment buttons with their balances, and the minimise tab. The host's answer to a
// portal dialog (host event 26) comes back through OnHostAnswer.
#pragma once

#include <array>
#include <cstdint>

#include "panels/CVPanelWnd.h"

class CVPSPPushBtn;
class GVPSPWnd;
class GVQLSWnd;
class GVTextWnd;

class CVObserveSystemWnd : public CVPanelWnd {
 public:
  // Observe states the scene keeps and the server is told.
  static constexpr int32_t kObserveIdle = 0;
  static constexpr int32_t kObserveAsked = 1;
  static constexpr int32_t kObserveGranted = 2;
  // The answer code that never grants the observe state.
  static constexpr int32_t kRefusingCode = 5;
  // Answers about the two paid services, after which the panel reads its balances again.
  static constexpr int32_t kFirstServiceCode = 0x11000;
  static constexpr int32_t kSecondServiceCode = 0x12000;

  // The children in creation (and drawing) order.
  enum Child : int32_t {
    kBack,
    kJoinButton,
    kFirstServiceButton,
    kSecondServiceButton,
    kTopUpButton,
    kMallButton,
    kSafeButton,
    kSafeBalance,
    kPaymentButton,
    kPaymentBalance,
    kServiceTip,
    kMinimiseButton,
    kFoldedTab,
    kRestoreButton,
    kChildCount
  };

  using CVPanelWnd::CVPanelWnd;
  // 0 at the first child that cannot be made, and without a scene.
  int32_t Create(IPanelScene* scene);

  // Host requests: the portal's dialogs (event 44 by service, 30 the safe) and the
  // question whether a paid service is open to this user (event 43).
  static constexpr int32_t kServiceEvent = 44;
  static constexpr int32_t kSafeEvent = 30;
  static constexpr int32_t kServiceQueryEvent = 43;

  // ok with any code but 5 enters state 2, anything else state 0; the new state goes
  // to the server. An answer about a paid service reads the balances again.
  void OnHostAnswer(int32_t code, int32_t ok);
  // Asks the host which paid services are open and fills the balance texts.
  void Refresh();
  // Unless a dialog is already asked for: state 1 to the server, then the host event.
  void RequestObserveState(int32_t code, int32_t value);
  // Shows and enables the join button as asked, unless the panel is folded.
  void SetButtonState(int32_t show, int32_t enable);
  // Folded: only the tab and the restore button. Unfolded: the join button enabled
  // exactly when a seat has no user.
  void ShowButtons(BOOL fold);
  // Showing unfolds first.
  void Show(BOOL show) override;
  void ShowTip(BOOL show, int32_t frame, GPoint at);
  BOOL OnLButtonDown(UINT keyFlags, GPoint pt) override;
  BOOL OnLButtonUp(UINT keyFlags, GPoint pt) override;
  BOOL OnMouseMove(UINT keyFlags, GPoint pt) override;

  BOOL IsFolded() const;
  int32_t PlayButtonShown() const;
  int32_t PlayButtonEnabled() const;
  // A child by its place in the table; null before Create.
  GVWnd* ChildAt(Child child) const { return children_[size_t(child)]; }

 protected:
  void InitMembers() override;

 private:
  CVPSPPushBtn* Button(Child child) const;
  // The child's place in the table; kChildCount when it is none of them.
  Child ChildOf(const GVWnd* wnd) const;
  static bool IsButton(Child child);
  // What a click on a child does; true when the child is one that acts.
  bool OnClick(Child child);

  GVWnd* tracked_ = nullptr;
  std::array<GVWnd*, kChildCount> children_{};
};
