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

  // ok with any code but 5 enters state 2, anything else state 0; the new state goes
  // to the server.
  void OnHostAnswer(int32_t code, int32_t ok);
  // Shows and enables the join button as asked, unless the panel is folded.
  void SetButtonState(int32_t show, int32_t enable);
  // Folding hides the join button's row; the full panel builds the rest.
  void SetFolded(int32_t folded) { folded_ = folded; }

  int32_t PlayButtonShown() const { return playShown_; }
  int32_t PlayButtonEnabled() const { return playEnabled_; }
  // Reads the balances again (counted until the balances are shown).
  void Refresh() { ++refreshes_; }
  int32_t Refreshes() const { return refreshes_; }
  // A child by its place in the table; null before Create.
  GVWnd* ChildAt(Child child) const { return children_[size_t(child)]; }

 protected:
  void InitMembers() override;

 private:
  CVPSPPushBtn* Button(Child child) const;

  GVWnd* tracked_ = nullptr;
  std::array<GVWnd*, kChildCount> children_{};
  int32_t folded_ = 0;
  int32_t playShown_ = 0;
  int32_t playEnabled_ = 0;
  int32_t refreshes_ = 0;  // balance reads asked for (the panel's Refresh)
};
