#include "panels/CVGoBakAlertUIWnd.h"

#include "game/CHTUser.h"
#include "host/PITable.h"
#include "tables/PanelPaths.h"
#include "widgets/GVPSPNumberWnd.h"
#include "widgets/GVQLSWnd.h"

void CVGoBakAlertUIWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  digits_ = nullptr;
  back_ = nullptr;
}

int32_t CVGoBakAlertUIWnd::Create(IPanelScene* scene) {
  SetScene(scene);
  if (!Adopt(scene->CreateQLSWnd(GoBakAlertBackPath, kBase, 0), back_, 0)) return 0;
  GVPSPNumberWnd* digits =
      scene->CreatePSPNumberWnd(GoBakAlertDigitsPath, kBase + kDigitsOffset, kDigitsSize, kDigitsStyle, kDigitsSpacing, 0);
  if (!Adopt(digits, digits_, 0)) return 0;
  SetRect(GRect(kBase, kSize));
  Show(1);
  Enable(0);
  return 1;
}

void CVGoBakAlertUIWnd::Update() {
  IPanelScene* scene = Scene();
  if (!scene) return;
  const int32_t seat = scene->GetSeatOfUser(scene->MyUserNo());
  if (seat < 0 || seat >= PITable::kSeatCount) return;
  const CHTUser& record = scene->Seat(seat);
  const int64_t score = int64_t{record.points} + record.goCount;
  const int64_t threshold = record.goBakThreshold;
  if (score < threshold) {
    if (back_) back_->Show(1);
    if (digits_) {
      digits_->SetNumber(threshold + 1);
      digits_->Show(1);
    }
  } else if (score > threshold) {
    HideAll();
  }
  SetDirty(1);
}
