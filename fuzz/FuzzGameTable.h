// One ready game window on the synthetic data, shared by the targets that drive the
// whole module: a host that takes everything and answers nothing (but an avatar text
// a target sets), a host window, and the table built and ready.
#pragma once

#include <cstdint>
#include <string>

#include "ScratchFolder.h"
#include "base/TextUtil.h"
#include "host/Dorvik2Api.h"
#include "module/CDorvik2Wnd.h"
#include "plat/oleauto.h"
#include "plat/sim.h"
#include "plat/threads.h"
#include "scene/CDorvik2VWS.h"
#include "widgets/GVAvatarWnd.h"

class FuzzHost : public IHostInterface {
 public:
  int32_t STDMETHODCALLTYPE Send(int32_t, int32_t, const BYTE*, int32_t) override { return 0; }
  // Answers 1 with the avatar text while one is set; the caller frees the string.
  int32_t STDMETHODCALLTYPE GetAvatar(BSTR, BSTR, BSTR* out) override {
    if (!answerAvatar || !out) return 0;
    *out = SysAllocStringLen(avatar.data(), static_cast<UINT>(avatar.size()));
    return *out ? 1 : 0;
  }
  int32_t STDMETHODCALLTYPE SetText(BSTR, uint32_t, BSTR) override { return 0; }
  int32_t STDMETHODCALLTYPE SetPlayState(uint32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE SetPlayerList(BSTR) override { return 0; }
  int32_t STDMETHODCALLTYPE AddText(BSTR, int32_t, int32_t, int32_t, BSTR, int32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE RequestScreenMode(int32_t, int32_t, int32_t, int32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t, int32_t*, void*, int32_t*) override { return 0; }

  bool answerAvatar = false;
  std::u16string avatar;
};

inline FuzzHost& FuzzTableHost() {
  static FuzzHost host;
  return host;
}

// Made on the first call, with its registry in the target's scratch folder.
inline IClientInterface* FuzzGameTable(const char* scratchName) {
  static IClientInterface* client = [scratchName] {
    constexpr uint32_t kFirstTickMs = 50;
    plat::sim::UseVirtualClock();
    plat::sim::SetRegistryFile((FuzzScratchFolder(scratchName) / "registry.dat").string());
    // The table is built from the synthetic data's pictures.
    plat::sim::MapPathPrefix("D:\\game\\GameImage\\", DORVIK_GAME_DATA_DIR "GameImage/");
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "FuzzHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, "FuzzHost", "host", WS_POPUP | WS_VISIBLE, 0, 0, 820, 620, nullptr, nullptr,
                                nullptr, nullptr);
    IClientInterface* made = nullptr;
    if (CreateGameWnd(&FuzzTableHost(), &made) != 0) __builtin_trap();
    if (!InitGameWnd(made, 0, host, u"D:\\game\\", u"D:\\portal\\", u"", 0, 0, 0, 0, 0)) __builtin_trap();
    auto* wnd = dynamic_cast<CDorvik2Wnd*>(made);
    if (HANDLE loader = wnd->LoaderThread()) WaitForSingleObject(loader, INFINITE);
    plat::sim::Advance(kFirstTickMs);
    if (!wnd->Scene()->IsReady()) __builtin_trap();
    return made;
  }();
  return client;
}

// The client and another user, as the host-text targets seat them: me in seat 0 and the
// other in seat 1, both with an avatar key.
constexpr int32_t kFuzzMe = 101;
constexpr int32_t kFuzzOther = 102;
constexpr const char16_t* kFuzzMyId = u"me";
constexpr const char16_t* kFuzzOtherId = u"you";

inline void FuzzSeatBoth(CDorvik2VWS& scene) {
  scene.Model().myUser.userNo = kFuzzMe;
  PlayerInfo& me = scene.GetPlayer(0);
  me.userNo = kFuzzMe;
  me.userId = WideToMultiByte(kFuzzMyId);
  me.avatarKey = "k";
  me.screenPos = 0;
  PlayerInfo& other = scene.GetPlayer(1);
  other.userNo = kFuzzOther;
  other.userId = WideToMultiByte(kFuzzOtherId);
  other.avatarKey = "k";
  other.screenPos = 1;
}

// Whatever the avatar texts, every avatar stands at its side.
inline void FuzzCheckAvatars(CDorvik2VWS& scene) {
  constexpr GPoint kPoints[CDorvik2VWS::kSeats] = {{731, 414}, {731, 26}};
  for (int32_t side = 0; side < CDorvik2VWS::kSeats; ++side) {
    GVAvatarWnd* avatar = scene.Widgets().avatars[static_cast<size_t>(side)];
    if (avatar && avatar->GetPos() != kPoints[side]) __builtin_trap();
  }
}
