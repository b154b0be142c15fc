#include "module/GameGone.h"

#include <new>

#include "module/LiveClients.h"
#include "module/ServingWait.h"
#include "plat/handle.h"

namespace {
// A class of the system's: its procedure is none of the module's code.
constexpr const char* kPaceClass = "STATIC";
}  // namespace

std::shared_ptr<GameGone> GameGone::Make() {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!event) return nullptr;
  GameGone* gone = new (std::nothrow) GameGone(event);
  if (!gone) {
    CloseHandle(event);
    return nullptr;
  }
  try {
    return std::shared_ptr<GameGone>(gone);
  } catch (...) {
    return nullptr;
  }
}

GameGone::~GameGone() {
  if (const HWND pace = pace_.load(); pace && IsWindow(pace)) {
    if (windowThread_ == GetCurrentThreadId()) {
      DestroyWindow(pace);
    } else {
      PostMessageA(pace, WM_CLOSE, 0, 0);
    }
  }
  CloseHandle(event_);
}

bool GameGone::MakePace() {
  if (pace_) return true;
  // Hidden and ownerless: nothing of the host's is its parent or owner.
  const HWND pace = CreateWindowExA(0, kPaceClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (!pace) return false;
  windowThread_ = GetCurrentThreadId();
  pace_ = pace;
  return true;
}

void GameGone::Set() noexcept { SetEvent(event_); }

void GameGone::WaitGone() const { WaitServingSends(event_, INFINITE); }

bool GameGone::PaceElsewhere() const {
  const HWND pace = pace_.load();
  return pace && windowThread_ != GetCurrentThreadId() && IsWindow(pace);
}

void GameGone::WaitLeft() const {
  WaitGone();
  // A send waits serving what is sent to the caller. A pace already gone went with a
  // close served in the window thread's loop, or with the thread.
  if (PaceElsewhere()) SendMessageA(pace_.load(), WM_CLOSE, 0, 0);
}

void GameGone::BeforeAnswer(const std::shared_ptr<GameGone>& gone) {
  if (!gone) return;
  if (gone->OnWindowThread() || gone->OnLoaderThread()) return;
  if (!live_clients::ThreadInside()) {
    gone->WaitGone();
    if (!gone->PaceElsewhere()) return;
  }
  HoldLibraryUntilLeft(gone);
}

namespace {

// The holder's share and the library reference it gives back.
struct Hold {
  std::shared_ptr<GameGone> gone;
  HMODULE module;
};

}  // namespace

void GameGone::HoldLibraryUntilLeft(const std::shared_ptr<GameGone>& gone) {
  if (!gone) return;
  static const char anchor = 0;
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, &anchor, &self)) {
    gone->WaitLeft();
    return;
  }
  Hold* hold = new (std::nothrow) Hold{gone, self};
  HANDLE thread = hold ? CreateThread(nullptr, 0, &GameGone::HoldProc, hold, 0, nullptr) : nullptr;
  if (thread) {
    CloseHandle(thread);
    return;
  }
  delete hold;
  FreeLibrary(self);
  gone->WaitLeft();
}

DWORD WINAPI GameGone::HoldProc(LPVOID share) {
  Hold* hold = static_cast<Hold*>(share);
  const HMODULE module = hold->module;
  hold->gone->WaitLeft();
  delete hold;
  FreeLibraryAndExitThread(module, 0);
}
