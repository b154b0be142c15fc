// The two interfaces as a Windows host sees them: slot tables whose operations take
// the object first and clean their own arguments (the component convention), texts
// as UTF-16. The order of declaration is the binary contract with the module.
#pragma once

#include <windows.h>

#include <cstdint>

class IClientInterface {
 public:
  virtual int32_t STDMETHODCALLTYPE OnReceive(uint32_t unused1, uint32_t unused2, const BYTE* data,
                                              int32_t* length) = 0;
  virtual int32_t STDMETHODCALLTYPE Reserved1(uint32_t unused) = 0;
  virtual int32_t STDMETHODCALLTYPE Reserved2(uint32_t unused) = 0;
  virtual int32_t STDMETHODCALLTYPE Reserved3(uint32_t unused1, uint32_t unused2) = 0;
  virtual int32_t STDMETHODCALLTYPE SetPlayerAvatar(const char16_t* userId, const char16_t* partList) = 0;
  virtual int32_t STDMETHODCALLTYPE SetPlayerDisplayName(const char16_t* userId, const char16_t* name) = 0;
  virtual int32_t STDMETHODCALLTYPE IsUserFree(const char16_t* userId, uint32_t unused1, uint32_t unused2) = 0;
  virtual int32_t STDMETHODCALLTYPE SetUserValue(const char16_t* userId, const char16_t* decimalNumber) = 0;
  virtual int32_t STDMETHODCALLTYPE RequestExit(uint32_t unused) = 0;
  virtual int32_t STDMETHODCALLTYPE ResetRoomView(uint32_t unused) = 0;
  virtual int32_t STDMETHODCALLTYPE RefreshScreen(uint32_t unused) = 0;
  virtual int32_t STDMETHODCALLTYPE UserCommand(uint32_t code, uint32_t userNo, const char16_t* text,
                                                uint32_t unused1, uint32_t unused2) = 0;
  virtual int32_t STDMETHODCALLTYPE SetStatusText(const char16_t* text) = 0;
  virtual int32_t STDMETHODCALLTYPE SetScreenMode(int32_t fullScreen, int32_t width, int32_t height,
                                                  uint32_t unused) = 0;
  virtual int32_t STDMETHODCALLTYPE OnHostEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) = 0;
  virtual int32_t STDMETHODCALLTYPE Reserved15(uint32_t unused) = 0;

 protected:
  ~IClientInterface() = default;
};

class IHostInterface {
 public:
  virtual int32_t STDMETHODCALLTYPE Send(int32_t channel, int32_t kind, const BYTE* data, int32_t length) = 0;
  virtual int32_t STDMETHODCALLTYPE GetAvatar(BSTR userKey, BSTR avatarKey, BSTR* out) = 0;
  virtual int32_t STDMETHODCALLTYPE SetText(BSTR text, uint32_t code, BSTR secondText) = 0;
  virtual int32_t STDMETHODCALLTYPE SetPlayState(uint32_t state) = 0;
  virtual int32_t STDMETHODCALLTYPE SetPlayerList(BSTR userNumbers) = 0;
  virtual int32_t STDMETHODCALLTYPE AddText(BSTR text, int32_t weight, int32_t style, int32_t reserved, BSTR face,
                                            int32_t firstFlag) = 0;
  virtual int32_t STDMETHODCALLTYPE RequestScreenMode(int32_t fullScreen, int32_t width, int32_t height,
                                                      int32_t reserved) = 0;
  virtual int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) = 0;

 protected:
  ~IHostInterface() = default;
};

// The exports (caller cleans), found by ordinal.
using CreateGameWndFn = int32_t(__cdecl*)(IHostInterface* host, IClientInterface** out);
using InitGameWndFn = HWND(__cdecl*)(IClientInterface* client, int32_t unused2, HWND hostWnd,
                                     const char16_t* gameFolder, const char16_t* portalFolder,
                                     const char16_t* extraText, int32_t unused7, int32_t unused8, int32_t unused9,
                                     int32_t unused10, int32_t loadInThread);
using DestroyGameWndFn = int32_t(__cdecl*)(IClientInterface* client);
using FnDorvik2Fn = int32_t(__cdecl*)();

enum ExportOrdinal : WORD {
  kCreateGameWnd = 1,
  kDestroyGameWnd = 2,
  kInitGameWnd = 3,
  kCDorvik2Constructor = 4,
  kCDorvik2Assign = 5,
  kFnDorvik2 = 6,
  kNDorvik2 = 7,
};

// Posted to the host window.
constexpr UINT WM_GAME_CLOSE = WM_USER + 1;
constexpr UINT WM_GAME_LOADED = WM_USER + 6;
