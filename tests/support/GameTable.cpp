#include "support/GameTable.h"

#include "host/Dorvik2Api.h"
#include "host/IXBuf.h"
#include "plat/crt.h"
#include "plat/sim.h"

namespace testing_support {

namespace {
constexpr const char* kHostClass = "GameTableHost";
}  // namespace

void GameTableTest::SetUp() {
  CDorvik2VWS::ResetControls();
  plat::sim::ResetDisplay(plat::sim::DisplayFormat::Rgb565);
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = kHostClass;
  RegisterClassA(&wc);
  hostWnd =
      CreateWindowExA(0, kHostClass, "host", WS_POPUP | WS_VISIBLE, 0, 0, 820, 620, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hostWnd, nullptr);
  ASSERT_EQ(CreateGameWnd(&host, &client), 0);
  wnd = dynamic_cast<CDorvik2Wnd*>(client);
}

void GameTableTest::TearDown() {
  if (client) DestroyGameWnd(client);
  plat::sim::ClearFaults();
  plat::sim::ResetWindowSystem();
}

void GameTableTest::MakeTable(int32_t threaded) {
  ASSERT_NE(InitGameWnd(client, 0, hostWnd, u"G\\", u"P\\", u"", 0, 0, 0, 0, threaded), nullptr);
  scene = wnd->Scene();
  ASSERT_NE(scene, nullptr);
  scene->MyUser().userNo = kMe;
  scene->MyUser().userId = kMyId;
  if (!threaded) {
    Pump();
    ASSERT_NE(wnd->LoaderThread(), nullptr);
    ASSERT_EQ(WaitForSingleObject(wnd->LoaderThread(), 10000), WAIT_OBJECT_0);
  }
}

void GameTableTest::Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

void GameTableTest::SeatMe(int32_t seat) {
  PlayerInfo& p = scene->GetPlayer(seat);
  p.userNo = kMe;
  p.userId = kMyId;
}

void GameTableTest::SeatOther(int32_t seat) {
  PlayerInfo& p = scene->GetPlayer(seat);
  p.userNo = kOther;
  p.userId = kOtherId;
}

void GameTableTest::SeatRobot(int32_t seat) { scene->GetPlayer(seat).SetRobot(kRobot, "robot"); }

void GameTableTest::StartPhase(int32_t phase) {
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  scene->StartGameTimer(CDorvik2VWS::kTurnTimer, phase);
}

std::vector<BYTE> GameTableTest::Block(const HostMessage& msg) {
  IXBuf* buf = CreateXBuf(nullptr);
  EXPECT_NE(buf, nullptr);
  EXPECT_EQ(WriteHostMessage(msg, buf), 1);
  std::vector<BYTE> bytes(buf->GetData(), buf->GetData() + buf->GetLength());
  buf->Release();
  return bytes;
}

int32_t GameTableTest::Receive(const std::vector<BYTE>& block) {
  auto length = static_cast<int32_t>(block.size());
  return client->OnReceive(0, 0, block.data(), &length);
}

std::string GameTableTest::Words(std::initializer_list<int64_t> words) {
  std::string out;
  for (int64_t w : words) {
    const auto u = static_cast<uint32_t>(w);
    for (int shift = 0; shift < 32; shift += 8) {
      if (!out.empty()) out += ' ';
      out += plat::FormatString("%02X", (u >> shift) & 0xFFu);
    }
  }
  return out;
}

std::vector<MSG> GameTableTest::PostedToHost(UINT message) const {
  std::vector<MSG> out;
  for (const MSG& m : plat::sim::PostedMessages(hostWnd))
    if (m.message == message) out.push_back(m);
  return out;
}

}  // namespace testing_support
