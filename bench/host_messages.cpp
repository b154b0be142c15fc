// Cost of taking in the host messages of one plain two-player game the way the
// game window does (buffer, read, queue a copy, destroy, release), beside a
// memcpy of the same blocks as the reference. Figures are reported, not asserted.
#include <benchmark/benchmark.h>

#include <cstring>
#include <list>
#include <string>
#include <vector>

#include "host/HostMessage.h"

namespace {

constexpr int32_t kMe = 1001;
constexpr int32_t kOther = 1002;

std::string Block(const HostMessage& msg) {
  IXBuf* buf = CreateXBuf(nullptr);
  WriteHostMessage(msg, buf);
  std::string bytes(reinterpret_cast<const char*>(buf->GetData()), buf->GetLength());
  buf->Release();
  return bytes;
}

template <uint32_t Code, class R>
void Add(std::vector<std::string>& game, const R& record) {
  game.push_back(Block(HostMessage::Make<Code>(record)));
}

PlayerInfo Seated(int32_t userNo) {
  PlayerInfo p;
  p.userNo = userNo;
  p.money = 1000000;
  return p;
}

// One game with the least each message needs: entry, two joins, the first-player
// selection, the deal, twenty turns, go or stop, stop, result and settlement.
std::vector<std::string> OneGame() {
  std::vector<std::string> game;
  RoomEnterMsg enter;
  enter.clientVersion = kClientVersion;
  enter.myUser = Seated(kMe);
  enter.entryKind = 1;
  enter.room.roomNo = 7;
  enter.room.sceneMode = 1;
  enter.stakePerPoint = 1000;
  enter.entryUserNo = kMe;
  Add<HM_ROOM_ENTER>(game, enter);
  for (int32_t seat = 0; seat < 2; ++seat) {
    JoinGameMsg join;
    join.userNo = seat == 0 ? kMe : kOther;
    join.seat = seat;
    join.player = Seated(join.userNo);
    Add<HM_JOIN_GAME>(game, join);
  }
  WaitingStateMsg waiting;
  waiting.userNo = kMe;
  waiting.stakePerPoint = 1000;
  Add<HM_BACK_TO_WAITING>(game, waiting);
  Add<HM_SUN_SELECT>(game, SunSelectMsg{.pickCount = 12});
  Add<HM_SUN_PICK>(game, SunPickMsg{.userNo = kMe, .pickSlot = 3, .cardId = 12});
  Add<HM_SUN_PICK>(game, SunPickMsg{.userNo = kOther, .pickSlot = 8, .cardId = 30});
  Add<HM_SUN_DECIDED>(game, SunDecidedMsg{.userNo = kMe});
  DealMsg deal;
  deal.userNo = kMe;
  for (int32_t i = 0; i < 10; ++i) {
    deal.handCards.push_back(i * 4);
  }
  for (int32_t i = 0; i < 8; ++i) {
    deal.floorCards.push_back(i * 4 + 1);
  }
  Add<HM_DEAL>(game, deal);
  for (int32_t turn = 0; turn < 20; ++turn) {
    const int32_t user = turn % 2 == 0 ? kMe : kOther;
    Add<HM_TURN>(game, TurnMsg{.userNo = user});
    Add<HM_BOMB>(game, BombMsg{.userNo = user, .cards = {turn * 2}});
    Add<HM_LAY_CARDS>(game, LayCardsMsg{.userNo = user, .bonusFlag = 0, .cards = {turn * 2 + 1}, .seatValue = 0});
    CaptureMsg capture;
    capture.userNo = user;
    capture.floorCards = {turn, turn + 20};
    Add<HM_CAPTURE>(game, capture);
    ScoreUpdateMsg score;
    score.points.at(0) = turn / 2;
    score.points.at(1) = turn / 3;
    Add<HM_SCORE_UPDATE>(game, score);
  }
  Add<HM_ASK_GO_OR_STOP>(game, AskGoOrStopMsg{.userNo = kMe, .points = 7});
  Add<HM_STOP_DECLARED>(game, StopMsg{.userNo = kMe});
  GameResultMsg result;
  result.winnerUser = kMe;
  result.itemOfferAmount.at(0) = 1LL << 40;
  result.itemOfferAmount.at(1) = 1LL << 40;
  Add<HM_GAME_RESULT>(game, result);
  SettlementMsg settlement;
  settlement.resultCode = 1;
  settlement.winnerUser = kMe;
  settlement.firstSeatUser = kMe;
  Add<HM_SETTLEMENT>(game, settlement);
  return game;
}

size_t TotalBytes(const std::vector<std::string>& game) {
  size_t total = 0;
  for (const std::string& block : game) {
    total += block.size();
  }
  return total;
}

void BM_ReceiveGameMessages(benchmark::State& state) {
  const std::vector<std::string> game = OneGame();
  std::list<HostMessage> queue;
  for (auto _ : state) {
    for (const std::string& block : game) {
      IXBuf* buf = CreateXBuf(nullptr);
      buf->Append(block.data(), static_cast<uint32_t>(block.size()));
      HostMessage msg;
      benchmark::DoNotOptimize(ReadHostMessage(msg, buf));
      queue.push_back(msg);
      DestroyHostMessage(msg);
      buf->Release();
      queue.pop_front();
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(game.size()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(TotalBytes(game)));
  state.counters["blocks"] = static_cast<double>(game.size());
  state.counters["bytes_per_game"] = static_cast<double>(TotalBytes(game));
}
BENCHMARK(BM_ReceiveGameMessages);

void BM_MemcpyGameBlocks(benchmark::State& state) {
  const std::vector<std::string> game = OneGame();
  std::vector<char> dest(4096);
  for (auto _ : state) {
    for (const std::string& block : game) {
      std::memcpy(dest.data(), block.data(), block.size());
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(game.size()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(TotalBytes(game)));
}
BENCHMARK(BM_MemcpyGameBlocks);

}  // namespace
