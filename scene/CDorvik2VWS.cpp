// The scene's life: construction, Init from the portal file and the registry, the
// cursors, the teardown, the game timers and the input the window hands over.
#include "scene/CDorvik2VWS.h"

#include <stdexcept>

#include "base/GDDSurfaceDesc.h"
#include "base/TextUtil.h"
#include "graphics/XResEntryMgr.h"
#include "host/CHostLink.h"
#include "host/Dorvik2Messages.h"
#include "panels/SkinnedPopup.h"
#include "plat/crt.h"
#include "plat/ddraw.h"
#include "plat/ini.h"
#include "plat/time.h"
#include "widgets/GDDScreen.h"

namespace scene_life {

constexpr const char* kPortalFile = "%scommon\\quell_%d.ini";
constexpr const char* kServiceSection = "SERVICEINFO";
constexpr DWORD kProfileBufferBytes = 1024;
constexpr const char* kGradeTitles = "|입문|초보|하수|중수|고수|선수|타짜|영웅|제왕|";
constexpr const char* kNormalCursorFile = "Cursor\\sg_normal.ani";
constexpr const char* kClickCursorFile = "Cursor\\sg_click.ani";

// The texts between the bars of "|a|b|...|".
std::vector<std::string> SplitBars(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = text.find('|');
  while (start != std::string::npos) {
    const size_t end = text.find('|', start + 1);
    if (end == std::string::npos) break;
    parts.push_back(text.substr(start + 1, end - start - 1));
    start = end;
  }
  return parts;
}

std::string ProfileText(const char* key, const char* fallback, const std::string& file) {
  std::string buffer(kProfileBufferBytes, '\0');
  const DWORD n = GetPrivateProfileStringA(kServiceSection, key, fallback, buffer.data(), kProfileBufferBytes,
                                           file.c_str());
  buffer.resize(n);
  return buffer;
}

// What a scene without an owner calls: no host, so every call reaches nothing.
constinit const CHostLink kNoHostLink;

}  // namespace scene_life

const CHostLink& CDorvik2VWS::HostLink() const { return owner_ ? owner_->HostLink() : scene_life::kNoHostLink; }

CDorvik2VWS::CDorvik2VWS(ISceneOwner* owner) : owner_(owner) {
  GetSystemInfo(&screen_.systemInfo);
  // Every widget pointer is still null here: the resets must not need one.
  ResetGameState();
}

CDorvik2VWS::~CDorvik2VWS() {
  DestroyAll();
  for (int32_t i = 0; i < 2; ++i) {
    HCURSOR cursor = i == 0 ? cursors_.normal : cursors_.click;
    if (cursor && cursors_.fromFiles[i]) DestroyCursor(cursor);
  }
}

void CDorvik2VWS::DestroyAll() {
  timers_.StopAll();
  StopLoopingEffects();
  GVWS::DestroyAll();
  // The widget list deleted every widget; nothing may point at one any more.
  built_.widgets = SceneWidgets{};
  timers_.SetCountdownAnimation(nullptr);
  cardTable_.SetWidgets({});
  promotionMgr_.Clear();
  vipMgr_.ForgetWidgets();
  // Readiness goes before the sound-ready flag: a registration still running on the
  // loader then either sees the scene unready or has its flag cleared below.
  ready_.store(0, std::memory_order_seq_cst);
  ClosePopups();
  sound_.Release();
  SetFocusWnd(nullptr);
  SetHoverWnd(nullptr);
  built_.animations.clear();
  built_.buttons.clear();
}

int32_t CDorvik2VWS::ColorKey() const {
  XResEntryLock hold;
  return screen_.colorKey;
}

void CDorvik2VWS::SetColorKey(int32_t key) {
  XResEntryLock hold;
  screen_.colorKey = key;
}

void CDorvik2VWS::ClosePopups() { vipMgr_.HelperView().ClosePopup(); }

BOOL CDorvik2VWS::SetRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  // The screen rectangle first: without it the window system never draws.
  if (!GVWS::SetRect(left, top, right, bottom)) return 0;
  gameWnd_ = owner_ ? owner_->Handle() : nullptr;
  timers_.SetWindow(gameWnd_);
  if (GDDScreen* screen = owner_ ? owner_->Screen() : nullptr) SetColorKey(static_cast<int32_t>(screen->ColorKey()));
  const std::string gameFolder = owner_ ? owner_->GameFolder() : std::string();
  imageFolder_ = gameFolder + "GameImage\\";
  sound_.SetFolder(gameFolder + "GameSound\\");
  ready_.store(0, std::memory_order_release);

  const std::string portal =
      FormatString(scene_life::kPortalFile, owner_ ? owner_->PortalFolder().c_str() : "", CHostLink::kGameNumber);
  model_.clientVersion =
      static_cast<int32_t>(GetPrivateProfileIntA(scene_life::kServiceSection, "sDllVer", 0, portal.c_str()));
  const std::string company = scene_life::ProfileText("sCompany", "Varnet", portal);
  if (company.empty()) return 0;
  const std::string domain = scene_life::ProfileText("sDomainName", "Quell", portal);
  if (domain.empty()) return 0;
  model_.gradeTitles = scene_life::SplitBars(scene_life::kGradeTitles);
  options_.SetRegistryBase(company, domain);
  if (!LoadCursors()) return 0;

  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  screen_.windowsNt = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT ? 1 : 0;
  // Before the options: the voice set's default draws a random number.
  plat::crt::srand(GetTickCount());
  ReadOptions();
  GetDisplayBitDepth();
  ApplySpeed();
  return 1;
}

bool CDorvik2VWS::LoadCursors() {
  cursors_.normal = LoadCursorFromFileA((imageFolder_ + scene_life::kNormalCursorFile).c_str());
  cursors_.fromFiles[0] = cursors_.normal != nullptr;
  if (!cursors_.normal) cursors_.normal = LoadCursorA(nullptr, IDC_ARROW);
  cursors_.click = LoadCursorFromFileA((imageFolder_ + scene_life::kClickCursorFile).c_str());
  cursors_.fromFiles[1] = cursors_.click != nullptr;
  if (!cursors_.click) cursors_.click = LoadCursorA(nullptr, IDC_HAND);
  if (!cursors_.normal || !cursors_.click) return false;
  SetCursor(cursors_.normal);
  return true;
}

std::string CDorvik2VWS::GetGradeName(int32_t index) const {
  if (index < 0 || index >= static_cast<int32_t>(model_.gradeTitles.size())) return std::string();
  return model_.gradeTitles[static_cast<size_t>(index)];
}

int32_t CDorvik2VWS::GetDisplayBitDepth() {
  GDDScreen* screen = owner_ ? owner_->Screen() : nullptr;
  cardTable_.ResetFrameTime();
  screen_.displayBitDepth = 0;
  if (!screen || !screen->DirectDraw()) return 0;
  GDDSurfaceDesc desc;
  if (FAILED(screen->DirectDraw()->GetDisplayMode(&desc))) return 0;
  screen_.displayBitDepth = desc.GetBitDepth();
  return screen_.displayBitDepth;
}
