// The scene's incoming queue: host messages wait here in arrival order and are
// handled one at a time, each to its end, by the handler of its type. The handler
// may pump messages in nested waits; the busy flag keeps those from dispatching.
#include <utility>

#include "host/CHostLink.h"
#include "host/Dorvik2Messages.h"
#include "scene/CDorvik2VWS.h"

namespace scene_queue {

constexpr const char* kRoomTitleBannedNotice = "[폴리스]`1111` 불건전 방제로 방이 삭제됩니다`0110`";
constexpr int32_t kLeaveTries = 3;
constexpr uint32_t kLeftPlayState = 3;
constexpr LPARAM kCloseReasonLeft = 1;

// Clears the busy flag however the handler ends.
class BusyScope {
 public:
  explicit BusyScope(int32_t& busy) : busy_(busy) { busy_ = 1; }
  ~BusyScope() { busy_ = 0; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  int32_t& busy_;
};

// The slot of a type: its handler with the message's record, skipped when the
// message holds no record of the type's kind.
template <uint32_t Code, void (CDorvik2VWS::*Handler)(HostRecordOf_t<Code>&)>
void CallSceneHandler(CDorvik2VWS& scene, HostMessage& msg) {
  if (auto* record = msg.Get<HostRecordOf_t<Code>>()) (scene.*Handler)(*record);
}

void CallVipManager(CDorvik2VWS& scene, HostMessage& msg) {
  if (auto* record = msg.Get<VipStateMsg>()) scene.VipManager().OnVipState(*record);
}

}  // namespace scene_queue

bool CDorvik2VWS::HasHandlerSlot(uint32_t type) {
  switch (type) {
    case HM_NONE:
    case HM_UNHANDLED_55:
    case HM_UNHANDLED_58:
    case HM_UNHANDLED_60:
      return false;
    default:
      return type < HM_TYPE_LIMIT;
  }
}

std::array<CDorvik2VWS::HostMessageHandler, HM_TYPE_LIMIT> CDorvik2VWS::DefaultHostMessageHandlers() {
  std::array<HostMessageHandler, HM_TYPE_LIMIT> table{};
#define DORVIK_SCENE_SLOT(code, name) table[code] = &scene_queue::CallSceneHandler<code, &CDorvik2VWS::name>;
  DORVIK_SCENE_HANDLERS(DORVIK_SCENE_SLOT)
#undef DORVIK_SCENE_SLOT
  table[HM_VIP_STATE] = &scene_queue::CallVipManager;
  return table;
}

// The one message the scene handles itself: it has no fields, only a notice.
void CDorvik2VWS::OnRoomTitleBanned(NoFieldsMsg&) {
  CHostLink::Global().ShowMarkupText(scene_queue::kRoomTitleBannedNotice);
}

bool CDorvik2VWS::SetHostMessageHandler(uint32_t type, HostMessageHandler handler) {
  if (!HasHandlerSlot(type)) return false;
  handlers_[type] = std::move(handler);
  return true;
}

void CDorvik2VWS::EnqueueHostMessage(HostMessage&& msg) {
  queue_.push_back(std::move(msg));
  ++queuedCount_;
}

int32_t CDorvik2VWS::DispatchNextIfIdle() {
  // Before the build the handlers would meet half-made widgets, and may run on
  // another thread's half: the kick after the build starts the queue.
  if (!IsReady() || busy_ || closing_ || queue_.empty()) return 0;
  DispatchHostMessage();
  return 1;
}

void CDorvik2VWS::DispatchHostMessage() {
  if (queue_.empty()) return;
  {
    // The message leaves the queue before its handler runs: a reset inside the
    // handler's nested waits then drops only the messages still waiting, never the
    // record in hand, and nothing else can be popped in its place.
    HostMessage msg = std::move(queue_.front());
    queue_.pop_front();
    --queuedCount_;
    scene_queue::BusyScope busy(busy_);
    SetFullRedraw();
    if (HasHandlerSlot(msg.type) && handlers_[msg.type]) {
      try {
        handlers_[msg.type](*this, msg);
      } catch (...) {
        // A handler that gives up (a seat index out of range) ends that message only;
        // the window procedure above must not see it.
      }
    }
    DestroyHostMessage(msg);
  }
  // Only a handler can start a teardown here, and it has returned: the last step.
  if (closing_ && owner_) owner_->OnClosedSceneIdle();
}

void CDorvik2VWS::DropQueuedMessages() {
  queue_.clear();
  queuedCount_ = 0;
}

void CDorvik2VWS::RequestExit() {
  if (IsSeated(RCUser::kNoUser)) {
    for (int32_t attempt = 0; attempt < scene_queue::kLeaveTries; ++attempt) {
      if (SendLeave()) return;
    }
  }
  model_.sceneMode = kModeWaiting;
  CHostLink::Global().SetPlayState(scene_queue::kLeftPlayState);
  if (owner_) owner_->PostToHostWindow(scene_queue::kCloseReasonLeft);
}
