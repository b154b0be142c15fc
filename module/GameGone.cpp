#include "module/GameGone.h"

#include <new>

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
  WaitForSingleObject(event_, INFINITE);
  if (paceWindow_ && IsWindow(paceWindow_)) SendMessageA(paceWindow_, WM_NULL, 0, 0);
}
