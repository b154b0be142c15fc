#include "panels/CVResultWnd.h"

#include "panels/CVItemWnd.h"
#include "panels/CVPSPPushBtn.h"
#include "panels/PanelText.h"
#include "tables/PanelPaths.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace result_wnd {

// Kind 0 (folded or no breakdown); kind k of 1..9 is the row-less layout with k rows
// added: the base rises half a row per row while the lower children sink a whole row.
constexpr ResultLayout kFolded{{210, 111}, {0, 0}, {0, 0}, {9, 174}, {95, 205}, {0, 247}};
constexpr ResultLayout kNoRows{{210, 107}, {48, 176}, {166, 176}, {9, 207}, {95, 238}, {0, 280}};
constexpr int32_t kRowHeight = 18;
constexpr int32_t kBaseRisePerRow = 9;
constexpr ResultLayout kInstantWin{{210, 71}, {0, 0}, {0, 0}, {9, 267}, {95, 298}, {0, 340}};

// Offsets from the base.
constexpr GSize kBackOffset{0, 39};
constexpr GSize kIconOffset{1, 0};
constexpr GSize kHeadlineOffset{9, 81};
constexpr GSize kMoneyOffset{9, 116};
constexpr GSize kNoteOffset{9, 138};
constexpr GSize kCategoryRow0{48, 170};
constexpr GSize kMultiplierRow0{166, 170};
constexpr GSize kExpandOffset{131, 157};
constexpr GSize kAutoStartOffset{178, 48};
constexpr int32_t kExpandSets = 2;
constexpr int32_t kOkSets = 1;
constexpr int32_t kAutoStartSets = 2;

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kMoneyColour = 0x68F5FF;
constexpr COLORREF kRowColour = 0xD6D6D6;
constexpr PanelTextLook kHeadlineLook{{261, 20}, kWhite, 16, 700, DT_CENTER};
constexpr PanelTextLook kMoneyLook{{261, 14}, kMoneyColour, 14, 700, DT_CENTER};
constexpr PanelTextLook kNoteLook{{261, 11}, kWhite, 11, 400, DT_CENTER};
constexpr PanelTextLook kLabelLook{{64, 12}, kRowColour, 12, 400, DT_LEFT};
constexpr PanelTextLook kValueLook{{64, 12}, kRowColour, 12, 400, DT_RIGHT};
constexpr PanelTextLook kMoneyLineLook{{261, 14}, kWhite, 14, 700, DT_CENTER};

GSize RowOffset(GSize row0, int32_t r) { return row0 + GSize(0, kRowHeight * r); }

}  // namespace result_wnd

ResultLayout CVResultWnd::LayoutOf(int32_t kind) {
  using namespace result_wnd;
  if (kind >= 1 && kind < kInstantKinds) {
    const GSize down(0, kRowHeight * kind);
    ResultLayout l = kNoRows;
    l.base -= GSize(0, kBaseRisePerRow * kind);
    l.pointSum += down, l.totalMultiplier += down, l.moneyLine += down, l.okButton += down, l.itemPanel += down;
    return l;
  }
  if (kind >= kInstantKinds && kind < kKindCount) return kInstantWin;
  return kFolded;
}

void CVResultWnd::Reset() { Note("CVResultWnd::Reset"); }

void CVResultWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  tracked_ = nullptr;
  back_ = nullptr;
  winLose_ = nullptr;
  headline_ = moneyText_ = note_ = nullptr;
  categoryLabels_.fill(nullptr);
  categoryValues_.fill(nullptr);
  pointSum_ = nullptr;
  multiplierLabels_.fill(nullptr);
  multiplierValues_.fill(nullptr);
  totalText_ = moneyLine_ = nullptr;
  expand_ = ok_ = autoStart_ = nullptr;
  itemPanel_ = nullptr;
  totalMultiplier_ = 1;
  layoutKind_ = 0;
  rowCount_ = 0;
  expanded_ = 1;
}

// The breakdown's two columns, label before value in each row; a label and its value
// share the row's point and differ in alignment.
int32_t CVResultWnd::CreateRows(IPanelScene& scene, GPoint base) {
  using namespace result_wnd;
  struct Column {
    GSize row0;
    std::array<GVTextWnd*, kRows>& labels;
    std::array<GVTextWnd*, kRows>& values;
  };
  const Column columns[] = {{kCategoryRow0, categoryLabels_, categoryValues_},
                            {kMultiplierRow0, multiplierLabels_, multiplierValues_}};
  for (const Column& c : columns) {
    for (int32_t r = 0; r < kRows; ++r) {
      const GPoint at = base + RowOffset(c.row0, r);
      const auto i = static_cast<size_t>(r);
      if (!Adopt(CreatePanelText(scene, at, kLabelLook), c.labels[i], 1)) return 0;
      if (!Adopt(CreatePanelText(scene, at, kValueLook), c.values[i], 1)) return 0;
    }
  }
  return 1;
}

int32_t CVResultWnd::Create(IPanelScene* scene) {
  using namespace result_wnd;
  SetScene(scene);
  const ResultLayout l = LayoutOf(layoutKind_);
  const GPoint b = l.base;
  if (!Adopt(scene->CreateQLAniWnd(ResultBackAnimPath, b + kBackOffset), back_, 0)) return 0;
  if (!Adopt(scene->CreatePSPWnd(ResultWinLoseIconPath, b + kIconOffset, 0), winLose_, 0)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + kHeadlineOffset, kHeadlineLook), headline_, 1)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + kMoneyOffset, kMoneyLook), moneyText_, 1)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + kNoteOffset, kNoteLook), note_, 1)) return 0;
  if (!CreateRows(*scene, b)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + l.pointSum, kValueLook), pointSum_, 1)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + l.totalMultiplier, kValueLook), totalText_, 1)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + l.moneyLine, kMoneyLineLook), moneyLine_, 1)) return 0;
  if (!Adopt(scene->CreatePSPPushBtn(ResultExpandButtonPath, b + kExpandOffset, 0, kExpandSets), expand_, 0)) return 0;
  if (!Adopt(scene->CreatePSPPushBtn(ResultOkButtonPath, b + l.okButton, 0, kOkSets), ok_, 0)) return 0;
  if (!Adopt(scene->CreateItemWnd(), itemPanel_, 0)) return 0;
  itemPanel_->SetPos(b + l.itemPanel);
  if (!Adopt(scene->CreatePSPPushBtn(ResultAutoStartButtonPath, b + kAutoStartOffset, 0, kAutoStartSets), autoStart_,
             0))
    return 0;
  SetRect(GRect(b, kSize));
  Show(0);
  Enable(1);
  return 1;
}
