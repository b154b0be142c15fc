#include "panels/SeatPanels.h"

#include "tables/PanelPaths.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

int32_t CVUserInfoWnd::TickAnimation() {
  Note("CVUserInfoWnd::TickAnimation");
  return 0;
}
void CVUserInfoWnd::ResetSeat() { Note("CVUserInfoWnd::ResetSeat"); }

int32_t CVJumsuInfoWnd::TickBlink() {
  Note("CVJumsuInfoWnd::TickBlink");
  return 0;
}
void CVJumsuInfoWnd::ResetScore() { Note("CVJumsuInfoWnd::ResetScore"); }

void CVHTIconWnd::ResetIcons() { Note("CVHTIconWnd::ResetIcons"); }
void CVBakIconWnd::ResetIcons() { Note("CVBakIconWnd::ResetIcons"); }

namespace seat_panels {

// The panels take no input and start shown.
void Finish(GVWnd& panel, GPoint base, GSize size) {
  panel.SetRect(GRect(base, size));
  panel.Show(1);
  panel.Enable(0);
}

bool SeatInRange(int32_t screenPos) { return screenPos == 0 || screenPos == 1; }

}  // namespace seat_panels

void CVHTIconWnd::InitMembers() {
  CPanelStub::InitMembers();
  icons_.fill(nullptr);
  screenPos_ = 0;
}

int32_t CVHTIconWnd::Create(IPanelScene* scene, int32_t screenPos) {
  if (!seat_panels::SeatInRange(screenPos)) return 0;
  SetScene(scene);
  screenPos_ = screenPos;
  const GPoint base = kBases[screenPos];
  for (size_t i = 0; i < icons_.size(); ++i) {
    if (!Adopt(scene->CreateQLAniWnd(SeatIconFiles[i], base + kOffsets[i]), icons_[i], 0)) return 0;
  }
  seat_panels::Finish(*this, base, kSize);
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
  CPanelStub::InitMembers();
  frame_ = nullptr;
  marks_.fill(nullptr);
  screenPos_ = 0;
}

int32_t CVBakIconWnd::Create(IPanelScene* scene, int32_t screenPos) {
  if (!seat_panels::SeatInRange(screenPos)) return 0;
  SetScene(scene);
  screenPos_ = screenPos;
  const GPoint base = kBases[screenPos];
  if (!Adopt(scene->CreatePSPWnd(BakIconFramePath, base, 0), frame_, 0)) return 0;
  frame_->SetFrame(kFrameSprite);
  for (size_t i = 0; i < marks_.size(); ++i) {
    if (!Adopt(scene->CreatePSPWnd(BakIconMarksPath, base + kMarkOffsets[i], 0), marks_[i], 0)) return 0;
    marks_[i]->SetFrame(static_cast<int32_t>(i));
  }
  seat_panels::Finish(*this, base, kSize);
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
