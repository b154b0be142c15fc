// The game window: at once the Win32 child window that shows the table and the
// object the host talks to through IClientInterface. It creates the scene, runs the
// scene build here or on the loader thread, and owns both until it is destroyed.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "host/CHostLink.h"
#include "host/Dorvik2Api.h"
#include "host/Dorvik2Messages.h"
#include "plat/com.h"
#include "plat/ddraw.h"
#include "plat/user.h"
#include "base/GGeometry.h"
#include "graphics/XResEntryMgr.h"
#include "host/XBufLock.h"
#include "module/GameGone.h"
#include "scene/ISceneOwner.h"
#include "widgets/GWnd.h"

class CDorvik2VWS;
class GDDScreen;
class GameFrame;

// IClientInterface comes first: the object's address is its interface pointer.
class CDorvik2Wnd : public IClientInterface, public GWnd, public ISceneOwner {
 public:
  static constexpr const char* kClassName = "Dorvik2Wnd";
  static constexpr const char* kTitle = "TolbeamDorvik2GameWndT";
  static constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  // The game window's class in `instance` (made at the library's entry for the module's
  // own instance); true when it is there.
  static bool MakeWindowClass(HINSTANCE instance);
  static constexpr DWORD kChildStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  static constexpr DWORD kPopupStyle = WS_POPUP | WS_CLIPCHILDREN;
  static constexpr int32_t kOffsetInHost = 3;
  static constexpr int32_t kClientWidth = 800;
  static constexpr int32_t kClientHeight = 600;
  // How long the end waits for the loader thread before leaving it to end on its own.
  static constexpr DWORD kLoaderStopWaitMs = 3000;
  // The game's life (see Settle): made, claimed for its end, the stop taken, deleted.
  enum class Life { kLive, kEnding, kEnded, kGone };
  // WM_GAME_END's answer once the window's thread has run (or begun) the end.
  static constexpr LRESULT kEndRan = 1;
  // What the game posts to the host window; taken back when the game ends.
  static constexpr UINT kGamePostsToHost[] = {WM_GAME_CLOSE, WM_GAME_ENTER_KEY, WM_GAME_SCREEN_READY, WM_GAME_LOADED};

  explicit CDorvik2Wnd(IHostInterface* host);
  CDorvik2Wnd();
  // False when the system gave no event for the gone signal: such an object is ended
  // at once (EndByHost), never handed to a host.
  bool HasGoneSignal() const { return gone_ != nullptr; }
  // The signal shared with whoever waits for the object to be gone.
  std::shared_ptr<GameGone> GoneSignal() const { return gone_; }

