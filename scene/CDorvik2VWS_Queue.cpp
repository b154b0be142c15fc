// The scene's side of the host queue: its handler of each message type, the gate the
// queue asks before a dispatch, and the teardown's last step once a handler returned.
#include <utility>

#include "host/CHostLink.h"
#include "scene/CDorvik2VWS.h"

namespace scene_queue {

constexpr const char* kRoomTitleBannedNotice = "[폴리스]`1111` 불건전 방제로 방이 삭제됩니다`0110`";

// The slot of a type: the scene's handler with the message's record, skipped when the
// message holds no record of the type's kind.
template <uint32_t Code, void (CDorvik2VWS::*Handler)(HostRecordOf_t<Code>&)>
CHostQueue::Handler SceneSlot(CDorvik2VWS& scene) {
  return [&scene](HostMessage& msg) {
    if (auto* record = msg.Get<HostRecordOf_t<Code>>()) (scene.*Handler)(*record);
  };
}

}  // namespace scene_queue

CHostQueue::HandlerTable CDorvik2VWS::SceneHostMessageHandlers() {
  CHostQueue::HandlerTable table{};
#define DORVIK_SCENE_SLOT(code, name) table[code] = scene_queue::SceneSlot<code, &CDorvik2VWS::name>(*this);
  DORVIK_SCENE_HANDLERS(DORVIK_SCENE_SLOT)
#undef DORVIK_SCENE_SLOT
  table[HM_VIP_STATE] = [this](HostMessage& msg) {
    if (auto* record = msg.Get<VipStateMsg>()) vipMgr_.OnVipState(*record);
  };
  return table;
}

// The one message the scene handles itself: it has no fields, only a notice.
void CDorvik2VWS::OnRoomTitleBanned(NoFieldsMsg&) {
  HostLink().ShowMarkupText(scene_queue::kRoomTitleBannedNotice);
}

bool CDorvik2VWS::SetHostMessageHandler(uint32_t type, HostMessageHandler handler) {
  if (!handler) return hostQueue_.SetHandler(type, nullptr);
  return hostQueue_.SetHandler(type, [this, handler = std::move(handler)](HostMessage& msg) { handler(*this, msg); });
}

