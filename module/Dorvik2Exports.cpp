// The exported functions, the load-time initialiser in the library-entry role, and
// the exports kept for their names. No exception leaves an export: the host's
// process would end.
#include <new>
#include <optional>
#include <string>

#include "base/GFontList.h"
#include "base/ModuleGlobal.h"
#include "base/TextUtil.h"
#include "graphics/KK_FXMan.h"
#include "graphics/K_Sprite.h"
#include "graphics/K_SpriteRscManager.h"
#include "graphics/XResEntryMgr.h"
#include "host/CHostLink.h"
#include "host/XBufBlockAllocator.h"
#include "host/XBufPool.h"
#include "module/CDorvik2Wnd.h"
#include "module/CMsgBoxDlg.h"
#include "module/CMsgBoxTimers.h"
#include "module/Dorvik2Module.h"
#include "module/GameFrame.h"
#include "module/GameGone.h"
#include "module/LiveClients.h"
#include "module/MsgBoxTemplate.h"
#include "panels/SkinnedPopup.h"
#include "widgets/GWndMgr.h"

namespace {

HMODULE g_handleAtLoad = nullptr;

void UnregisterGameClass(void*) { UnregisterClassA(CDorvik2Wnd::kClassName, g_handleAtLoad); }

// The library entry: the module finds itself by its name, not by the handle the loader
// passes. Every global object of the module is made here, in this one list, before the
// host can call anything, and each is destroyed at the library's detach, the last made
// first: so the buffers' allocator and pool come first, since every later global may
// hand buffers back to them as it goes; the game window's class, whose procedure is the
// module's, is unregistered after everything; the pixel-effect managers' slot (a manager
// made in it later for each screen format asked for) goes first. Dialog templates of the
// module are registered here. A table of globals that has run out of room refuses the
// load.
bool LibraryEntry() {
  g_handleAtLoad = GetModuleHandleA(dorvik2_module::kModuleName);
  DisableThreadLibraryCalls(g_handleAtLoad);
  module_globals::Register(&UnregisterGameClass, nullptr);
  XBufBlockAllocator::Global();
  XBufPool::Global();
  GFontList::Global();
  XResEntryMgr::Global();
  _QLSRsc_MANAGER_::Manager();
  K_Sprite::EmptySprite();
  GWndMgr::Instance();
  // Made here, before any thread of the host can make a game: the class is one for them all.
  if (!CDorvik2Wnd::MakeWindowClass(g_handleAtLoad)) return false;
  CHostLink::MakeGlobals();
  live_clients::MakeGlobals();
  skinned_popup::State();
  CMsgBoxTimers::Instance();
  CMsgBoxDlg::MakeGlobals();
  MakeFXManagerSlot();
  msgbox_template::Register(g_handleAtLoad);
  skinned_popup::RegisterTemplate(g_handleAtLoad);
  return !module_globals::Overflowed();
}

// The library is being freed: the host has destroyed its game windows and no thread
// of the module runs any more (a loader holds the library until it ends). Everything
// the entry made goes, the last made first: the resource manager releases every entry,
// its DirectDraw objects and its GDI caches; the pool and the allocator free their
// blocks.
void LibraryExit() { module_globals::DestroyAll(); }

}  // namespace

PLAT_LIBRARY_ENTRY(LibraryEntry, LibraryExit)

HMODULE dorvik2_module::HandleAtLoad() { return g_handleAtLoad; }

CDorvik2::CDorvik2() = default;
CDorvik2& CDorvik2::operator=(const CDorvik2&) { return *this; }

int32_t nDorvik2 = 0;

int32_t fnDorvik2() { return dorvik2_module::kFnDorvik2Answer; }

int32_t CreateGameWnd(IHostInterface* host, IClientInterface** out) {
  if (!out) return -1;
  CDorvik2Wnd* wnd = nullptr;
  try {
    wnd = new (std::nothrow) CDorvik2Wnd(host);
  } catch (...) {
    wnd = nullptr;
  }
  // A game that cannot be waited for, or not listed, is ended at once: its own end
  // deletes it.
  if (wnd && !wnd->HasGoneSignal()) {
    wnd->EndByHost();
    wnd = nullptr;
  }
  if (wnd) {
    try {
      live_clients::Add(wnd);
    } catch (...) {
      wnd->EndByHost();
      wnd = nullptr;
    }
  }
  *out = wnd;
  return wnd ? 0 : -1;
}

HWND InitGameWnd(IClientInterface* client, int32_t, HWND hostWnd, const char16_t* gameFolder,
                 const char16_t* portalFolder, const char16_t* extraText, int32_t, int32_t, int32_t,
                 int32_t unused10, int32_t loadInThread) {
  try {
    const std::string game = WideToMultiByte(gameFolder);
    const std::string portal = WideToMultiByte(portalFolder);
    const std::string extra = WideToMultiByte(extraText);
    // The whole call is a frame of the game, entered while the list still holds it: an
    // end asked on another thread meanwhile waits for this call to return.
    std::optional<GameFrame> frame;
    CDorvik2Wnd* wnd = live_clients::Enter(client, frame);
    if (!wnd) return nullptr;
    return wnd->InitFromHost(GetModuleHandleA(dorvik2_module::kModuleName), hostWnd, game, portal, extra, unused10,
                             loadInThread != 0 ? 1 : 0);
  } catch (...) {
    return nullptr;
  }
}

int32_t DestroyGameWnd(IClientInterface* client) {
  try {
    // Claimed once: a second destroy, on any thread, ends nothing and answers -1 once
    // the first's game may be taken for gone. From here on the end runs whole (each of
    // its steps stands alone), so the answer is 0.
    std::shared_ptr<GameGone> ending;
    CDorvik2Wnd* wnd = live_clients::Claim(client, ending);
    if (!wnd) {
      GameGone::BeforeAnswer(ending);
      return -1;
    }
    wnd->EndByHost();
    return 0;
  } catch (...) {
    return -1;
  }
}
