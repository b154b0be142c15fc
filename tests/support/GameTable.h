// A game window as a host makes it (recording host, host window, synchronous build),
// with the table set as a test needs it: this client and an opponent or a robot in
// the seats, a mode and a turn phase. Sent commands read back as hex words.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "host/HostMessage.h"
#include "scene/CDorvik2VWS.h"
#include "support/HostWindowFixture.h"
#include "support/SceneTraceRecorder.h"

namespace testing_support {

// The bytes of a host message as the host hands them over.
std::vector<BYTE> HostMessageBlock(const HostMessage& msg);

// The game's whole back buffer after a full redraw, row by row without the padding;
// empty when it cannot be read.
std::vector<uint8_t> TableBytes(CDorvik2Wnd* wnd);

class GameTableTest : public HostWindowFixture {
 public:
  // Runs the window thread's pending messages (the kick after the build among them).
  static void Pump();
  // The layer queues injected input; the window thread runs it before the test reads on.
  template <class F>
  static void RunInjected(F inject) {
    inject();
    Pump();
  }

 protected:
  static constexpr int32_t kMe = 7;
  static constexpr int32_t kOther = 9;
  static constexpr int32_t kRobot = -5;
  static constexpr const char* kMyId = "me";
  static constexpr const char* kOtherId = "you";
  void SetUp() override;
  // Makes and initialises the game window (0 synchronous, 1 threaded build).
  void MakeTable(int32_t threaded = 0);
  // This client's number is kMe; seats it, the opponent or a robot.
  void SeatMe(int32_t seat = 0);
  void SeatOther(int32_t seat = 1);
  void SeatRobot(int32_t seat = 1);
  // Me in seat 0 at the bottom of the screen, the opponent in seat 1 at the top.
  void SeatBothPlayers();
  // A synchronous build with both players seated; the host's record and the trace start
  // empty.
  void MakeSeatedTable();
  template <uint32_t Code, class T>
  void Send(const T& record) {
    Receive(Block(HostMessage::Make<Code>(record)));
  }
  std::vector<std::string> Sent() const { return host.SentBytes(); }
  // My deal of one fixed hand and floor, without a bonus card.
  void Deal();
  // The host's transcript lines of one slot.
  std::vector<std::string> Lines(HostSlot slot) const;
  static GPoint Centre(GVWnd* w);
  // This client's room entry of `kind` (0 watching, 1 seated, 2 back in its game), of
  // the version the scene accepts.
  static RoomEnterMsg MyEntry(int32_t kind);
  // Mode 2 with the turn countdown running in `phase`.
  void StartPhase(int32_t phase);
  static std::vector<BYTE> Block(const HostMessage& msg) { return HostMessageBlock(msg); }
  int32_t Receive(const std::vector<BYTE>& block);
  // Little-endian 32-bit words in hex: Words({12, 1}) = "0C 00 00 00 01 00 00 00".
  static std::string Words(std::initializer_list<int64_t> words);
  // A transcript line written in the test as UTF-8 (test literals are CP949 bytes).
  static std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }
  IClientInterface* client = nullptr;
  CDorvik2Wnd* wnd = nullptr;
  CDorvik2VWS* scene = nullptr;
  // Installed in the scene as soon as it is made (before a synchronous build).
  SceneTraceRecorder trace;
};

}  // namespace testing_support
