// The VIP manager's widgets and the cards its alert watches.
#include "panels/CDorvik2VIPMgr.h"

#include "tables/PanelPaths.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace vip {

// By panel slot, then bright, five birds, ribbons; the icons sit this far below the points.
constexpr GPoint kIconPoints[CDorvik2VIPMgr::kAlertIcons] = {{20, 458}, {118, 400}, {118, 458},
                                                             {20, 24},  {118, 24},  {118, 81}};
constexpr GSize kIconDrop(0, 37);
constexpr GPoint kAlarmPoint(407, 493);
constexpr GSize kTextOffset(3, 5);
constexpr GSize kTextSize(206, 12);
constexpr int32_t kFontHeight = 12;
struct TextStyle {
  COLORREF colour;
  int32_t weight;
};
constexpr TextStyle kTextStyles[CDorvik2VIPMgr::kAlarmTexts] = {{0x68F4FF, 700}, {0xFFFFFF, 400}};
// The card set each list collects, by CDorvik2VIPMgr::ComboList.
constexpr int32_t kComboSets[CDorvik2VIPMgr::kComboLists] = {7, 6, 3, 4, 5};
// The bonus cards (48, 49) belong to no combination.
constexpr int32_t kMonthCards = 48;

}  // namespace vip

void CDorvik2VIPMgr::OnVipState(VipStateMsg&) { Note("CDorvik2VIPMgr::OnVipState"); }
// Runs every 50 ms: too frequent for the record.
void CDorvik2VIPMgr::Tick() {}
void CDorvik2VIPMgr::HideAlertIcons() { Note("CDorvik2VIPMgr::HideAlertIcons"); }
void CDorvik2VIPMgr::CloseHelpPopup() { Note("CDorvik2VIPMgr::CloseHelpPopup"); }

int32_t CDorvik2VIPMgr::CreateWidgets() {
  using namespace vip;
  if (!scene_) return 0;
  // Each widget joins the scene's list as soon as it is made, so a later failure
  // leaves nothing unowned.
  auto animation = [&](const char* path, GPoint at) {
    GVQLAniWnd* made = scene_->CreateQLAniWnd(path, at);
    if (made) {
      scene_->AddSceneWnd(made);
      scene_->AddAnimation(made);
    }
    return made;
  };
  for (int32_t i = 0; i < kAlertIcons; ++i) {
    if (!(icons_[size_t(i)] = animation(VipComboAlertAnimPath, kIconPoints[i] + kIconDrop))) return 0;
  }
  if (!(alarm_ = animation(VipAlarmAnimPath, kAlarmPoint))) return 0;
  for (int32_t i = 0; i < kAlarmTexts; ++i) {
    const TextStyle& style = kTextStyles[i];
    GVTextWnd* text = scene_->CreateTextWnd(kAlarmPoint + kTextOffset, kTextSize, "", style.colour, kFontHeight,
                                            style.weight);
    if (!(texts_[size_t(i)] = text)) return 0;
    scene_->AddSceneWnd(text);
    // The reminder shows its texts half a second after the alarm starts.
    text->Show(0);
  }
  for (std::vector<int32_t>& list : comboCards_) list.clear();
  for (int32_t card = 0; card < kMonthCards; ++card) {
    for (int32_t list = 0; list < kComboLists; ++list) {
      if (scene_->CardSetOf(card) == kComboSets[list]) comboCards_[size_t(list)].push_back(card);
    }
  }
  return 1;
}

void CDorvik2VIPMgr::PlaceWidgetsAfter(GVWnd* ref) {
  if (!scene_ || !ref) return;
  GVWnd* previous = ref;
  for (GVQLAniWnd* icon : icons_) {
    if (!icon) continue;
    scene_->InsertSceneWndAfter(previous, icon);
    previous = icon;
  }
}
