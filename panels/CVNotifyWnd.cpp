#include "panels/CVNotifyWnd.h"

#include "panels/CVPSPPushBtn.h"
#include "panels/PanelText.h"
#include "widgets/GVDDSWnd.h"
#include "tables/PanelPaths.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVQLSWnd.h"

namespace notify_wnd {

// Offsets from the layout's base. The third line takes the first one's place: the
// go-or-stop prompt of the last turn writes there instead.
constexpr GSize kTitleOffset{0, 0};
constexpr GSize kEffectOffset{0, 0};
constexpr GSize kLine1Offset{5, 92};
constexpr GSize kLine2Offset{5, 105};
constexpr GSize kLine3Offset = kLine1Offset;
constexpr GSize kYesOffset{17, 103};
constexpr GSize kNoOffset{101, 103};
constexpr GSize kSideMarkOffset{0, 172};
constexpr int32_t kYesSets = 12;
constexpr int32_t kNoSets = 4;
constexpr PanelTextLook kWhiteLine{{181, 14}, 0xFFFFFF, 12, 400, DT_CENTER};
constexpr PanelTextLook kYellowLine{{181, 14}, 0x00FFFF, 12, 400, DT_CENTER};
// The card images start at the deck point; the card sides wait at the origin until a
// prompt places them.
constexpr GSize kCardSize{36, 55};
constexpr GPoint kUnplaced{0, 0};

}  // namespace notify_wnd

int32_t CVNotifyWnd::Tick() {
  Note("CVNotifyWnd::Tick");
  return 0;
}

void CVNotifyWnd::Close() { Note("CVNotifyWnd::Close"); }

GVTextWnd* CVNotifyWnd::TextLine(int32_t line) const {
  switch (line) {
    case 1:
      return line1_;
    case 2:
      return line2_;
    case 3:
      return line3_;
    default:
      return nullptr;
  }
}

void CVNotifyWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  tracked_ = nullptr;
  title_ = effect_ = nullptr;
  sides_.fill(nullptr);
  cards_.fill(nullptr);
  line1_ = line2_ = line3_ = nullptr;
  yes_ = no_ = nullptr;
  sideMark_ = nullptr;
  mode_ = -1;
  layout_ = 0;
}

// Every child starts hidden: a prompt shows only what its mode asks for.
int32_t CVNotifyWnd::Create(IPanelScene* scene) {
  using namespace notify_wnd;
  SetScene(scene);
  const GPoint b = kLayoutBases[layout_];
  if (!Adopt(scene->CreateQLAniWnd(PromptTitleAnimPath, b + kTitleOffset), title_, 0)) return 0;
  for (int32_t c = 0; c < kCards; ++c) {
    const auto i = static_cast<size_t>(c);
    if (!Adopt(scene->CreateQLSWnd(PromptCardSidePath, kUnplaced, 0), sides_[i], 0)) return 0;
    if (!Adopt(scene->CreateHTWnd(c, CardNormalPicturePath, kCardSize), cards_[i], 0)) return 0;
  }
  if (!Adopt(scene->CreateQLAniWnd(PromptEffectAnimPath, b + kEffectOffset), effect_, 0)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + kLine1Offset, kWhiteLine), line1_, 0)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + kLine2Offset, kYellowLine), line2_, 0)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + kLine3Offset, kWhiteLine), line3_, 0)) return 0;
  if (!Adopt(scene->CreatePSPPushBtn(PromptYesButtonPath, b + kYesOffset, 0, kYesSets), yes_, 0)) return 0;
  if (!Adopt(scene->CreatePSPPushBtn(PromptNoButtonPath, b + kNoOffset, 0, kNoSets), no_, 0)) return 0;
  if (!Adopt(scene->CreateQLSWnd(PromptSideMoneyMarkPath, b + kSideMarkOffset, 0), sideMark_, 0)) return 0;
  SetRect(GRect(b, kSize));
  Show(0);
  Enable(1);
  return 1;
}
