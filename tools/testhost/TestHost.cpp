// The headless host: host window, export calls, pumping on the virtual clock, and the
// merged transcript.
#include "testhost/TestHost.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "host/Dorvik2Messages.h"
#include "plat/crt.h"
#include "plat/sim.h"
#include "plat/time.h"
#include "testhost/ScriptReader.h"

namespace testhost {

namespace {

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    // What a host does with them is its own affair; this one only records them.
    case WM_GAME_CLOSE:
    case WM_GAME_ENTER_KEY:
    case WM_GAME_SCREEN_READY:
    case WM_GAME_LOADED: return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

std::string Pointer(const void* p) { return p ? "window" : "null"; }

}  // namespace

std::string DescribePosted(const MSG& m) {
  return DescribeHostMessage(m.message, static_cast<uint64_t>(m.wParam), static_cast<int64_t>(m.lParam));
}

TestHost::TestHost() {
  startTick_ = GetTickCount();
  WNDCLASSA wc{};
  WNDCLASSA existing{};
  if (!GetClassInfoA(nullptr, kHostClassName, &existing)) {
    wc.lpfnWndProc = HostWindowProc;
    wc.lpszClassName = kHostClassName;
    RegisterClassA(&wc);
  }
  // A pop-up has no frame: its client area is the whole window.
  hostWnd_ = CreateWindowExA(0, kHostClassName, "Dorvik2 test host", WS_POPUP | WS_VISIBLE, 0, 0, kHostClientWidth,
                             kHostClientHeight, nullptr, nullptr, nullptr, nullptr);
}

TestHost::~TestHost() {
  if (client_ && module_.destroy) Destroy();
  if (hostWnd_) DestroyWindow(hostWnd_);
}

bool TestHost::LoadModule(const std::string& path, std::string& error) { return module_.Open(path, error); }

void TestHost::UseExports(CreateGameWndFn create, InitGameWndFn init, DestroyGameWndFn destroy) {
  module_.create = create;
  module_.init = init;
  module_.destroy = destroy;
}

void TestHost::NoteExport(std::string text) {
  std::lock_guard<std::mutex> hold(mutex_);
  exports_.push_back({GetTickCount(), std::move(text)});
}

int32_t TestHost::Create() {
  const int32_t r = module_.create(&timed_, &client_);
  NoteExport(plat::FormatString("CreateGameWnd -> %d", r));
  return r;
}

HWND TestHost::Init(const std::u16string& gameFolder, const std::u16string& portalFolder, int32_t loadInThread) {
  gameWnd_ = module_.init(client_, 0, hostWnd_, gameFolder.c_str(), portalFolder.c_str(), u"", 0, 0, 0, 0,
                          loadInThread);
  NoteExport(plat::FormatString("InitGameWnd(threaded %d) -> ", loadInThread) + Pointer(gameWnd_));
  return gameWnd_;
}

int32_t TestHost::Destroy() {
  const int32_t r = module_.destroy(client_);
  NoteExport(plat::FormatString("DestroyGameWnd -> %d", r));
  client_ = nullptr;
  gameWnd_ = nullptr;
  return r;
}

void TestHost::Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

void TestHost::Advance(uint32_t ms) {
  Pump();
  plat::sim::Advance(ms);
}

void TestHost::OnModal(std::function<void(HWND dialog)> hook) { plat::sim::SetModalHook(std::move(hook)); }

void TestHost::OnSend(std::function<void(const uint8_t* data, int32_t length)> observer) {
  timed_.OnSend(std::move(observer));
}

bool TestHost::WaitForLoader(uint32_t realMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(realMs);
  for (;;) {
    Pump();
    if (plat::sim::LiveLayerThreads() == 0) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::vector<std::string> TestHost::Transcript() const {
  struct Line {
    DWORD ms;
    int order;  // at equal times: exports, then host calls, then posts
    size_t seq;
    std::string text;
  };
  std::vector<Line> lines;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    for (size_t i = 0; i < exports_.size(); ++i) lines.push_back({Elapsed(exports_[i].tick), 0, i, exports_[i].text});
    const auto calls = timed_.TimedCalls();
    for (size_t i = 0; i < calls.size(); ++i)
      lines.push_back({Elapsed(calls[i].first), 1, i, "host " + calls[i].second.ToString()});
  }
  const auto posted = plat::sim::PostedMessages(hostWnd_);
  for (size_t i = 0; i < posted.size(); ++i)
    lines.push_back({Elapsed(posted[i].time), 2, i, "posted " + DescribePosted(posted[i])});
  std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
    if (a.ms != b.ms) return a.ms < b.ms;
    if (a.order != b.order) return a.order < b.order;
    return a.seq < b.seq;
  });
  std::vector<std::string> out;
  out.reserve(lines.size());
  for (const Line& l : lines) out.push_back(plat::FormatString("%6lu ms  ", l.ms) + l.text);
  return out;
}

bool TestHost::WriteGamePicture(const std::string& path, std::string& error) const {
  const plat::sim::RgbImage picture = plat::sim::CaptureWindow(gameWnd_);
  if (picture.width <= 0 || picture.height <= 0) {
    error = "no game window to capture";
    return false;
  }
  if (!plat::sim::WritePng(picture, path)) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

std::optional<plat::sim::DisplayFormat> DesktopFormatNamed(std::string_view name) {
  using plat::sim::DisplayFormat;
  if (name == "565") return DisplayFormat::Rgb565;
  if (name == "555") return DisplayFormat::Rgb555;
  if (name == "32") return DisplayFormat::Xrgb8888;
  return std::nullopt;
}

}  // namespace testhost
