// The observer panel, as far as the host link needs it: the host's answer to a
// portal dialog (host event 26) and the play button's state. Its widgets, balances
// and buttons come with the panel's own work.
#pragma once

#include <cstdint>

#include "panels/IPanelScene.h"
#include "widgets/GVWnd.h"

class CVObserveSystemWnd : public GVWnd {
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

  explicit CVObserveSystemWnd(IPanelScene* scene) : scene_(scene) {}
  // The panel's children at their places; 0 at the first that fails.
  int32_t Create(IPanelScene* scene) {
    scene_ = scene;
    return 1;
  }

  // ok with any code but 5 enters state 2, anything else state 0; the new state goes
  // to the server.
  void OnHostAnswer(int32_t code, int32_t ok);
  // Shows and enables the play button as asked, unless the panel is folded.
  void SetButtonState(int32_t show, int32_t enable);
  // Folding hides the play button's row; the full panel builds the rest.
  void SetFolded(int32_t folded) { folded_ = folded; }

  int32_t PlayButtonShown() const { return playShown_; }
  int32_t PlayButtonEnabled() const { return playEnabled_; }
  int32_t Refreshes() const { return refreshes_; }

 private:
  IPanelScene* scene_;
  int32_t folded_ = 0;
  int32_t playShown_ = 0;
  int32_t playEnabled_ = 0;
  int32_t refreshes_ = 0;  // balance reads asked for (the panel's Refresh)
};
