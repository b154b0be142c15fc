// The ranking panel's children.
#include "panels/CVRankingPointWnd.h"

#include <algorithm>

#include "base/TextUtil.h"
#include "host/RCUser.h"
#include "plat/time.h"
#include "tables/PanelPaths.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLSWnd.h"
#include "widgets/GVTextWnd.h"

namespace ranking_point {

constexpr GPoint kBase(735, 474);
constexpr GSize kPanelSize(60, 35);
constexpr GSize kLevelOffset(5, 7);
constexpr GSize kPointsOffset(13, 22);
constexpr GSize kPointsSize(34, 13);
constexpr COLORREF kPointsColour = 0x7C572A;
constexpr int32_t kFontHeight = 12;
constexpr int32_t kFontWeight = 400;
constexpr UINT kCentred = 1;
constexpr const char* kPointsFormat = "+%ld점";

}  // namespace ranking_point

void CVRankingPointWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  level_ = nullptr;
  back_ = nullptr;
  pointsText_ = nullptr;
  shownSince_ = 0;
}

int32_t CVRankingPointWnd::Create(IPanelScene* scene) {
  using namespace ranking_point;
  SetScene(scene);
  if (!scene) return 0;
  if (!Adopt(scene->CreateQLSWnd(RankingBackPath, kBase, 0), back_, 0)) return 0;
  if (!Adopt(scene->CreatePSPWnd(RankingLevelPath, kBase + kLevelOffset, 0), level_, 0)) return 0;
  if (!Adopt(scene->CreateTextWnd(kBase + kPointsOffset, kPointsSize, "", kPointsColour, kFontHeight, kFontWeight),
             pointsText_, 1))
    return 0;
  pointsText_->SetTextFormat(kCentred);
  SetRect(GRect(kBase, kPanelSize));
  Show(0);
  Enable(0);
  return 1;
}

void CVRankingPointWnd::ShowPoints(const PlayerInfo* player, int32_t points) {
  if (!level_ || !player || player->userNo == RCUser::kNoUser || points < 1) {
    Close();
    return;
  }
  // Levels count from 1; a level below that shows the first frame.
  level_->SetFrame(std::max(0, player->rankingLevel - 1));
  level_->Show(1);
  pointsText_->SetText(FormatString(ranking_point::kPointsFormat, points));
  pointsText_->Show(1);
  back_->Show(1);
  shownSince_ = timeGetTime();
  Show(1);
  SetDirty(1);
}

int32_t CVRankingPointWnd::Tick() {
  if (!IsVisible()) return 0;
  if (timeGetTime() - shownSince_ > kShownMs) Close();
  SetDirty(1);
  return 1;
}

void CVRankingPointWnd::Close() {
  if (level_) {
    back_->Show(0);
    level_->Show(0);
    pointsText_->SetText("");
    pointsText_->Show(0);
  }
  Show(0);
  SetDirty(1);
}
