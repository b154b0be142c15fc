// The host queue: first in, first out, one handler at a time.
#include "scene/CHostQueue.h"

#include <utility>

namespace host_queue {

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

}  // namespace host_queue

CHostQueue::CHostQueue(IHostQueueSite& site, HandlerTable handlers) : site_(site), handlers_(std::move(handlers)) {
  for (uint32_t type = 0; type < HM_TYPE_LIMIT; ++type) {
    if (!HasHandlerSlot(type)) handlers_[type] = nullptr;
  }
}

bool CHostQueue::HasHandlerSlot(uint32_t type) {
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

bool CHostQueue::SetHandler(uint32_t type, Handler handler) {
  if (!HasHandlerSlot(type)) return false;
  handlers_[type] = std::move(handler);
  return true;
}

void CHostQueue::Enqueue(HostMessage&& msg) {
  queue_.push_back(std::move(msg));
  ++queuedCount_;
}

int32_t CHostQueue::DispatchNextIfIdle() {
  if (!site_.MayDispatchHostMessage() || busy_ || queue_.empty()) return 0;
  DispatchHead();
  return 1;
}

void CHostQueue::DispatchHead() {
  if (queue_.empty()) return;
  {
    // The message leaves the queue before its handler runs: a reset inside the
    // handler's nested waits then drops only the messages still waiting, never the
    // record in hand, and nothing else can be popped in its place.
    HostMessage msg = std::move(queue_.front());
    queue_.pop_front();
    --queuedCount_;
    host_queue::BusyScope busy(busy_);
    site_.OnHostMessageDispatching();
    // A copy: the handler may install another in its own slot while it runs.
    const Handler handler = HasHandlerSlot(msg.type) ? handlers_[msg.type] : nullptr;
    if (handler) {
      try {
        handler(msg);
      } catch (...) {
        // A handler that gives up (a seat index out of range) ends that message only;
        // the window procedure above must not see it.
      }
    }
    DestroyHostMessage(msg);
  }
  site_.OnHostMessageDispatched();
}

void CHostQueue::Drop() {
  queue_.clear();
  queuedCount_ = 0;
}
