// The messages the scripts send, their members by name, and the values' reader.
#include "testhost/MessageFields.h"

#include <charconv>
#include <functional>
#include <list>
#include <map>
#include <type_traits>

#include "host/IXBuf.h"
#include "host/HostMessage.h"

namespace testhost {

namespace {

bool ReadNumber(std::string_view text, int64_t& out) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, out);
  return r.ec == std::errc{} && r.ptr == end;
}

bool ReadList(std::string_view text, std::vector<int64_t>& out) {
  if (text.size() < 2 || text.front() != '[' || text.back() != ']') return false;
  text = text.substr(1, text.size() - 2);
  out.clear();
  while (!text.empty()) {
    const size_t comma = text.find(',');
    int64_t v = 0;
    if (!ReadNumber(text.substr(0, comma), v)) return text.find_first_not_of(' ') == std::string_view::npos;
    out.push_back(v);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return true;
}

template <class T>
bool Assign(T& into, const std::string& value) {
  if constexpr (std::is_integral_v<T>) {
    int64_t v = 0;
    if (!ReadNumber(value, v)) return false;
    into = static_cast<T>(v);
    return true;
  } else if constexpr (std::is_same_v<T, std::string>) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return false;
    into = value.substr(1, value.size() - 2);
    return true;
  } else if constexpr (requires { into.at(0); T::size(); }) {
    // A fixed array: one value per seat, every one given.
    std::vector<int64_t> items;
    if (!ReadList(value, items) || items.size() != T::size()) return false;
    for (size_t i = 0; i < items.size(); ++i) into.at(i) = static_cast<std::remove_reference_t<decltype(into.at(0))>>(items[i]);
    return true;
  } else {
    std::vector<int64_t> items;
    if (!ReadList(value, items)) return false;
    into.clear();
    for (int64_t v : items) into.push_back(static_cast<typename T::value_type>(v));
    return true;
  }
}

struct MessageKind {
  uint32_t code;
  std::function<std::unique_ptr<HostRecord>()> make;
  // Sets one member of the record by name; false when the name or value is unknown.
  std::function<int(HostRecord&, const std::string&, const std::string&)> set;
};

// -1 unknown name, 0 unreadable value, 1 set.
template <class T>
using Setters = std::map<std::string, std::function<bool(T&, const std::string&)>>;

template <class T>
MessageKind Kind(uint32_t code, Setters<T> setters) {
  return {code, [] { return std::make_unique<HostRecordT<T>>(); },
          [setters = std::move(setters)](HostRecord& r, const std::string& name, const std::string& value) {
            const auto it = setters.find(name);
            if (it == setters.end()) return -1;
            return it->second(static_cast<HostRecordT<T>&>(r).value, value) ? 1 : 0;
          }};
}

