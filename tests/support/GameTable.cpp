#include "support/GameTable.h"

#include "base/DDSurfaceUtil.h"
#include "host/Dorvik2Api.h"
#include "host/GameFlowRecords.h"
#include "host/IXBuf.h"
#include "plat/crt.h"
#include "plat/sim.h"
#include "widgets/GDDScreen.h"

namespace testing_support {

std::vector<uint8_t> TableBytes(CDorvik2Wnd* wnd) {
  CDorvik2VWS* scene = wnd->Scene();
  scene->SetFullRedraw();
  scene->MarkDirty();
  scene->Draw(nullptr, GRect());
  const DDSurface back = wnd->Screen()->BackBuffer();
  DDSURFACEDESC2 desc;
  InitSurfaceDesc(desc);
  if (FAILED(LockSurface(back, &desc, DDLOCK_WAIT | DDLOCK_READONLY))) return {};
  const size_t row = size_t(desc.dwWidth) * desc.ddpfPixelFormat.dwRGBBitCount / 8;
  std::vector<uint8_t> bytes;
  for (DWORD y = 0; y < desc.dwHeight; ++y) {
    const auto* from = static_cast<const uint8_t*>(desc.lpSurface) + ptrdiff_t(y) * desc.lPitch;
    bytes.insert(bytes.end(), from, from + row);
  }
  UnlockSurface(back, nullptr);
  return bytes;
}

void GameTableTest::SetUp() {
  HostWindowFixture::SetUp();
  client = Make();
  ASSERT_NE(client, nullptr);
  wnd = Wnd(client);
}

void GameTableTest::MakeTable(int32_t threaded) {
  ASSERT_NE(Init(client, threaded), nullptr);
  scene = wnd->Scene();
  ASSERT_NE(scene, nullptr);
  // A threaded build reads the trace on the loader thread: such a test installs it itself.
  if (!threaded) scene->SetTrace(&trace);
  scene->MyUser().userNo = kMe;
  scene->MyUser().userId = kMyId;
  if (!threaded) {
    Pump();
    WaitForLoader(wnd);
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

void GameTableTest::SeatBothPlayers() {
  SeatMe(0);
  SeatOther(1);
  scene->GetPlayer(0).screenPos = 0;
  scene->GetPlayer(1).screenPos = 1;
}

void GameTableTest::MakeSeatedTable() {
  MakeTable();
  SeatBothPlayers();
  host.Clear();
  trace.Clear();
}

std::vector<std::string> GameTableTest::Lines(HostSlot slot) const {
  std::vector<std::string> out;
  for (const auto& call : host.CallsTo(slot)) out.push_back(call.line);
  return out;
}

GPoint GameTableTest::Centre(GVWnd* w) {
  const GRect r = w->GetRect();
  return GPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

RoomEnterMsg GameTableTest::MyEntry(int32_t kind) {
  RoomEnterMsg msg;
  msg.clientVersion = kClientVersion;
  msg.myUser.userNo = kMe;
  msg.myUser.userId = kMyId;
  msg.entryKind = kind;
  return msg;
}

void GameTableTest::StartPhase(int32_t phase) {
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  scene->StartGameTimer(CDorvik2VWS::kTurnTimer, phase);
}

std::vector<BYTE> HostMessageBlock(const HostMessage& msg) {
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

void GameTableTest::Deal() {
  DealMsg deal;
  deal.userNo = kMe;
  deal.handCards = {40, 3, 22, 9, 1, 17, 33, 5, 28, 12};
  deal.floorCards = {0, 4, 8, 13, 16, 20, 24, 29};
  Send<HM_DEAL>(deal);
}

}  // namespace testing_support
