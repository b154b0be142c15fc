#include "support/HostWindowFixture.h"

#include <string>

#include "plat/sim.h"
#include "scene/CDorvik2VWS.h"

namespace testing_support {

void HostWindowFixture::SetUp() {
  CDorvik2VWS::ResetControls();
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
  for (CDorvik2Wnd* w : opened_) delete w;
  opened_.clear();
  ReleaseCapture();
  plat::sim::ClearFaults();
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
