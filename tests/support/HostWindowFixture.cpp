#include "support/HostWindowFixture.h"

#include <stdexcept>
#include <string>

#include "plat/sim.h"
#include "plat/sim_files.h"
#include "scene/CDorvik2VWS.h"

namespace testing_support {

namespace {
constexpr DWORD kPollMs = 2;
constexpr const char* kNowhere = "/nonexistent-dorvik-folder/";
}  // namespace

OpenWatch::OpenWatch(Options options) : options_(std::move(options)) {
  held_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  left_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  plat::sim::SetOpenHook([this](const std::string& path) { OnOpen(path); });
}

OpenWatch::~OpenWatch() {
  plat::sim::SetOpenHook(nullptr);
  SetEvent(release_);
  // A thread still inside the hook must leave it before the events go.
  if (WaitForSingleObject(held_, 0) == WAIT_OBJECT_0) WaitForSingleObject(left_, INFINITE);
  CloseHandle(held_);
  CloseHandle(left_);
  CloseHandle(release_);
}

void OpenWatch::OnOpen(const std::string& path) {
  bool hold = false;
  {
    std::lock_guard lock(mutex_);
    opens_.emplace_back(path, GetCurrentThreadId());
    if (!options_.holdAt.empty() && !holdUsed_ && path.ends_with(options_.holdAt)) hold = holdUsed_ = true;
  }
  if (!options_.throwAt.empty() && path.ends_with(options_.throwAt)) throw std::runtime_error("open hook");
  if (!hold) return;
  SetEvent(held_);
  while (WaitForSingleObject(release_, kPollMs) == WAIT_TIMEOUT) {
    if (options_.until && options_.until()) break;
  }
  SetEvent(left_);
}

bool OpenWatch::WaitHeld(DWORD ms) { return WaitForSingleObject(held_, ms) == WAIT_OBJECT_0; }
bool OpenWatch::WaitLeft(DWORD ms) { return WaitForSingleObject(left_, ms) == WAIT_OBJECT_0; }
void OpenWatch::Release() { SetEvent(release_); }

int32_t OpenWatch::Count(const std::string& part) const {
  std::lock_guard lock(mutex_);
  int32_t n = 0;
  for (const auto& [path, thread] : opens_) n += path.find(part) != std::string::npos ? 1 : 0;
  return n;
}

DWORD OpenWatch::FirstThread(const std::string& part) const {
  std::lock_guard lock(mutex_);
  for (const auto& [path, thread] : opens_)
    if (path.find(part) != std::string::npos) return thread;
  return 0;
}

std::vector<std::string> OpenWatch::Names() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> out;
  for (const auto& [path, thread] : opens_) out.push_back(path);
  return out;
}

void HostWindowFixture::HideImages(const std::string& subFolder) {
  plat::sim::MapPathPrefix(kImageFolder + subFolder, kNowhere);
}

void HostWindowFixture::SetUp() {
  plat::sim::MapPathPrefix(kImageFolder, DORVIK_GAME_DATA_DIR "GameImage/");
  plat::sim::ResetDisplay(plat::sim::DisplayFormat::Rgb565);
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = kHostClass;
  RegisterClassA(&wc);
  // Away from the screen's corner, so that screen and client coordinates differ.
  hostWnd = CreateWindowExA(0, kHostClass, "host", WS_POPUP | WS_VISIBLE, 40, 30, 820, 620, nullptr, nullptr,
                            nullptr, nullptr);
  ASSERT_NE(hostWnd, nullptr);
}

void HostWindowFixture::TearDown() {
  for (IClientInterface* c : made_) DestroyGameWnd(c);
  made_.clear();
  for (CDorvik2Wnd* w : opened_) w->EndByHost();
  opened_.clear();
  ReleaseCapture();
  plat::sim::ClearFaults();
  plat::sim::SetOpenHook(nullptr);
  plat::sim::ClearPathPrefixes();
  plat::sim::ResetWindowSystem();
  plat::sim::ResetDisplay();
}

IClientInterface* HostWindowFixture::Make() {
  IClientInterface* client = nullptr;
  EXPECT_EQ(CreateGameWnd(&host, &client), 0);
  if (client) made_.push_back(client);
  return client;
}

HWND HostWindowFixture::Init(IClientInterface* client, int32_t threaded) {
  const std::u16string gameFolder(kGameFolder, kGameFolder + std::char_traits<char>::length(kGameFolder));
  return InitGameWnd(client, 0, hostWnd, gameFolder.c_str(), u"D:\\portal\\", u"extra", 0, 0, 0, 0, threaded);
}

int32_t HostWindowFixture::Destroy(IClientInterface* client) {
  std::erase(made_, client);
  return DestroyGameWnd(client);
}

CDorvik2Wnd* HostWindowFixture::Open(int32_t fullScreen) {
  auto* wnd = opened_.emplace_back(new CDorvik2Wnd(&host));
  const int32_t created =
      wnd->CreateGameWindow(nullptr, hostWnd, kGameFolder, "D:\\portal\\", "", GSize(800, 600), fullScreen, 0);
  EXPECT_EQ(created, 1);
  if (created != 1) return nullptr;
  wnd->StartLoader(0);
  return wnd;
}

void HostWindowFixture::WaitForLoader(CDorvik2Wnd* wnd) {
  ASSERT_NE(wnd->LoaderThread(), nullptr);
  ASSERT_EQ(WaitForSingleObject(wnd->LoaderThread(), kThreadWaitMs), WAIT_OBJECT_0);
}

std::vector<MSG> HostWindowFixture::PostedToHost(UINT message) const {
  std::vector<MSG> out;
  for (const MSG& m : plat::sim::PostedMessages(hostWnd))
    if (m.message == message) out.push_back(m);
  return out;
}

}  // namespace testing_support
