// The "this game's object is gone" signal, and the pace that tells when the game's
// window thread is out of the module's code. It outlives the object: whoever must not
// answer or let the library go before then (a destroy on another thread, the loader
// that asked for the end, a thread of the module holding the library) keeps a share.
#pragma once

#include <atomic>
#include <memory>

#include "plat/module.h"
#include "plat/threads.h"
#include "plat/user.h"

class GameGone {
 public:
  // Null when the system has no event to give: a game cannot be made without one.
  static std::shared_ptr<GameGone> Make();
  // Takes the pace window away on its thread; from another thread a posted close does,
  // which the system's procedure serves.
  ~GameGone();
  GameGone(const GameGone&) = delete;
  GameGone& operator=(const GameGone&) = delete;

  // On the game's window thread, before its window is made: a hidden window of that thread
  // which the module owns and whose procedure is the system's, so that the host can
  // neither take it away by destroying its own windows nor have the module's code serve
  // it. False when none could be made.
  bool MakePace();
  // The loader thread of the game: it holds the library itself as it ends.
  void SetLoaderThread(DWORD thread) { loaderThread_.store(thread, std::memory_order_release); }
  // The caller is the game's window thread (the pace's), or its loader thread.
  bool OnWindowThread() const { return windowThread_ != 0 && windowThread_ == GetCurrentThreadId(); }
  bool OnLoaderThread() const { return loaderThread_ != 0 && loaderThread_ == GetCurrentThreadId(); }
  // Set as the object is deleted; waits and throws nothing.
  void Set() noexcept;

  // What DestroyGameWnd does before it answers, on any thread, for the game it ended or
  // found ending: once it answers, the library may be freed. On the window's thread the
  // game's frames end before the host's own code runs again, and the loader holds the
  // library itself: they answer at once. Elsewhere the destroy waits until the object
  // is gone, serving what is sent to it (a thread inside a frame of a game of the
  // module cannot: it may be what that game waits for), and a thread of the module then
  // holds the library until the window's thread is seen back in a loop of its own. No
  // wait is for a thread that holds no frame of the game: the window's thread may wait
  // for the destroying one as soon as its frames have ended.
  static void BeforeAnswer(const std::shared_ptr<GameGone>& gone);
  // A thread of the module keeps the library mapped until the object is gone and the
  // window's thread is out of the module's code, then gives it back; when no thread can
  // be made, the caller waits for that itself.
  static void HoldLibraryUntilLeft(const std::shared_ptr<GameGone>& gone);

 private:
  explicit GameGone(HANDLE event) : event_(event) {}
  static DWORD WINAPI HoldProc(LPVOID share);
  // Until the object is gone, serving what is sent to the calling thread.
  void WaitGone() const;
  // Until the object is gone and the window's thread has left the module's code. The
  // signal is set from the module's code, which that thread may still have to return
  // out of; the close sent to the pace window is served only once it is back in a loop
  // (after the object is gone no frame of the game pumps), and the window goes with it.
  void WaitLeft() const;
  // The pace window stands and is another thread's than the caller's.
  bool PaceElsewhere() const;

  HANDLE event_;
  // Read by the threads that end the game while its window thread may be making them.
  std::atomic<HWND> pace_{nullptr};
  std::atomic<DWORD> windowThread_{0};
  std::atomic<DWORD> loaderThread_{0};
};
