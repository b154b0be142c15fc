// A panel scene that makes the panels' children straight from the sprite tests' folder.
// Text children need the resource manager's DirectDraw object (the caller's set-up).
#pragma once

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/RegistryValues.h"
#include "game/CGameModel.h"
#include "game/CHTUser.h"
#include "game/CardInfoTable.h"
#include "host/CHostLink.h"
#include "host/RCRoomData.h"
#include "host/RCUser.h"
#include "panels/CVItemWnd.h"
#include "panels/CVPSPPushBtn.h"
#include "panels/CVQLATextWnd.h"
#include "panels/IPanelScene.h"
#include "widgets/GVBoxWnd.h"
#include "widgets/GVDDSWnd.h"
#include "widgets/GVLightTextWnd.h"
#include "widgets/GVPSPNumberWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVQLSWnd.h"
#include "widgets/GVSlideWnd.h"
#include "widgets/GVTextWnd.h"

namespace panel_test {

class FakePanelScene : public IPanelScene {
 public:
  // The panels' host calls go here; a test fills it with its recording host.
  CHostLink link;
  const CHostLink& HostLink() const override { return link; }
  // Kept and recorded as the scene keeps it.
  int32_t SendObserveMode(int32_t state) override {
    observeState = state;
    observeModes.push_back(state);
    return 1;
  }
  GVTextWnd* CreateTextWnd(const GPoint& pos, GSize size, const std::string& text, COLORREF colour,
                           int32_t fontHeight, int32_t fontWeight) override {
    auto w = std::make_unique<GVTextWnd>();
    if (!w->Create(SIZE{size.cx, size.cy}, textKey, fontHeight, fontWeight)) return nullptr;
    w->SetPos(pos);
    w->SetColorKey(textKey);
    w->SetTextColor(colour);
    w->SetText(text);
    w->Show(1);
    w->Enable(0);
    return w.release();
  }
  GVQLAniWnd* CreateQLAniWnd(const std::string& relPath, const GPoint& pos) override {
    auto w = std::make_unique<GVQLAniWnd>();
    return w->Load(kRoot + relPath, pos.x, pos.y) ? w.release() : nullptr;
  }
  GVPSPWnd* CreatePSPWnd(const std::string& relPath, const GPoint& pos, BOOL show) override {
    auto w = std::make_unique<GVPSPWnd>();
    if (!w->Load((kRoot + relPath).c_str())) return nullptr;
    w->SetPos(pos);
    w->Show(show);
    return w.release();
  }
  GVQLSWnd* CreateQLSWnd(const std::string& relPath, const GPoint& pos, BOOL show) override {
    auto w = std::make_unique<GVQLSWnd>();
    if (!w->Load((kRoot + relPath).c_str())) return nullptr;
    w->SetPos(pos);
    w->Show(show);
    w->Enable(0);
    return w.release();
  }
  GVDDSWnd* CreateDDSWnd(const std::string& relPath, const GPoint& pos, BOOL, BOOL show, int32_t columns,
                         int32_t rows) override {
    auto w = std::make_unique<GVDDSWnd>();
    if (columns < 1 || rows < 1 || !w->LoadImage(kRoot + relPath, GVWnd::kNoColorKey)) return nullptr;
    const GSize cell(w->GetRect().Width() / columns, w->GetRect().Height() / rows);
    w->SetRect(GRect(pos, cell));
    w->Show(show);
    w->Enable(0);
    return w.release();
  }
  GVLightTextWnd* CreateLightTextWnd(const GPoint& pos, GSize size, const std::string& text, COLORREF colour,
                                     int32_t height, int32_t weight) override {
    auto w = std::make_unique<GVLightTextWnd>();
    if (!w->Create(SIZE{size.cx, size.cy}, kTextKey, height, weight)) return nullptr;
    w->SetPos(pos);
    w->SetTextColor(colour);
    w->SetText(text);
    w->Enable(0);
    return w.release();
  }
  GVSlideWnd* CreateSlideWnd(const GPoint& pos, const GSize& size, const std::string& knob, bool vertical,
                             const GPoint& track, int32_t length) override {
    auto w = std::make_unique<GVSlideWnd>();
    if (!w->Create(size.cx, size.cy, kRoot + knob)) return nullptr;
    w->SetPos(pos);
    w->SetTrack(vertical, track.x, track.y, length);
    return w.release();
  }
  GVAnimWnd* CreateAnimWnd(const std::string&, const GPoint&, GSize) override { return {}; }
  GVBoxWnd* CreateBoxWnd(const GPoint& pos, const GSize& size, COLORREF fill, BOOL show, int32_t level) override {
    auto w = std::make_unique<GVBoxWnd>();
    w->Create(pos.x, pos.y, size.cx, size.cy, fill, level);
    w->Show(show);
    w->Enable(0);
    return w.release();
  }
  CVCountWnd* CreateCountWnd(int32_t) override { return {}; }
  CVPSPPushBtn* CreatePSPPushBtn(const std::string& relPath, const GPoint& pos, BOOL show, int32_t sets) override {
    auto w = std::make_unique<CVPSPPushBtn>();
    if (!w->LoadSprite((kRoot + relPath).c_str(), sets, 4)) return nullptr;
    w->SetPos(pos);
    w->Show(show);
    w->Enable(1);
    return w.release();
  }
  CVTextShadowWnd* CreateTextShadowWnd(const GPoint&, GSize, const std::string&, COLORREF, int32_t,
                                       int32_t) override {
    return {};
  }
  CVQLATextWnd* CreateQLATextWnd(const std::string& relPath, const GPoint& pos, const GSize& size,
                                 const GSize& charSize, int32_t spacing, int32_t alignment) override {
    auto w = std::make_unique<CVQLATextWnd>();
    if (!w->Create(this, relPath, pos, size, charSize.cx, charSize.cy, spacing, alignment)) return nullptr;
    w->Show(0);
    w->Enable(0);
    return w.release();
  }
  GVPSPNumberWnd* CreatePSPNumberWnd(const std::string& relPath, const GPoint& pos, const GSize& size,
                                     uint32_t styleFlags, int32_t spacing, BOOL show) override {
    auto w = std::make_unique<GVPSPNumberWnd>();
    if (!w->Load((kRoot + relPath).c_str(), pos.x, pos.y, size.cx, size.cy)) return nullptr;
    w->SetStyle(styleFlags, spacing);
    w->Show(show);
    w->Enable(0);
    return w.release();
  }
  CVItemWnd* CreateItemWnd() override {
    auto w = std::make_unique<CVItemWnd>(this);
    return w->Create(this) ? w.release() : nullptr;
  }
  // As the scene's card widget: a strip picture shown at the deck point on its back.
  GVDDSWnd* CreateHTWnd(int32_t, const std::string& relPath, const GSize& size) override {
    constexpr GPoint kDeckPoint{331, 241};
    constexpr int32_t kBackFrame = 50;
    auto w = std::make_unique<GVDDSWnd>();
    if (!w->LoadImage(kRoot + relPath, GVWnd::kNoColorKey)) return nullptr;
    w->SetRect(GRect(kDeckPoint, size));
    w->SetStripFrame(kBackFrame);
    w->Show(1);
    w->Enable(1);
    return w.release();
  }
  // The scene's lists: the fake owns what joins its drawing order.
  void AddAnimation(GVQLAniWnd* animation) override { animations.push_back(animation); }
  void AddSceneWnd(GVWnd* wnd) override { sceneWnds.push_back(wnd); }
  void InsertSceneWndAfter(GVWnd* ref, GVWnd* wnd) override {
    if (!wnd || wnd == ref || std::find(sceneWnds.begin(), sceneWnds.end(), ref) == sceneWnds.end()) return;
    sceneWnds.remove(wnd);
    sceneWnds.insert(std::next(std::find(sceneWnds.begin(), sceneWnds.end(), ref)), wnd);
  }
  int32_t CardSetOf(int32_t card) override { return CardInfoOf(card).set; }
  std::string GetGradeName(int32_t index) const override {
    return index >= 0 && index < static_cast<int32_t>(gradeNames.size()) ? gradeNames[static_cast<size_t>(index)]
                                                                       : std::string();
  }
  int32_t MyUserNo() const override { return myUserNo; }
  int32_t GetSeatOfUser(int32_t userNo) const override {
    for (size_t i = 0; i < seatUsers.size(); ++i)
      if (userNo != -1 && seatUsers[i] == userNo) return static_cast<int32_t>(i);
    return -1;
  }
  CHTUser& Seat(int32_t seat) override { return seats.at(static_cast<size_t>(seat)); }
  // Manager services: widget i shows card i, the hold-alert marks are the test's.
  CGameModel& Model() override { return model; }
  int32_t FindCardInPile(const std::vector<int32_t>& list, int32_t card) const override {
    for (size_t i = list.size(); i-- > 0;)
      if (list[i] == card) return list[i];
    return -1;
  }
  int32_t CountCardsOfMonth(const std::vector<int32_t>& list, int32_t month) const override {
    return static_cast<int32_t>(std::count_if(list.begin(), list.end(), [month](int32_t c) {
      return c >= 0 && c < kCardCount && CardInfoOf(c).month == month;
    }));
  }
  int32_t CardIdOfWidget(int32_t index) const override { return index >= 0 && index < kCardCount ? index : kNoCard; }
  int32_t IsRobotSeat(int32_t seat) const override { return seat >= 0 && seat < 2 && robotSeats[size_t(seat)]; }
  int32_t SideOfSeat(int32_t seat) override { return seat >= 0 && seat < 2 ? sides[size_t(seat)] : -1; }
  int32_t PlaySceneEffect(int32_t id) override {
    playedEffects.push_back(id);
    return 1;
  }
  int32_t StopSceneEffect(int32_t id) override {
    stoppedEffects.push_back(id);
    return 1;
  }
  GVWnd* HoldAlertHint(int32_t slot) override {
    return slot >= 0 && slot < static_cast<int32_t>(holdAlertHints.size()) ? holdAlertHints[size_t(slot)] : nullptr;
  }
  // Panel services: the records and seat answers a test arranges, and what the panels
  // asked for.
  struct MsgBox {
    std::string body;
    int32_t type;
    uint32_t autoCloseMs;
    std::string heading;
    COLORREF colour;
    bool operator==(const MsgBox&) const = default;
  };
  const RCUser& MyUserRecord() const override { return myUser; }
  const RCRoomData& RoomRecord() const override { return room; }
  const PlayerInfo& SeatPlayer(int32_t seat) const override { return room.seats.Player(seat); }
  int32_t AnySeatWithoutUser() const override {
    return room.seats.Player(0).userNo < 0 || room.seats.Player(1).userNo < 0;
  }
  int32_t AnyRobotPlayer() const override { return room.seats.Player(0).userNo < -1 || room.seats.Player(1).userNo < -1; }
  int32_t GamesPlayedCount() const override { return gamesPlayed; }
  int32_t AntiLeaveFlag() const override { return antiLeave; }
  int32_t CurrentObserveState() const override { return observeState; }
  int32_t RequestSeat(int32_t flag) override { return seatRequests.push_back(flag), 1; }
  int32_t PlayPanelEffect(int32_t id) override { return effects.push_back(id), 1; }
  int32_t ShowMsgBox(const std::string& body, int32_t type, uint32_t ms, const std::string& heading,
                     COLORREF colour) override {
    msgBoxes.push_back({body, type, ms, heading, colour});
    return 1;
  }
  int32_t ShowPromotionBanner(int32_t show) override { return bannerCalls.push_back(show), 1; }
  void SetCardOfWidget(GVDDSWnd* card, int32_t id) override {
    if (id < 0 || id >= kCardCount) id = kNoCard;
    widgetCards[card] = id;
    card->SetStripFrame(id);
  }
  int32_t CardOfWidget(const GVDDSWnd* card) const override {
    const auto it = widgetCards.find(card);
    return it == widgetCards.end() ? kNoCard : it->second;
  }
  // VIP helper popup services: the registry under kSettingsPath, the portal on kDomain.
  static constexpr const char* kSettingsPath = "Acme\\Tables";
  static constexpr const char* kDomain = "Tables";
  const std::string& SceneImageFolder() const override { return kRoot; }
  int32_t ReadSettingDword(const std::string& subKey, const char* name, uint32_t* out) const override {
    return ReadRegistryValue(kSettingsPath, subKey, name, out);
  }
  int32_t SaveSettingDword(const std::string& subKey, const char* name, uint32_t value) override {
    return registry_values::WriteDword(kSettingsPath, subKey, name, value);
  }
  std::string PortalPageAddress(const std::string& page) const override {
    return std::string("http://") + kDomain + "/" + page;
  }
  void ShowVipButton() override { ++vipButtonShows; }
  int32_t vipButtonShows = 0;
  RCUser myUser;
  RCRoomData room;
  int32_t gamesPlayed = 0;
  int32_t antiLeave = 0;
  int32_t observeState = 0;
  std::vector<int32_t> observeModes;  // every SendObserveMode
  std::vector<int32_t> seatRequests;
  std::vector<int32_t> effects;
  std::vector<MsgBox> msgBoxes;
  std::vector<int32_t> bannerCalls;
  std::map<const GVDDSWnd*, int32_t> widgetCards;


