#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

#include "plat/error.h"
#include "plat/handle.h"
#include "plat/threads.h"

namespace kernel_test {

struct Job {
  std::function<DWORD()> body;
};

inline DWORD RunJob(LPVOID parameter) {
  std::unique_ptr<Job> job(static_cast<Job*>(parameter));
  return job->body();
}

// The job must eventually run (a discarded suspended thread would leak it).
inline HANDLE StartThread(std::function<DWORD()> body, DWORD flags = 0, DWORD* id = nullptr) {
  auto* job = new Job{std::move(body)};
  HANDLE h = CreateThread(nullptr, 0, RunJob, job, flags, id);
  if (!h) delete job;
  return h;
}

class Event {
 public:
  explicit Event(bool manualReset = true, bool initial = false)
      : h_(CreateEventA(nullptr, manualReset, initial, nullptr)) {}
  ~Event() { CloseHandle(h_); }
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  HANDLE get() const { return h_; }
  void Set() const { SetEvent(h_); }

 private:
  HANDLE h_;
};

// Generous upper bound for things that happen "soon" on another thread.
constexpr DWORD kSoonMs = 5000;

// For the few states no handle signals (a detached thread really ending).
template <class Pred>
bool PollUntil(Pred pred) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSoonMs);
  while (!pred()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::yield();
  }
  return true;
}

// A call's result with the last error it left, so one expectation checks both.
template <class T>
std::pair<T, DWORD> AndError(T result) {
  return {result, GetLastError()};
}

}  // namespace kernel_test
