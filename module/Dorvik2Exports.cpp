// The exported functions, the load-time initialiser in the library-entry role, and
// the exports kept for their names. No exception leaves an export: the host's
// process would end.
#include <new>
#include <string>

#include "module/CDorvik2Wnd.h"
#include "module/Dorvik2Module.h"
#include "module/MsgBoxTemplate.h"
#include "panels/SkinnedPopup.h"
#include "scene/CDorvik2VWS.h"
#include "base/TextUtil.h"

namespace {

HMODULE g_handleAtLoad = nullptr;

// The library entry: the module finds itself by its name, not by the handle the loader
// passes. Dialog templates of the module are registered here.
void LibraryEntry() {
  g_handleAtLoad = GetModuleHandleA(dorvik2_module::kModuleName);
  DisableThreadLibraryCalls(g_handleAtLoad);
  msgbox_template::Register(g_handleAtLoad);
  skinned_popup::RegisterTemplate(g_handleAtLoad);
}

CDorvik2Wnd* GameWindowOf(IClientInterface* client) { return client ? dynamic_cast<CDorvik2Wnd*>(client) : nullptr; }

}  // namespace

PLAT_LIBRARY_ENTRY(LibraryEntry)

HMODULE dorvik2_module::HandleAtLoad() { return g_handleAtLoad; }

CDorvik2::CDorvik2() = default;
CDorvik2& CDorvik2::operator=(const CDorvik2&) { return *this; }

int32_t nDorvik2 = 0;

int32_t fnDorvik2() { return dorvik2_module::kFnDorvik2Answer; }

int32_t CreateGameWnd(IHostInterface* host, IClientInterface** out) {
  if (!out) return -1;
  try {
    *out = new (std::nothrow) CDorvik2Wnd(host);
  } catch (...) {
    *out = nullptr;
  }
  return *out ? 0 : -1;
}

HWND InitGameWnd(IClientInterface* client, int32_t, HWND hostWnd, const char16_t* gameFolder,
                 const char16_t* portalFolder, const char16_t* extraText, int32_t, int32_t, int32_t,
                 int32_t unused10, int32_t loadInThread) {
  try {
    CDorvik2Wnd* wnd = GameWindowOf(client);
    if (!wnd) return nullptr;
    const GSize clientSize(CDorvik2Wnd::kClientWidth, CDorvik2Wnd::kClientHeight);
    const HINSTANCE instance = GetModuleHandleA(dorvik2_module::kModuleName);
    if (!wnd->CreateGameWindow(instance, hostWnd, WideToMultiByte(gameFolder), WideToMultiByte(portalFolder),
                               WideToMultiByte(extraText), clientSize, 0, unused10)) {
      return nullptr;
    }
    if (!wnd->StartLoader(loadInThread != 0 ? 1 : 0)) return nullptr;
    return wnd->Handle();
  } catch (...) {
    return nullptr;
  }
}

int32_t DestroyGameWnd(IClientInterface* client) {
  try {
    CDorvik2Wnd* wnd = GameWindowOf(client);
    if (!wnd) return -1;
    // Inside a handler (a nested wait or a message box pumps the host's messages) the
    // scene is on the stack: it closes now and goes when the handler has returned.
    if (wnd->Scene() && wnd->Scene()->IsBusy()) {
      wnd->CloseUnderHandler();
      return 0;
    }
    wnd->RequestLoaderStop();
    if (wnd->Handle() && IsWindow(wnd->Handle())) wnd->DestroyWindow();
    if (!wnd->StopLoader()) {
      // The loader ignored the request to end: it may still read the scene and this
      // object, so both stay; the window is gone and the host carries on.
      KeepForRunningLoader(wnd);
      return 0;
    }
    delete wnd;
    return 0;
  } catch (...) {
    return -1;
  }
}
