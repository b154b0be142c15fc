// The loader: the scene build on the calling thread or on the loader thread, the
// sound set-up on the loader thread, and the loader's end at shut-down, which asks,
// waits and never kills (a killed thread would leave the scene or a lock behind). The
// thread holds the library while it runs: a host may free it as soon as
// DestroyGameWnd has returned, and the loader may still be on its way out.
#include <new>

#include "module/CDorvik2Wnd.h"
#include "host/Dorvik2Messages.h"
#include "module/GameGone.h"
#include "module/ServingWait.h"
#include "plat/handle.h"
#include "plat/threads.h"
#include "scene/CDorvik2VWS.h"

int32_t CDorvik2Wnd::RunSceneBuild() {
  // On the loader thread too, the build's pictures are this game's.
  const XResScreenScope screen(handed_);
  try {
    return scene_->BuildSceneUI() ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

int32_t CDorvik2Wnd::StartLoader(int32_t loadInThread) {
  if (!scene_) return 0;
  loadInThread_ = loadInThread;
  // Taken before the thread exists: the teardown detaches and clears the fields, while
  // the loader keeps posting to these (a post to a window gone meanwhile is dropped).
  loaderGameWnd_ = Handle();
  loaderHostWnd_ = hostWnd_;
  if (!loadInThread) {
    // The host may have ended the game inside the build (its load-failed event).
    if (!RunSceneBuild()) return 0;
    KickQueue();
  }
  // Ended inside the build (its load-failed event): no loader for an ended game.
  {
    XBufLockGuard hold(lifeLock_);
    if (life_ != Life::kLive) return 0;
  }

  // The library's reference for the thread, found from an address of this code.
  static const char anchor = 0;
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, &anchor, &self)) self = nullptr;
  DWORD threadId = 0;
  HANDLE thread = self ? CreateThread(nullptr, 0, &CDorvik2Wnd::LoaderThreadProc, this, CREATE_SUSPENDED, &threadId)
                       : nullptr;
  if (!thread) {
    if (self) FreeLibrary(self);
    // Threaded, nothing would ever be built while InitGameWnd reported success.
    return loadInThread ? 0 : 1;
  }
  loaderModule_ = self;
  loaderThread_ = thread;
  SetThreadPriority(thread, THREAD_PRIORITY_NORMAL);
  // The thread's frame starts before it runs, so that an end asked right now waits for
  // it instead of deleting the scene under a thread that has not started yet.
  {
    XBufLockGuard hold(lifeLock_);
    if (gone_) gone_->SetLoaderThread(threadId);
    ++frames_;
  }
  loaderRunning_.store(1, std::memory_order_release);
  ResumeThread(thread);
  return 1;
}

DWORD WINAPI CDorvik2Wnd::LoaderThreadProc(LPVOID param) {
  auto* self = static_cast<CDorvik2Wnd*>(param);
  try {
    if (self->loadInThread_) {
      const int32_t built = self->RunSceneBuild();
      if (built) self->KickQueue();
      self->PostFromLoader(self->loaderHostWnd_, WM_GAME_LOADED, static_cast<WPARAM>(built));
    }
    if (!self->LoaderCancelRequested()) self->scene_->RegisterEffects();
  } catch (...) {
    // Nothing may leave a thread procedure; a failed sound set-up leaves the game silent.
  }
  EndLoader(self);
}

void CDorvik2Wnd::EndLoader(CDorvik2Wnd* self) {
  const HMODULE module = self->loaderModule_;
  // Taken before the frame ends: the object may be deleted from there on.
  std::shared_ptr<GameGone> gone = self->gone_;
  bool askedHere = false;
  {
    XBufLockGuard hold(self->lifeLock_);
    self->loaderRunning_.store(0, std::memory_order_release);
    askedHere = self->loaderAskedEnd_;
  }
  self->Finish();
  // This thread asked for the end, and the host may have freed the library as soon as
  // DestroyGameWnd returned here, while the window's thread may still be unwinding the
  // game's frames: the library stays until they have. Held by a thread of its own, so
  // that this one ends now and the stop's join of it on the window's thread returns.
  if (askedHere) GameGone::HoldLibraryUntilLeft(gone);
  gone.reset();
  FreeLibraryAndExitThread(module, 0);
}

void CDorvik2Wnd::KickQueue() {
  // Posted, not called: the loader thread must not run handlers, and the window
  // thread may be inside InitGameWnd still.
  PostFromLoader(loaderGameWnd_, WM_GAME_DISPATCH, 0);
}

BOOL CDorvik2Wnd::PostFromLoader(HWND target, UINT message, WPARAM wParam) {
  XBufLockGuard gate(lifeLock_);
  if (LoaderCancelRequested()) return 0;
  // Towards the host as the game, so that the take-back knows the post for its own.
  if (target == loaderHostWnd_) return link_.Post(message, wParam, 0);
  return PostMessageA(target, message, wParam, 0);
}

void CDorvik2Wnd::RequestLoaderStop() {
  // Under the life lock: once this returns, no post of the loader is under way.
  XBufLockGuard gate(lifeLock_);
  cancel_.store(1, std::memory_order_release);
}

bool CDorvik2Wnd::StopLoader() {
  if (!loaderThread_) return true;
  RequestLoaderStop();
  return JoinLoader(kLoaderStopWaitMs);
}

bool CDorvik2Wnd::JoinLoader(DWORD milliseconds) {
  if (!loaderThread_) return true;
  // A thread still running keeps its handle here and runs to its end. Served meanwhile:
  // what the host sends to this thread, the loader's own calls of the host among them.
  if (WaitServingSends(loaderThread_, milliseconds) != WAIT_OBJECT_0) return false;
  CloseHandle(loaderThread_);
  loaderThread_ = nullptr;
  loaderRunning_.store(0, std::memory_order_release);
  return true;
}