  // ---- IClientInterface (CDorvik2WndClient.cpp) ----------------------------------------
  // Without a scene, once the end is claimed, or when the work throws (an allocation),
  // every operation answers its default: 0, IsUserFree 1, SetScreenMode -1. No
  // exception leaves one.
  int32_t STDMETHODCALLTYPE OnReceive(uint32_t unused1, uint32_t unused2, const BYTE* data, int32_t* length) override;
  int32_t STDMETHODCALLTYPE Reserved1(uint32_t unused) override;
  int32_t STDMETHODCALLTYPE Reserved2(uint32_t unused) override;
  int32_t STDMETHODCALLTYPE Reserved3(uint32_t unused1, uint32_t unused2) override;
  int32_t STDMETHODCALLTYPE SetPlayerAvatar(const char16_t* userId, const char16_t* partList) override;
  int32_t STDMETHODCALLTYPE SetPlayerDisplayName(const char16_t* userId, const char16_t* name) override;
  int32_t STDMETHODCALLTYPE IsUserFree(const char16_t* userId, uint32_t unused1, uint32_t unused2) override;
  int32_t STDMETHODCALLTYPE SetUserValue(const char16_t* userId, const char16_t* decimalNumber) override;
  int32_t STDMETHODCALLTYPE RequestExit(uint32_t unused) override;
  int32_t STDMETHODCALLTYPE ResetRoomView(uint32_t unused) override;
  int32_t STDMETHODCALLTYPE RefreshScreen(uint32_t unused) override;
  int32_t STDMETHODCALLTYPE UserCommand(uint32_t code, uint32_t userNo, const char16_t* text, uint32_t unused1,
                      uint32_t unused2) override;
  int32_t STDMETHODCALLTYPE SetStatusText(const char16_t* text) override;
  int32_t STDMETHODCALLTYPE SetScreenMode(int32_t fullScreen, int32_t width, int32_t height, uint32_t unused) override;
  int32_t STDMETHODCALLTYPE OnHostEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) override;
  int32_t STDMETHODCALLTYPE Reserved15(uint32_t unused) override;

  // ---- Creation and the loader ------------------------------------------------------
  // Class, window at (3, 3) in the host window, screen, host link, scene: 1, or 0
  // (what was made stays until the object is deleted).
  int32_t CreateGameWindow(HINSTANCE instance, HWND hostWnd, const std::string& gameFolder,
                           const std::string& portalFolder, const std::string& extraText, GSize clientSize,
                           int32_t fullScreen, int32_t unused);
  // Builds the scene now (loadInThread 0) or on the loader thread; the loader thread
  // runs in both modes and sets up sound. 0 when there is no scene, the synchronous
  // build failed, or (threaded) the thread could not be made.
  int32_t StartLoader(int32_t loadInThread);
  // Asks the loader to end and waits up to kLoaderStopWaitMs, serving what is sent to
  // this thread meanwhile. true when no loader thread runs any more; false when it still
  // runs: it holds a frame of the game, so the object stays until it ends. The thread's
  // handle stays with the object until the thread has ended.
  bool StopLoader();
  // The first step of every teardown: from here on the loader posts nothing, so no
  // post of it lands after the window or the host let go.
  void RequestLoaderStop();
  // Read by the scene build and the sound set-up between files.
  bool LoaderCancelRequested() const override { return cancel_.load(std::memory_order_acquire) != 0; }
  bool LoaderRunning() const { return loaderRunning_.load(std::memory_order_acquire) != 0; }
  HANDLE LoaderThread() const { return loaderThread_; }

  // Asks the host to end the game: WM_GAME_CLOSE(games played, reason). Nothing
  // once the host link is dropped.
  void PostToHostWindow(LPARAM reason) override;
  // InitGameWnd's work, inside a frame the caller holds (GameFrame): the pace, the
  // window, then the build here or on the loader thread. The game window, or null when
  // one failed, the host ended the game meanwhile, or the object was initialised before
  // (nothing is made then). The calling thread becomes the game's window thread.
  HWND InitFromHost(HINSTANCE instance, HWND hostWnd, const std::string& gameFolder, const std::string& portalFolder,
                    const std::string& extraText, int32_t unused10, int32_t loadInThread);
  // DestroyGameWnd's work, on any thread, once per object: the window, the loader's
  // posts, any open message box and the host link go, and nothing reaches the host
  // afterwards. Returns when the caller may answer (see Settle).
  void EndByHost();

  // The modal bitmap message box over this window, from the game folder's bitmaps:
  // 1 (OK / Yes), 2 (No, also a yes/no time-out), -1 when it cannot be shown.
  int32_t ShowMsgBox(const std::string& body, int32_t type, uint32_t autoCloseMs, const std::string& heading,
                     COLORREF headingColour) override;

  // ---- Screen (its own file) ----------------------------------------------------------
  // Gives the game window's clipper back to the screen (after the host moved things).
  void AttachClipper();
  // Rebuilds the screen after a mode change or a failed present: 1, or 0.
  int32_t RestoreScreen() override;
  // WM_GAME_SCREEN_READY: hands the screen to its users again.
  void OnScreenReady(int32_t check);
  // True while RestoreScreen runs: a paint or a scene draw nested in it gives up its
  // frame instead of starting a second rebuild.
  bool IsRestoringScreen() const override { return restoring_ != 0; }

  // ---- GWnd overrides -----------------------------------------------------------------
  // Each message of the window is a frame of the game; once the end is claimed only the
  // window's end and the end's own message take the window's way, the rest the system's.
  LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  // Until the scene is ready only WM_PAINT is the window's own; the rest takes GWnd's way.
  BOOL WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  // What WindowProc does: the message table towards the scene (its own file).
  BOOL GameWndProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  LRESULT OnPaint(WPARAM wParam) override;
  LRESULT OnEraseBkgnd(HDC dc) override;
  // The host link's rows of the window procedure while the scene is ready: the kick
  // after the build (WM_GAME_DISPATCH) and the game timers. 1 when it took the message.
  BOOL HostLinkGate(UINT message, WPARAM wParam, LRESULT* result);

  // ---- What the scene and the tests read ------------------------------------------------
  // This game's own link, filled with the window and cut by the take-back.
  const CHostLink& HostLink() const override { return link_; }
  IHostInterface* Host() const { return host_; }
  CDorvik2VWS* Scene() const { return scene_; }
  GDDScreen* Screen() const override { return screen_; }
  HWND Handle() const override { return GWnd::Handle(); }
  HINSTANCE Instance() const { return instance_; }
  HWND HostWindow() const { return hostWnd_; }
  int32_t FullScreen() const override { return fullScreen_; }
  int32_t LoadInThread() const { return loadInThread_; }
  int32_t OwnsScreen() const { return ownsScreen_; }
  GSize ClientSize() const { return clientSize_; }
  const std::string& GameFolder() const override { return gameFolder_; }
  const std::string& PortalFolder() const override { return portalFolder_; }
  const std::string& ExtraText() const { return extraText_; }

 private:
  friend class GameFrame;
  // A host call on IClientInterface: `body` inside a frame of the game, when the game
  // runs and has a scene; else, or when `body` throws, `otherwise`.
  template <class Body>
  int32_t HostCall(int32_t otherwise, Body&& body) noexcept;
  // A frame starts on the calling thread (GameFrame): false once the end is claimed.
  // Its end is Finish, which may delete the object: the frame's last touch.
  bool EnterFrame() noexcept;

  // Private: the object goes only through Settle, once ended and no frame of it is on
  // any stack. Releases what it owns; waits for nothing and throws nothing.
  ~CDorvik2Wnd() override;
  // Decides, under the life lock, what the frame that ends (or the end just asked)
  // does next: take the stop, delete the object, or nothing (see its definition).
  enum class Next { kNothing, kStop, kDelete };
  Next Settle(bool leaving) noexcept;
  // Runs the stop sequence inside the frame that took it, then leaves that frame.
  void StopAndLeave() noexcept;
  // A frame's end as Settle decides it (LeaveFrame's, the loader's, an end's own).
  void Finish() noexcept;
  // Deletes the object and signals whoever waits for it to be gone.
  void Delete() noexcept;
  static DWORD WINAPI LoaderThreadProc(LPVOID self);
  // The loader's last act: ends its frame (which may delete the object); when the game
  // was ending, waits until the object is gone and the window's thread has left the
  // module's code; then lets the library go and ends the thread.
  [[noreturn]] static void EndLoader(CDorvik2Wnd* self);
  // The scene build with every exception turned into a failed build.
  int32_t RunSceneBuild();
  // Asks the window thread to start on the messages queued during the build.
  void KickQueue();
  // A post of the loader: made under the life lock, and only while no teardown has
  // asked the loader to stop. The loader posts to the windows it was given at its
  // start, never to the fields the teardown clears.
  BOOL PostFromLoader(HWND target, UINT message, WPARAM wParam);
  // The one stop sequence of every end: the loader's posts, the boxes, the window, the
  // host link, the loader. Leaves the object whole. Every step runs even when one before
  // it threw: a game is never left half-ended.
  void Shut() noexcept;
  // A post to the host window, while the game still has one.
  void PostToHost(UINT message, WPARAM wParam, LPARAM lParam);
  // Takes back what the game posted to the host window and cuts the host link.
  void LetGoOfHost();
  // Waits for the loader thread; closes its handle once it has ended.
  bool JoinLoader(DWORD milliseconds);
  // Full redraw after a reset: every widget marked, then drawn at once.
  void FullRedraw();
  // Screen build at creation (step 4) and its release; in the screen's file.
  int32_t BuildScreen();
  void ReleaseScreen();
  // The screen's objects and colour key to the scene and the resource manager, then
  // the effect manager for the screen's pixels; 0 when no effect manager fits them.
  // `restore` also restores the manager's surfaces (0 when that fails).
  int32_t HandOverScreen(bool restore);
  // Takes back from the resource manager what the last hand-over gave it, where the
  // manager still holds it, and gives the manager the screen of the game that handed
  // over before, if one is alive; called before the screen's objects go.
  void WithdrawScreen();
  // Takes this game out of the games whose screens the manager may hold.
  void UnlinkHandOver();

  IHostInterface* host_ = nullptr;
  CHostLink link_;
  std::atomic<int32_t> loaderRunning_{0};
  int32_t loadInThread_ = 0;
  HANDLE loaderThread_ = nullptr;
  CDorvik2VWS* scene_ = nullptr;
  GDDScreen* screen_ = nullptr;
  // What the last hand-over gave the resource manager: the screen this game's frames
  // load and draw with (the manager's scopes read it under its lock), and what code of
  // no game gets while this game handed over last. Counted here too, so that a match
  // found later is the same live object and not a new one at a freed address.
  XResScreen handed_;
  // The game that handed its screen over before this one, while both are alive.
  CDorvik2Wnd* handedBefore_ = nullptr;
  HINSTANCE instance_ = nullptr;
  HWND hostWnd_ = nullptr;
  int32_t fullScreen_ = 0;
  std::string gameFolder_;
  std::string portalFolder_;
  std::string extraText_;
  GSize clientSize_;
  int32_t ownsScreen_ = 0;
  int32_t restoring_ = 0;
  std::atomic<int32_t> cancel_{0};
  // The one lock of the game's life: the fields below it, and the loader's posts against
  // the stop request.
  XBufLock lifeLock_;
  Life life_ = Life::kLive;
  // Frames of the game on every thread's stack (GameFrame and the frames Settle names).
  int32_t frames_ = 0;
  // The game window from its creation until WM_DESTROY reaches it. The window's thread
  // and the loader's are the gone signal's (GameGone), which outlives the object.
  HWND window_ = nullptr;
  // An end asked on the loader thread: the stop then never waits for the loader (it
  // waits in its send for the stop), which holds the library at its end.
  bool loaderAskedEnd_ = false;
  // The game window and the host window as the loader was started with them.
  HWND loaderGameWnd_ = nullptr;
  HWND loaderHostWnd_ = nullptr;
  // The loader's reference to the library, taken before the thread runs.
  HMODULE loaderModule_ = nullptr;
  // Set where the object is deleted; shared with whoever waits for that. Its pace tells
  // when the window's thread is out of the module's code.
  std::shared_ptr<GameGone> gone_ = GameGone::Make();
  // InitGameWnd ran once on the object: a second is refused (window thread only).
  bool initialised_ = false;
};
