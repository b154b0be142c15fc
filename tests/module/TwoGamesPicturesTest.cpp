// Two games of one folder in one host window each draw the table a game alone draws:
// side by side, whichever handed its screen over last, and the next table made inside
// the first game's room notice. Each game's pictures are made with its own DirectDraw
// object; one made with the other game's could not be blitted onto its back buffer.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "host/EntryRecords.h"
#include "host/HostMessage.h"
#include "module/CDorvik2Wnd.h"
#include "scene/CDorvik2VWS.h"
#include "support/GameTable.h"
#include "support/HostWindowFixture.h"
#include "support/RecordingHost.h"

namespace {

using testing_support::RecordingHost;
using Bytes = std::vector<uint8_t>;
using testing_support::TableBytes;

size_t Differing(const Bytes& a, const Bytes& b) {
  if (a.size() != b.size()) return std::max(a.size(), b.size());
  size_t n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i] ? 1 : 0;
  return n;
}

// Ends its game inside the room notice and makes the next one there.
class EndsAndMakesNextHost : public RecordingHost {
 public:
  IClientInterface* game = nullptr;
  std::function<void()> makeNext;
  int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) override {
    const int32_t answer = RecordingHost::NotifyEvent(userNo, code, data, value);
    if (code && *code == 0 && !ended_.exchange(true)) {
      DestroyGameWnd(game);
      if (makeNext) makeNext();
    }
    return answer;
  }

 private:
  std::atomic<bool> ended_{false};
};

class TwoGamesPicturesTest : public testing_support::HostWindowFixture {
 protected:
  void TearDown() override {
    for (IClientInterface* c : games_) DestroyGameWnd(c);
    HostWindowFixture::TearDown();
  }
  IClientInterface* Built(IHostInterface* gameHost) {
    IClientInterface* client = nullptr;
    EXPECT_EQ(CreateGameWnd(gameHost, &client), 0);
    if (!client) return nullptr;
    games_.push_back(client);
    EXPECT_NE(Init(client, 1), nullptr);
    WaitForLoader(Wnd(client));
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    return client;
  }
  int32_t End(IClientInterface* client) {
    std::erase(games_, client);
    return DestroyGameWnd(client);
  }
  // The table a game of the folder draws with no other game alive.
  Bytes AloneTable() {
    RecordingHost aloneHost;
    IClientInterface* alone = Built(&aloneHost);
    const Bytes bytes = TableBytes(Wnd(alone));
    EXPECT_EQ(End(alone), 0);
    EXPECT_GT(bytes.size(), 800u * 600u);
    return bytes;
  }
  std::vector<IClientInterface*> games_;
};

TEST_F(TwoGamesPicturesTest, TwoGamesOfOneFolderSideBySideEachDrawTheTableAGameAloneDraws) {
  const Bytes alone = AloneTable();
  RecordingHost firstHost, secondHost;
  IClientInterface* first = Built(&firstHost);
  IClientInterface* second = Built(&secondHost);
  const Bytes secondTable = TableBytes(Wnd(second));
  EXPECT_TRUE(secondTable == alone) << Differing(secondTable, alone) << " of " << alone.size()
                                    << " bytes differ in the second game's table";
  const Bytes firstTable = TableBytes(Wnd(first));
  EXPECT_TRUE(firstTable == alone) << Differing(firstTable, alone) << " bytes differ in the first game's table";

  // The first loads again after the second's hand-over: what it makes is its own.
  first->ResetRoomView(0);
  second->ResetRoomView(0);
  const Bytes firstAgain = TableBytes(Wnd(first)), secondAgain = TableBytes(Wnd(second));
  EXPECT_TRUE(firstAgain == secondAgain) << Differing(firstAgain, secondAgain) << " bytes differ after the reset";
  EXPECT_EQ(End(second), 0);
  EXPECT_EQ(End(first), 0);
}

TEST_F(TwoGamesPicturesTest, TheNextTableMadeInsideTheFirstsRoomNoticeDrawsTheTableAGameAloneDraws) {
  const Bytes alone = AloneTable();
  EndsAndMakesNextHost firstHost;
  RecordingHost nextHost;
  IClientInterface* first = nullptr;
  ASSERT_EQ(CreateGameWnd(&firstHost, &first), 0);
  firstHost.game = first;
  ASSERT_NE(Init(first, 0), nullptr);
  IClientInterface* next = nullptr;
  firstHost.makeNext = [&] {
    ASSERT_EQ(CreateGameWnd(&nextHost, &next), 0);
    games_.push_back(next);
    ASSERT_NE(Init(next, 0), nullptr);
  };
  RoomEnterMsg entry;
  entry.clientVersion = kClientVersion;
  entry.myUser.userNo = 7;
  entry.myUser.userId = "me";
  const std::vector<BYTE> block = testing_support::HostMessageBlock(HostMessage::Make<HM_ROOM_ENTER>(entry));
  auto length = static_cast<int32_t>(block.size());
  first->OnReceive(0, 0, block.data(), &length);
  ASSERT_NE(next, nullptr) << "the room entry raised no notice";

  const Bytes nextTable = TableBytes(Wnd(next));
  EXPECT_TRUE(nextTable == alone) << Differing(nextTable, alone) << " of " << alone.size()
                                  << " bytes differ in the next game's table";
  EXPECT_EQ(End(next), 0);
}

}  // namespace
