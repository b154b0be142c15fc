// The incoming host queue and its dispatcher: messages wait in arrival order and are
// handled one at a time, each to its end, by the handler of their type. A handler may
// pump messages in nested waits; the busy flag keeps those from dispatching.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <list>

#include "host/HostMessage.h"

// What the queue asks of the object it serves (the scene).
class IHostQueueSite {
 public:
  // Whether a message may start now: before the scene build the handlers would meet
  // half-made widgets, and during a teardown nothing may start.
  virtual bool MayDispatchHostMessage() const = 0;
  // Just before a handler runs (the scene asks for a full redraw).
  virtual void OnHostMessageDispatching() = 0;
  // After a handler has returned and its message is destroyed.
  virtual void OnHostMessageDispatched() {}

 protected:
  ~IHostQueueSite() = default;
};

class CHostQueue {
 public:
  // A handler gets the message it handles; the dispatcher owns it for the call.
  using Handler = std::function<void(HostMessage&)>;
  using HandlerTable = std::array<Handler, HM_TYPE_LIMIT>;

  explicit CHostQueue(IHostQueueSite& site, HandlerTable handlers = {});
  CHostQueue(const CHostQueue&) = delete;
  CHostQueue& operator=(const CHostQueue&) = delete;

  // False for 0, 55, 58, 60 and 64 on: those are dropped unhandled.
  static bool HasHandlerSlot(uint32_t type);
  // Installs the handler of a type; false (nothing installed) where there is no slot.
  bool SetHandler(uint32_t type, Handler handler);
  void Enqueue(HostMessage&& msg);
  // Dispatches the head when the site allows it and no handler runs: 1 when one was
  // handled.
  int32_t DispatchNextIfIdle();
  // Takes the head out of the queue, handles it with busy set, destroys it and clears
  // busy. Nothing when the queue is empty.
  void DispatchHead();
  // Destroys every queued message unhandled; a message being handled stays with its
  // handler.
  void Drop();
  bool IsBusy() const { return busy_ != 0; }
  uint32_t QueuedCount() const { return queuedCount_; }

 private:
  IHostQueueSite& site_;
  std::list<HostMessage> queue_;
  uint32_t queuedCount_ = 0;
  int32_t busy_ = 0;
  HandlerTable handlers_;
};
