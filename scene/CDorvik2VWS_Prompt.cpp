// The decision prompt on the scene: its show operations, its hide, its answers through
// the senders and its card images.
#include "base/TextUtil.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"

namespace scene_prompt {

// The looping sound of the result's last stretch, silenced with the prompt.
constexpr int32_t kPromptStopEffect = scene_effects::kPulse;

}  // namespace scene_prompt

int32_t CDorvik2VWS::SendPromptAnswer(PromptSender sender, int32_t value) {
  constexpr int32_t kAnswered = 0;  // not timed out
  switch (sender) {
    case PromptSender::kFourOfMonth:
      return SendFourOfMonthAnswer(value);
    case PromptSender::kPickFloorCard:
      return SendPickFloorCard(value, kAnswered);
    case PromptSender::kShake:
      return SendShakeAnswer(value, kAnswered);
    case PromptSender::kGoOrStop:
      return SendGoOrStopAnswer(value, kAnswered);
    case PromptSender::kNineTen:
      return Send9TenAnswer(value, kAnswered);
    case PromptSender::kStakeVote:
      return SendStakeVoteAnswer(value);
  }
  return 0;
}

void CDorvik2VWS::HideNotifyPrompt() {
  StopEffect(scene_prompt::kPromptStopEffect);
  if (WidgetsLive() && built_.widgets.notifyPrompt) built_.widgets.notifyPrompt->Close();
  MarkDirty();
}

void CDorvik2VWS::ShowCardOnWidget(GVDDSWnd* card, int32_t id) {
  auto* wnd = dynamic_cast<CVHTWnd*>(card);
  if (!wnd) return;
  if (IsCardId(id)) {
    wnd->SetCard(id);
  } else {
    wnd->SetPos(wnd->home);
    wnd->Reset();
    wnd->SetCard(kNoCard);
  }
  wnd->SetDirty(1);
}

int32_t CDorvik2VWS::ShowNotice(int32_t mode, std::list<int32_t>& cards) {
  CVNotifyWnd* prompt = WidgetsLive() ? built_.widgets.notifyPrompt : nullptr;
  const int32_t shown = prompt ? prompt->ShowNotice(mode, cards) : 0;
  if (shown) MarkDirty();
  return shown;
}

int32_t CDorvik2VWS::ShowNotifyPrompt(int32_t mode, int32_t n, int64_t amount, int32_t yesSetBase,
                                      int32_t otherAmount, BOOL showSideMark) {
  CVNotifyWnd* prompt = WidgetsLive() ? built_.widgets.notifyPrompt : nullptr;
  const int32_t shown = prompt ? prompt->ShowNotifyPrompt(mode, n, amount, yesSetBase, otherAmount, showSideMark) : 0;
  if (shown) MarkDirty();
  return shown;
}

int32_t CDorvik2VWS::ShowMissionSuccess(int32_t mode, int32_t missionCode, int64_t reward) {
  CVNotifyWnd* prompt = WidgetsLive() ? built_.widgets.notifyPrompt : nullptr;
  const int32_t shown = prompt ? prompt->ShowMissionSuccess(mode, missionCode, reward) : 0;
  if (shown) MarkDirty();
  return shown;
}
