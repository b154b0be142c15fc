// What the panels ask of the scene that owns them. The scene implements it; panels
// keep this pointer, so they never reach up into the scene.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plat/types.h"
#include "base/GGeometry.h"

class CHostLink;
class CVCountWnd;
class CVItemWnd;
class CVPSPPushBtn;
class CVQLATextWnd;
class CVTextShadowWnd;
class GVAnimWnd;
class GVBoxWnd;
class GVDDSWnd;
class GVLightTextWnd;
class GVPSPNumberWnd;
class GVPSPWnd;
class GVQLAniWnd;
class GVQLSWnd;
class GVSlideWnd;
class GVTextWnd;
class GVWnd;
struct CGameModel;
struct CHTUser;
class PlayerInfo;
class RCRoomData;
class RCUser;

class IPanelScene {
 public:
  // The game's link to the host, cut when the game ends: the panels' host calls.
  virtual const CHostLink& HostLink() const = 0;
  // Tells the server the observe state; 1 when the command went out.
  virtual int32_t SendObserveMode(int32_t state) = 0;
  // The scene's widget factory for the panels' children: null on failure, which the
  // scene has recorded.
  virtual GVTextWnd* CreateTextWnd(const GPoint& pos, GSize size, const std::string& text, COLORREF colour,
                                   int32_t fontHeight, int32_t fontWeight) = 0;
  virtual GVQLAniWnd* CreateQLAniWnd(const std::string& relPath, const GPoint& pos) = 0;
  virtual GVPSPWnd* CreatePSPWnd(const std::string& relPath, const GPoint& pos, BOOL show) = 0;
  virtual GVQLSWnd* CreateQLSWnd(const std::string& relPath, const GPoint& pos, BOOL show) = 0;
  virtual GVDDSWnd* CreateDDSWnd(const std::string& relPath, const GPoint& pos, BOOL useColorKey, BOOL show,
                                 int32_t columns, int32_t rows) = 0;
  virtual GVLightTextWnd* CreateLightTextWnd(const GPoint& pos, GSize size, const std::string& text,
                                             COLORREF colour, int32_t fontHeight, int32_t fontWeight) = 0;
  virtual GVSlideWnd* CreateSlideWnd(const GPoint& pos, const GSize& size, const std::string& knobRelPath,
                                     bool vertical, const GPoint& trackOrigin, int32_t length) = 0;
  virtual GVAnimWnd* CreateAnimWnd(const std::string& relPath, const GPoint& pos, GSize frameSize) = 0;
  virtual GVBoxWnd* CreateBoxWnd(const GPoint& pos, const GSize& size, COLORREF fill, BOOL show,
                                 int32_t blendLevel) = 0;
  virtual CVCountWnd* CreateCountWnd(int32_t screenPos) = 0;
  virtual CVPSPPushBtn* CreatePSPPushBtn(const std::string& relPath, const GPoint& pos, BOOL show,
                                         int32_t setCount) = 0;
  virtual CVTextShadowWnd* CreateTextShadowWnd(const GPoint& pos, GSize size, const std::string& text,
                                               COLORREF colour, int32_t fontHeight, int32_t fontWeight) = 0;
  virtual CVQLATextWnd* CreateQLATextWnd(const std::string& relPath, const GPoint& pos, const GSize& size,
                                         const GSize& charSize, int32_t spacing, int32_t alignment) = 0;
  virtual GVPSPNumberWnd* CreatePSPNumberWnd(const std::string& relPath, const GPoint& pos, const GSize& size,
                                             uint32_t styleFlags, int32_t spacing, BOOL show) = 0;
  // The result panel holds the item panel as a child.
  virtual CVItemWnd* CreateItemWnd() = 0;
  // A card widget (the scene's card class) of `number` from a card strip, at the deck
  // point and shown; the panels that show cards only place, show and hide it.
  virtual GVDDSWnd* CreateHTWnd(int32_t number, const std::string& relPath, const GSize& size) = 0;

  // The scene's lists, for panels and managers that place widgets on the table itself:
  // the animation list the tick advances, and the drawing order (each addition lies
  // above all earlier ones; InsertSceneWndAfter puts a widget directly above `ref`).
  virtual void AddAnimation(GVQLAniWnd* animation) = 0;
  virtual void AddSceneWnd(GVWnd* wnd) = 0;
  virtual void InsertSceneWndAfter(GVWnd* ref, GVWnd* wnd) = 0;
  // The card set (0..7) of a card id, for the VIP alert's card lists.
  virtual int32_t CardSetOf(int32_t card) = 0;

  // What the seat panels read of the table: the grade titles, this client's user
  // number, the seat a user holds (-1 none) and a seat's card and score record.
  virtual std::string GetGradeName(int32_t index) const = 0;
  virtual int32_t MyUserNo() const = 0;
  virtual int32_t GetSeatOfUser(int32_t userNo) const = 0;
  virtual CHTUser& Seat(int32_t seat) = 0;

  // ---- manager services: what the promotion and VIP managers read of the table ----
  // The room, the seats and the game in play.
  virtual CGameModel& Model() = 0;
  // Card lists hold widget indices; these read the cards through their widgets: the
  // element nearest the end showing `card` (-1 none), how many show the month, and
  // the card widget `index` shows.
  virtual int32_t FindCardInPile(const std::vector<int32_t>& list, int32_t card) const = 0;
  virtual int32_t CountCardsOfMonth(const std::vector<int32_t>& list, int32_t month) const = 0;
  virtual int32_t CardIdOfWidget(int32_t index) const = 0;
  virtual int32_t IsRobotSeat(int32_t seat) const = 0;
  // The seat's panel slot (0 lower, 1 upper, -1 none).
  virtual int32_t SideOfSeat(int32_t seat) = 0;
  virtual int32_t PlaySceneEffect(int32_t id) = 0;
  virtual int32_t StopSceneEffect(int32_t id) = 0;
  // The hold-alert mark of hand slot 0..9 (null outside or before the build).
  virtual GVWnd* HoldAlertHint(int32_t handSlot) = 0;

