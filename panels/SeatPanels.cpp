#include "panels/SeatPanels.h"

#include "tables/PanelPaths.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

void CVHTIconWnd::InitMembers() {
  CVSeatPanelWnd::InitMembers();
  icons_.fill(nullptr);
}

int32_t CVHTIconWnd::Create(IPanelScene* scene, int32_t screenPos) {
  if (!BeginCreate(scene, screenPos)) return 0;
  const GPoint base = kBases[screenPos];
  for (size_t i = 0; i < icons_.size(); ++i) {
    if (!Adopt(scene->CreateQLAniWnd(SeatIconFiles[i], base + kOffsets[i]), icons_[i], 0)) return 0;
  }
  FinishCreate(base, kSize);
  return 1;
}

void CVHTIconWnd::Update(const CHTUser& seat) {
  const int32_t counts[3] = {seat.goCount, seat.shakeCount, seat.puckCount};
  for (size_t i = 0; i < icons_.size(); ++i) {
    if (!icons_[i]) continue;
    const bool shown = counts[i] >= 1 && counts[i] <= kMaxCounts[i];
    if (shown) icons_[i]->SetFrame(counts[i] - 1);
    icons_[i]->Show(shown ? 1 : 0);
  }
  SetDirty(1);
}

void CVBakIconWnd::InitMembers() {
  CVSeatPanelWnd::InitMembers();
  frame_ = nullptr;
  marks_.fill(nullptr);
}

int32_t CVBakIconWnd::Create(IPanelScene* scene, int32_t screenPos) {
  if (!BeginCreate(scene, screenPos)) return 0;
  const GPoint base = kBases[screenPos];
  if (!Adopt(scene->CreatePSPWnd(BakIconFramePath, base, 0), frame_, 0)) return 0;
  frame_->SetFrame(kFrameSprite);
  for (size_t i = 0; i < marks_.size(); ++i) {
    if (!Adopt(scene->CreatePSPWnd(BakIconMarksPath, base + kMarkOffsets[i], 0), marks_[i], 0)) return 0;
    marks_[i]->SetFrame(static_cast<int32_t>(i));
  }
  FinishCreate(base, kSize);
  return 1;
}

void CVBakIconWnd::Update(const CHTUser& seat) {
  const int32_t flags[3] = {seat.gwangBak, seat.yeolBak, seat.piBak};
  bool any = false;
  for (size_t i = 0; i < marks_.size(); ++i) {
    any = any || flags[i] != 0;
    if (marks_[i]) marks_[i]->Show(flags[i] != 0 ? 1 : 0);
  }
  if (frame_) frame_->Show(any ? 1 : 0);
  SetDirty(1);
}
