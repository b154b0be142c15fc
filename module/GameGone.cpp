#include "module/GameGone.h"

#include <new>

#include "module/ServingWait.h"
#include "plat/handle.h"

std::shared_ptr<GameGone> GameGone::Make() {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!event) return nullptr;
  GameGone* gone = new (std::nothrow) GameGone(event);
  if (!gone) {
    CloseHandle(event);
    return nullptr;
  }
  return std::shared_ptr<GameGone>(gone);
}

GameGone::~GameGone() { CloseHandle(event_); }

void GameGone::Set() noexcept { SetEvent(event_); }

void GameGone::WaitLeft() const {
  WaitServingSends(event_, INFINITE);
  if (paceWindow_ && IsWindow(paceWindow_)) SendMessageA(paceWindow_, WM_NULL, 0, 0);
}

namespace {

// The holder's share and the library reference it gives back.
struct Hold {
  std::shared_ptr<GameGone> gone;
  HMODULE module;
};

}  // namespace

bool GameGone::HoldLibraryUntilLeft(const std::shared_ptr<GameGone>& gone) {
  static const char anchor = 0;
  HMODULE self = nullptr;
  if (!gone || !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, &anchor, &self)) return false;
  Hold* hold = new (std::nothrow) Hold{gone, self};
  HANDLE thread = hold ? CreateThread(nullptr, 0, &GameGone::HoldProc, hold, 0, nullptr) : nullptr;
  if (!thread) {
    delete hold;
    FreeLibrary(self);
    return false;
  }
  CloseHandle(thread);
  return true;
}

DWORD WINAPI GameGone::HoldProc(LPVOID share) {
  Hold* hold = static_cast<Hold*>(share);
  const HMODULE module = hold->module;
  hold->gone->WaitLeft();
  delete hold;
  FreeLibraryAndExitThread(module, 0);
}
