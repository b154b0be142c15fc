// The scene's incoming queue: host messages wait here in arrival order and are
// handled one at a time, each to its end, by the handler of its type. The handler
// may pump messages in nested waits; the busy flag keeps those from dispatching.
#include <utility>

#include "host/CHostLink.h"
#include "host/Dorvik2Messages.h"
#include "scene/CDorvik2VWS.h"

namespace {

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

}  // namespace

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
  // The only message the queue handles itself: it has no fields, only a notice.
  table[HM_ROOM_TITLE_BANNED] = [](CDorvik2VWS&, HostMessage&) {
    CHostLink::Global().ShowMarkupText(kRoomTitleBannedNotice);
  };
  return table;
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
  if (!IsReady() || busy_ || queue_.empty()) return 0;
  DispatchHostMessage();
  return 1;
}

void CDorvik2VWS::DispatchHostMessage() {
  if (queue_.empty()) return;
  // The message leaves the queue before its handler runs: a reset inside the
  // handler's nested waits then drops only the messages still waiting, never the
  // record in hand, and nothing else can be popped in its place.
  HostMessage msg = std::move(queue_.front());
  queue_.pop_front();
  --queuedCount_;
  BusyScope busy(busy_);
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

void CDorvik2VWS::ResetGameState() {
  RecordCall("ResetGameState");
  sceneMode_ = kModeNone;
  timerRunning_[kTickTimer] = 0;
  for (UINT_PTR id = kBlinkTimer; id <= kLastKilledTimer; ++id) timerRunning_[id] = 0;
  gamesPlayed_ = 0;
  autoPlay = 0;
  // Busy belongs to the dispatcher: it is set only while a handler runs, and that
  // handler's record is its own, not the queue's.
  queue_.clear();
  queuedCount_ = 0;
}

void CDorvik2VWS::RequestExit() {
  if (IsSeated(RCUser::kNoUser)) {
    for (int32_t attempt = 0; attempt < kLeaveTries; ++attempt) {
      if (SendLeave()) return;
    }
  }
  sceneMode_ = kModeWaiting;
  CHostLink::Global().SetPlayState(kLeftPlayState);
  if (owner_) owner_->PostToHostWindow(kCloseReasonLeft);
}
