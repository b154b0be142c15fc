// The table's signs around the cards: the room banner, which gives way to the pick's
// animation until the deal and to the game's from the first turn; the deck's animation
// before cards leave it; and the sign that no seat holds the turn of a game handed back.
#include "scene/CDorvik2VWS.h"
#include "scene/SceneWidgetOps.h"
#include "widgets/GVQLAniWnd.h"

namespace table_signs {

constexpr int32_t kBannerFirstState = 5;
constexpr int32_t kBannerLastState = 10;
constexpr int32_t kLoopForever = -1;
constexpr int32_t kPlayOnce = 1;

}  // namespace table_signs

bool CDorvik2VWS::IsBannerRoom() const {
  using namespace table_signs;
  const int32_t state = model_.room.roomState;
  return state >= kBannerFirstState && state <= kBannerLastState && !HasRobotPlayer() &&
         IsSeated(RCUser::kNoUser) != 0;
}

// Until the scene is ready the loader may be making these widgets on its thread.
void CDorvik2VWS::PlayPickBanner() {
  if (!WidgetsLive()) return;
  SceneWidgets& w = built_.widgets;
  scene_widgets::ShowWnd(w.roomBanner, 0);
  if (w.inGameBanner) w.inGameBanner->Stop();
  if (w.pickBanner) w.pickBanner->Play(table_signs::kLoopForever, 0);
  MarkDirty();
}

void CDorvik2VWS::StopPickBanner() {
  if (GVQLAniWnd* banner = WidgetsLive() ? built_.widgets.pickBanner : nullptr) banner->Stop();
  MarkDirty();
}

void CDorvik2VWS::PlayInGameBanner() {
  if (GVQLAniWnd* banner = WidgetsLive() ? built_.widgets.inGameBanner : nullptr)
    banner->Play(table_signs::kLoopForever, 0);
  MarkDirty();
}

void CDorvik2VWS::PlayDeckAnimation() {
  if (GVQLAniWnd* deck = WidgetsLive() ? built_.widgets.deckAnim : nullptr) deck->Play(table_signs::kPlayOnce, 0);
  MarkDirty();
}

void CDorvik2VWS::ShowNoTurnSign(BOOL show) {
  GVWnd* sign = WidgetsLive() ? built_.widgets.noTurnSign : nullptr;
  if (sign) sign->Show(show);
  MarkWidgetDirty(sign);
}