#define FIELD(Record, path) \
  { #path, [](Record& r, const std::string& v) { return Assign(r.path, v); } }

const std::map<std::string, MessageKind>& Kinds() {
  static const std::map<std::string, MessageKind> kinds = {
      {"HM_ROOM_ENTER", Kind<RoomEnterMsg>(HM_ROOM_ENTER, {FIELD(RoomEnterMsg, clientVersion),
                                                           FIELD(RoomEnterMsg, myUser.userNo),
                                                           FIELD(RoomEnterMsg, ownerUserNo),
                                                           FIELD(RoomEnterMsg, entryKind),
                                                           FIELD(RoomEnterMsg, room.sceneMode),
                                                           FIELD(RoomEnterMsg, room.roomState),
                                                           FIELD(RoomEnterMsg, room.speedKind),
                                                           FIELD(RoomEnterMsg, room.antiLeaveLevel),
                                                           FIELD(RoomEnterMsg, noticeText),
                                                           FIELD(RoomEnterMsg, stakePerPoint),
                                                           FIELD(RoomEnterMsg, entryUserNo)})},
      {"HM_JOIN_GAME", Kind<JoinGameMsg>(HM_JOIN_GAME, {FIELD(JoinGameMsg, userNo), FIELD(JoinGameMsg, result),
                                                        FIELD(JoinGameMsg, ownerUserNo), FIELD(JoinGameMsg, seat),
                                                        FIELD(JoinGameMsg, antiLeave),
                                                        FIELD(JoinGameMsg, player.userNo),
                                                        FIELD(JoinGameMsg, money), FIELD(JoinGameMsg, promoStart)})},
      {"HM_NOTICE_TEXT", Kind<NoticeTextMsg>(HM_NOTICE_TEXT, {FIELD(NoticeTextMsg, text)})},
      {"HM_BACK_TO_WAITING",
       Kind<WaitingStateMsg>(HM_BACK_TO_WAITING,
                             {FIELD(WaitingStateMsg, userNo), FIELD(WaitingStateMsg, startBlocked),
                              FIELD(WaitingStateMsg, showVote), FIELD(WaitingStateMsg, stakePerPoint),
                              FIELD(WaitingStateMsg, antiLeave)})},
      {"HM_SUN_SELECT", Kind<SunSelectMsg>(HM_SUN_SELECT, {FIELD(SunSelectMsg, pickCount)})},
      {"HM_SUN_PICK", Kind<SunPickMsg>(HM_SUN_PICK, {FIELD(SunPickMsg, userNo), FIELD(SunPickMsg, pickSlot),
                                                     FIELD(SunPickMsg, cardId)})},
      {"HM_SUN_DECIDED", Kind<SunDecidedMsg>(HM_SUN_DECIDED, {FIELD(SunDecidedMsg, userNo)})},
      {"HM_DEAL", Kind<DealMsg>(HM_DEAL, {FIELD(DealMsg, userNo), FIELD(DealMsg, handCards),
                                          FIELD(DealMsg, floorCards)})},
      {"HM_TURN", Kind<TurnMsg>(HM_TURN, {FIELD(TurnMsg, userNo), FIELD(TurnMsg, turnValue)})},
      {"HM_BOMB", Kind<BombMsg>(HM_BOMB, {FIELD(BombMsg, userNo), FIELD(BombMsg, cards)})},
      {"HM_LAY_CARDS", Kind<LayCardsMsg>(HM_LAY_CARDS, {FIELD(LayCardsMsg, userNo), FIELD(LayCardsMsg, bonusFlag),
                                                        FIELD(LayCardsMsg, cards), FIELD(LayCardsMsg, seatValue)})},
      {"HM_CAPTURE", Kind<CaptureMsg>(HM_CAPTURE, {FIELD(CaptureMsg, userNo), FIELD(CaptureMsg, kind),
                                                   FIELD(CaptureMsg, floorCards)})},
      {"HM_SCORE_UPDATE",
       Kind<ScoreUpdateMsg>(HM_SCORE_UPDATE, {FIELD(ScoreUpdateMsg, points), FIELD(ScoreUpdateMsg, nineTenFlag)})},
      {"HM_ASK_GO_OR_STOP", Kind<AskGoOrStopMsg>(HM_ASK_GO_OR_STOP, {FIELD(AskGoOrStopMsg, userNo),
                                                                     FIELD(AskGoOrStopMsg, points),
                                                                     FIELD(AskGoOrStopMsg, nineTenFlag)})},
      {"HM_STOP_DECLARED", Kind<StopMsg>(HM_STOP_DECLARED, {FIELD(StopMsg, userNo), FIELD(StopMsg, goCount),
                                                            FIELD(StopMsg, goFlag), FIELD(StopMsg, nineTenFlag),
                                                            FIELD(StopMsg, f5)})},
      {"HM_GAME_RESULT",
       Kind<GameResultMsg>(HM_GAME_RESULT, {FIELD(GameResultMsg, endType), FIELD(GameResultMsg, winnerUser),
                                            FIELD(GameResultMsg, threshold1), FIELD(GameResultMsg, threshold2),
                                            FIELD(GameResultMsg, money), FIELD(GameResultMsg, moneyChange),
                                            FIELD(GameResultMsg, itemOfferAmount),
                                            FIELD(GameResultMsg, winInfo.winnerSeat),
                                            FIELD(GameResultMsg, winInfo.totalPoints),
                                            FIELD(GameResultMsg, winInfo.goPoints),
                                            FIELD(GameResultMsg, winInfo.goExp),
                                            FIELD(GameResultMsg, winInfo.shakeExp)})},
      {"HM_ASK_SHAKE", Kind<AskShakeMsg>(HM_ASK_SHAKE, {FIELD(AskShakeMsg, userNo)})},
      {"HM_SHAKE", Kind<ShakeMsg>(HM_SHAKE, {FIELD(ShakeMsg, userNo), FIELD(ShakeMsg, shakeCount),
                                             FIELD(ShakeMsg, cards)})},
      {"HM_ROBOT_SEAT", Kind<RobotSeatMsg>(HM_ROBOT_SEAT, {FIELD(RobotSeatMsg, robotUserNo),
                                                           FIELD(RobotSeatMsg, count), FIELD(RobotSeatMsg, joins),
                                                           FIELD(RobotSeatMsg, money)})},
      {"HM_SETTLEMENT",
       Kind<SettlementMsg>(HM_SETTLEMENT, {FIELD(SettlementMsg, resultCode), FIELD(SettlementMsg, winnerUser),
                                           FIELD(SettlementMsg, money), FIELD(SettlementMsg, firstSeatUser),
                                           FIELD(SettlementMsg, endedNormally)})},
  };
  return kinds;
}

#undef FIELD

}  // namespace

bool HostMessageBytes(const std::string& type, const std::vector<FieldValue>& fields, std::vector<uint8_t>& bytes,
                      std::string& error) {
  const auto kind = Kinds().find(type);
  if (kind == Kinds().end()) {
    error = "no message " + type + " in the runner's table";
    return false;
  }
  HostMessage msg;
  msg.type = kind->second.code;
  msg.record = kind->second.make();
  for (const FieldValue& f : fields) {
    const int r = kind->second.set(*msg.record, f.name, f.value);
    if (r != 1) {
      error = (r < 0 ? "no field " : "unreadable value for ") + f.name + " in " + type;
      return false;
    }
  }
  IXBuf* buf = CreateXBuf(nullptr);
  const bool ok = buf != nullptr && WriteHostMessage(msg, buf) == 1;
  if (ok) bytes.assign(buf->GetData(), buf->GetData() + buf->GetLength());
  if (buf) buf->Release();
  if (!ok) error = "cannot write " + type;
  return ok;
}

}  // namespace testhost