  // The decision prompt: answers noted as {sender, value}; card widgets show the card's
  // strip frame and go back to the deck point without one.
  int32_t SendPromptAnswer(PromptSender sender, int32_t value) override {
    answers.push_back({static_cast<int32_t>(sender), value});
    return 1;
  }
  void HideNotifyPrompt() override { ++promptHides; }
  void ShowCardOnWidget(GVDDSWnd* card, int32_t id) override {
    constexpr GPoint kDeckPoint{331, 241};
    constexpr int32_t kBackFrame = 50;
    if (id >= 0 && id < kCardCount) {
      card->SetStripFrame(id);
      return;
    }
    card->SetPos(kDeckPoint);
    card->SetStripFrame(kBackFrame);
  }
  std::vector<std::array<int32_t, 2>> answers;
  int32_t promptHides = 0;
  // ---- result and item panels: the options key as a map, the sends and closes counted ----
  int32_t ReadOptionDword(const char* name, uint32_t* out) const override {
    const auto it = options.find(name);
    if (it == options.end()) return 0;
    *out = it->second;
    return 1;
  }
  int32_t SaveOptionDword(const char* name, uint32_t value) override {
    options[name] = value;
    return 1;
  }
  int32_t SendResultDone() override { return ++resultDoneSent, 1; }
  void CloseResultWnd() override {
    ++resultClosed;
    if (onCloseResult) onCloseResult();
  }
  int32_t PlayVoice(int32_t id, int32_t seat) override {
    voices.push_back({id, seat});
    return 1;
  }
  GVWnd* WinMoneyLimitMark() override { return winMoneyLimit; }
  GVPSPWnd* ItemChanceIcon() override { return chanceIcon; }
  GVTextWnd* ItemChanceCaption() override { return chanceCaption; }
  std::map<std::string, uint32_t> options;
  int32_t resultDoneSent = 0;
  int32_t resultClosed = 0;
  std::function<void()> onCloseResult;
  std::vector<std::array<int32_t, 2>> voices;
  // Owned by the test when set (put them in sceneWnds).
  GVWnd* winMoneyLimit = nullptr;
  GVPSPWnd* chanceIcon = nullptr;
  GVTextWnd* chanceCaption = nullptr;
  // The option panel's calls, recorded.
  int32_t PreviewSceneVoice(int32_t id, int32_t voiceSet, int32_t seat) override {
    previews.push_back({id, voiceSet, seat});
    return 1;
  }
  void SetSceneEffectVolume(int32_t volume) override { volumes.push_back(volume); }
  void ApplyUserOptions() override { ++appliedOptions; }
  std::vector<std::array<int32_t, 3>> previews;
  std::vector<int32_t> volumes;
  int32_t appliedOptions = 0;

  ~FakePanelScene() {
    for (GVWnd* w : sceneWnds) delete w;
  }
  std::vector<GVQLAniWnd*> animations;
  std::list<GVWnd*> sceneWnds;
  static constexpr COLORREF kTextKey = 0xFF00FF;
  std::string kRoot = "C:\\Sprites\\";
  COLORREF textKey = kTextKey;
  std::vector<std::string> gradeNames;
  int32_t myUserNo = -1;
  std::array<int32_t, 2> seatUsers{-1, -1};
  std::array<CHTUser, 2> seats;
  CGameModel model;
  std::array<int32_t, 2> robotSeats{};
  std::array<int32_t, 2> sides{0, 1};
  std::vector<int32_t> playedEffects;
  std::vector<int32_t> stoppedEffects;
  std::array<GVWnd*, 10> holdAlertHints{};
};

}  // namespace panel_test