  // ---- Panel services: the records, seat queries and host-facing calls of the
  // mission, bijou, observer, play-count, ranking and anti-leave panels ----
  // Message-box kinds and answers (the game window's box).
  static constexpr int32_t kMsgBoxOk = 0;
  // Effects the panels play (ids of the scene's effect table).
  static constexpr int32_t kEffectClick = 19;
  static constexpr int32_t kEffectMissionNotice = 24;
  static constexpr int32_t kEffectMissionCard = 35;
  // This client's own user record and the room record as the scene keeps them.
  virtual const RCUser& MyUserRecord() const = 0;
  virtual const RCRoomData& RoomRecord() const = 0;
  // Seat 0 or 1; another index throws std::out_of_range.
  virtual const PlayerInfo& SeatPlayer(int32_t seat) const = 0;
  virtual int32_t AnySeatWithoutUser() const = 0;
  virtual int32_t AnyRobotPlayer() const = 0;
  // The games played in this room (the only count of played games the scene keeps).
  virtual int32_t GamesPlayedCount() const = 0;
  virtual int32_t AntiLeaveFlag() const = 0;
  virtual int32_t CurrentObserveState() const = 0;
  // The seat request (the scene's play sender); 1 when it went out.
  virtual int32_t RequestSeat(int32_t flag) = 0;
  virtual int32_t PlayPanelEffect(int32_t id) = 0;
  // The game window's modal box: 1 OK/Yes, 2 No, -1 when it cannot be shown.
  virtual int32_t ShowMsgBox(const std::string& body, int32_t type, uint32_t autoCloseMs, const std::string& heading,
                             COLORREF headingColour) = 0;
  // The promotion manager's banners shown (1) or hidden (0); that call's result.
  virtual int32_t ShowPromotionBanner(int32_t show) = 0;
  // A card widget the scene made (CreateHTWnd) takes a card, faced by it; an id outside
  // the fifty leaves it holding none. CardOfWidget: the card it holds.
  virtual void SetCardOfWidget(GVDDSWnd* card, int32_t id) = 0;
  virtual int32_t CardOfWidget(const GVDDSWnd* card) const = 0;

  // ---- the decision prompt (CVNotifyWnd): its answers and its card images ----
  // The scene's answer senders; each checks its own turn phase and seat.
  enum class PromptSender : int32_t { kFourOfMonth, kPickFloorCard, kShake, kGoOrStop, kNineTen, kStakeVote };
  // The answer `value` (yes 1 / no 0, or a card id) through the sender, not timed out;
  // 1 when the command went out.
  virtual int32_t SendPromptAnswer(PromptSender sender, int32_t value) = 0;
  // Closes the prompt after an answer (the scene's own hide, with its sound).
  virtual void HideNotifyPrompt() = 0;
  // A card widget from CreateHTWnd shows card `id` (0..49) face up; any other id puts
  // it back at its home point as no card, on its back.
  virtual void ShowCardOnWidget(GVDDSWnd* card, int32_t id) = 0;
  // ---- result and item panels ----
  // The player's option values under the options key: 1 with the 4 bytes of a DWORD
  // read; 1 when the DWORD was written.
  virtual int32_t ReadOptionDword(const char* name, uint32_t* out) const = 0;
  virtual int32_t SaveOptionDword(const char* name, uint32_t value) = 0;
  // GC_RESULT_DONE (sent only while seated), and the result panel closed with the
  // ranking-point panel.
  virtual int32_t SendResultDone() = 0;
  virtual void CloseResultWnd() = 0;
  virtual int32_t PlayVoice(int32_t id, int32_t seat) = 0;
  // Widgets of the table the two panels place and show (null before the build): the
  // win-money-limit mark, the item-chance icon and its caption.
  virtual GVWnd* WinMoneyLimitMark() = 0;
  virtual GVPSPWnd* ItemChanceIcon() = 0;
  virtual GVTextWnd* ItemChanceCaption() = 0;
  // ---- the option panel's calls: the voice preview, the volume heard at once, and the
  // choices applied and saved on OK ----
  virtual int32_t PreviewSceneVoice(int32_t id, int32_t voiceSet, int32_t seat) = 0;
  virtual void SetSceneEffectVolume(int32_t volume) = 0;
  virtual void ApplyUserOptions() = 0;
  // ---- VIP helper popup services: the folder its pictures live in, the options' key
  // its stored switch lives under, the portal's web pages and the "vip" top-bar button ----
  virtual const std::string& SceneImageFolder() const = 0;
  // A 4-byte REG_DWORD under the options' key and `subKey`; 1 when read.
  virtual int32_t ReadSettingDword(const std::string& subKey, const char* name, uint32_t* out) const = 0;
  virtual int32_t SaveSettingDword(const std::string& subKey, const char* name, uint32_t value) = 0;
  // The address of a page on the portal's web host.
  virtual std::string PortalPageAddress(const std::string& page) const = 0;
  // The host's "vip" button shown enabled, with the click effect.
  virtual void ShowVipButton() = 0;

 protected:
  ~IPanelScene() = default;
};
