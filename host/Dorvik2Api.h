// The module's public face, shared with host programs: the interface the host calls
// on the game window, the host's callback interface, and the exported functions.
// Both interfaces are slot tables: the order of declaration is the binary contract.
#pragma once

#include <cstdint>
#include <type_traits>

#include "plat/module.h"
#include "plat/oleauto.h"
#include "plat/types.h"

// Rules both interfaces keep, because a host built elsewhere calls them by slot:
// no overloads, no virtual destructor (it would take slots), every slot answers an
// int32_t in the component convention (STDMETHODCALLTYPE: the callee cleans the
// stack), texts cross as UTF-16 (a null text counts as empty). Arguments marked
// "unused" are accepted and ignored.

// What the host calls on the game window. Everything but IsUserFree, SetScreenMode
// and host event 29 answers 0.
class IClientInterface {
 public:
  // One game message per call: the block's first message is queued, the rest ignored.
  virtual int32_t STDMETHODCALLTYPE OnReceive(uint32_t unused1, uint32_t unused2, const BYTE* data, int32_t* length) = 0;
  virtual int32_t STDMETHODCALLTYPE Reserved1(uint32_t unused) = 0;
  virtual int32_t STDMETHODCALLTYPE Reserved2(uint32_t unused) = 0;
  virtual int32_t STDMETHODCALLTYPE Reserved3(uint32_t unused1, uint32_t unused2) = 0;
  // `partList` is a bar list: items each ended by '|'.
  virtual int32_t STDMETHODCALLTYPE SetPlayerAvatar(const char16_t* userId, const char16_t* partList) = 0;
  virtual int32_t STDMETHODCALLTYPE SetPlayerDisplayName(const char16_t* userId, const char16_t* name) = 0;
  // 0 while the user holds a seat in the game under way, else 1.
  virtual int32_t STDMETHODCALLTYPE IsUserFree(const char16_t* userId, uint32_t unused1, uint32_t unused2) = 0;
  virtual int32_t STDMETHODCALLTYPE SetUserValue(const char16_t* userId, const char16_t* decimalNumber) = 0;
  virtual int32_t STDMETHODCALLTYPE RequestExit(uint32_t unused) = 0;
  virtual int32_t STDMETHODCALLTYPE ResetRoomView(uint32_t unused) = 0;
  virtual int32_t STDMETHODCALLTYPE RefreshScreen(uint32_t unused) = 0;
  virtual int32_t STDMETHODCALLTYPE UserCommand(uint32_t code, uint32_t userNo, const char16_t* text, uint32_t unused1,
                              uint32_t unused2) = 0;
  virtual int32_t STDMETHODCALLTYPE SetStatusText(const char16_t* text) = 0;
  // 0, or -1 when the screen could not be rebuilt.
  virtual int32_t STDMETHODCALLTYPE SetScreenMode(int32_t fullScreen, int32_t width, int32_t height, uint32_t unused) = 0;
  virtual int32_t STDMETHODCALLTYPE OnHostEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) = 0;
  virtual int32_t STDMETHODCALLTYPE Reserved15(uint32_t unused) = 0;

 protected:
  ~IClientInterface() = default;
};

// The host's callback interface. BSTR arguments belong to the caller, which frees
// them after the call; only GetAvatar's out text passes to the module.
class IHostInterface {
 public:
  static constexpr int32_t kSendFailed = -1;

  // Hands one serialised game command to the server; kSendFailed when it was lost.
  virtual int32_t STDMETHODCALLTYPE Send(int32_t channel, int32_t kind, const BYTE* data, int32_t length) = 0;
  // 1 when *out holds the avatar description.
  virtual int32_t STDMETHODCALLTYPE GetAvatar(BSTR userKey, BSTR avatarKey, BSTR* out) = 0;
  virtual int32_t STDMETHODCALLTYPE SetText(BSTR text, uint32_t code, BSTR secondText) = 0;
  virtual int32_t STDMETHODCALLTYPE SetPlayState(uint32_t state) = 0;
  // User numbers, each written in decimal and followed by '|'.
  virtual int32_t STDMETHODCALLTYPE SetPlayerList(BSTR userNumbers) = 0;
  // One styled run for the chat area. style: bit 0 the fourth style flag, bits 16 and
  // up the colour index; face "" means the host's default.
  virtual int32_t STDMETHODCALLTYPE AddText(BSTR text, int32_t weight, int32_t style, int32_t reserved, BSTR face,
                          int32_t firstFlag) = 0;
  // Asks the host to switch the game between windowed and full-screen display.
  virtual int32_t STDMETHODCALLTYPE RequestScreenMode(int32_t fullScreen, int32_t width, int32_t height, int32_t reserved) = 0;
  // A named event; the host may write back into *value and into the data.
  virtual int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) = 0;

 protected:
  ~IHostInterface() = default;
};

// Values a host and the module agree on.
namespace dorvik2_api {
// Send's first two arguments, always these.
constexpr int32_t kSendChannel = -1;
constexpr int32_t kSendKind = 1;
// Library file and exported names (the host resolves them by name).
constexpr const char* kLibraryFile = "Dorvik2" PLAT_LIBRARY_SUFFIX;
constexpr const char* kCreateGameWndName = "CreateGameWnd";
constexpr const char* kInitGameWndName = "InitGameWnd";
constexpr const char* kDestroyGameWndName = "DestroyGameWnd";
}  // namespace dorvik2_api

#define DORVIK2_EXPORT PLAT_EXPORT

extern "C" {

// Makes the game window object (no window yet) holding `host` and writes its
// interface to *out. 0, or -1 when nothing could be made (out null or *out null).
DORVIK2_EXPORT int32_t CreateGameWnd(IHostInterface* host, IClientInterface** out);

// Creates the 800x600 game window in `hostWnd` and builds the scene, on the calling
// thread or, when loadInThread is non-zero, on the loader thread (which then posts
// its result to the host window). The game window, or null.
DORVIK2_EXPORT HWND InitGameWnd(IClientInterface* client, int32_t unused2, HWND hostWnd,
                                const char16_t* gameFolder, const char16_t* portalFolder,
                                const char16_t* extraText, int32_t unused7, int32_t unused8, int32_t unused9,
                                int32_t unused10, int32_t loadInThread);

// Destroys the window and the object. 0, or -1 for a pointer CreateGameWnd did not make.
DORVIK2_EXPORT int32_t DestroyGameWnd(IClientInterface* client);

}  // extern "C"

// Pointer types for a host that resolves the exports at run time.
using CreateGameWndFn = int32_t (*)(IHostInterface*, IClientInterface**);
using InitGameWndFn = HWND (*)(IClientInterface*, int32_t, HWND, const char16_t*, const char16_t*, const char16_t*,
                               int32_t, int32_t, int32_t, int32_t, int32_t);
using DestroyGameWndFn = int32_t (*)(IClientInterface*);

static_assert(std::is_same_v<decltype(&CreateGameWnd), CreateGameWndFn>);
static_assert(std::is_same_v<decltype(&InitGameWnd), InitGameWndFn>);
static_assert(std::is_same_v<decltype(&DestroyGameWnd), DestroyGameWndFn>);
