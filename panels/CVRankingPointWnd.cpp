// The ranking panel's children.
#include "panels/CVRankingPointWnd.h"

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

int32_t CVRankingPointWnd::Tick() {
  Note("CVRankingPointWnd::Tick");
  return 0;
}

void CVRankingPointWnd::Close() { Note("CVRankingPointWnd::Close"); }
