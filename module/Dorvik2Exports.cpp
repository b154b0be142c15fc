// The exported functions, the load-time initialiser in the library-entry role, and
// the exports kept for their names. No exception leaves an export: the host's
// process would end.
#include <new>
#include <string>

#include "base/GFontList.h"
#include "base/ModuleGlobal.h"
#include "base/TextUtil.h"
#include "graphics/KK_FXMan.h"
#include "graphics/K_Sprite.h"
#include "graphics/K_SpriteRscManager.h"
#include "graphics/XResEntryMgr.h"
#include "host/XBufBlockAllocator.h"
#include "host/XBufPool.h"
#include "module/CDorvik2Wnd.h"
#include "module/CMsgBoxTimers.h"
#include "module/Dorvik2Module.h"
#include "module/MsgBoxTemplate.h"
#include "panels/SkinnedPopup.h"
#include "scene/CDorvik2VWS.h"
#include "widgets/GWndMgr.h"

namespace {

HMODULE g_handleAtLoad = nullptr;

// The library entry: the module finds itself by its name, not by the handle the loader
// passes. The global objects are made here, before the host can call anything: the
// buffers' allocator and pool first, since every later global may hand buffers back to
// them as it goes. Dialog templates of the module are registered here.
void LibraryEntry() {
  g_handleAtLoad = GetModuleHandleA(dorvik2_module::kModuleName);
  DisableThreadLibraryCalls(g_handleAtLoad);
  XBufBlockAllocator::Global();
  XBufPool::Global();
  GFontList::Global();
  XResEntryMgr::Global();
  _QLSRsc_MANAGER_::Manager();
  K_Sprite::EmptySprite();
  GWndMgr::Instance();
  skinned_popup::State();
  CMsgBoxTimers::Instance();
  msgbox_template::Register(g_handleAtLoad);
  skinned_popup::RegisterTemplate(g_handleAtLoad);
}

// The library is being freed: the host has destroyed its game windows and no thread
// of the module runs any more (a loader holds the library until it ends). The global
// objects go, the last made first: the resource manager releases every entry, its
// DirectDraw objects and its GDI caches; the pool and the allocator free their blocks.
// The pixel-effect manager, made for the first screen's format, goes with them, and so
// does the game window's class, whose procedure is the module's.
void LibraryExit() {
  DestroyFXManager();
  module_globals::DestroyAll();
  UnregisterClassA(CDorvik2Wnd::kClassName, g_handleAtLoad);
}

CDorvik2Wnd* GameWindowOf(IClientInterface* client) { return client ? dynamic_cast<CDorvik2Wnd*>(client) : nullptr; }

}  // namespace

PLAT_LIBRARY_ENTRY(LibraryEntry, LibraryExit)

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
    // Called back from inside one of the object's own calls or messages, with no
    // handler running: the same, and the object is idle already.
    if (wnd->InUse()) {
      wnd->CloseUnderHandler();
      wnd->OnClosedSceneIdle();
      return 0;
    }
    wnd->RequestLoaderStop();
    if (wnd->Handle() && IsWindow(wnd->Handle())) wnd->DestroyWindow();
    // A loader still running after the wait reads the scene and this object to its
    // end: it is left both, and deletes them as it ends.
    wnd->StopLoader();
    wnd->Dispose();
    return 0;
  } catch (...) {
    return -1;
  }
}
