// The interfaces are called by slot number from a host built apart from the module:
// a slot added, removed or moved would send every later call to the wrong operation.
// These tests call through the raw slot table as such a host does.
#include "host/Dorvik2Api.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "support/RecordingHost.h"

using testing_support::HostSlot;
using testing_support::RecordingHost;

namespace {

// The slot table of an object of a class with virtual operations and no virtual
// destructor: its first word points at the operations in declaration order.
template <class Fn, class I>
Fn Slot(I* object, size_t index) {
  void** table = *reinterpret_cast<void***>(object);
  return reinterpret_cast<Fn>(table[index]);
}

TEST(HostInterfaceSlots, EachSlotReachesItsOperation) {
  RecordingHost recorder;
  IHostInterface* host = &recorder;
  BSTR text = SysAllocString(u"t");
  const BYTE byte = 0x2A;
  int32_t code = 9;
  int32_t value = 0;
  Slot<int32_t (*)(IHostInterface*, int32_t, int32_t, const BYTE*, int32_t)>(host, 0)(host, -1, 1, &byte, 1);
  Slot<int32_t (*)(IHostInterface*, BSTR, BSTR, BSTR*)>(host, 1)(host, text, text, nullptr);
  Slot<int32_t (*)(IHostInterface*, BSTR, uint32_t, BSTR)>(host, 2)(host, text, 2, text);
  Slot<int32_t (*)(IHostInterface*, uint32_t)>(host, 3)(host, 3);
  Slot<int32_t (*)(IHostInterface*, BSTR)>(host, 4)(host, text);
  Slot<int32_t (*)(IHostInterface*, BSTR, int32_t, int32_t, int32_t, BSTR, int32_t)>(host, 5)(host, text, 400, 0, 0,
                                                                                            text, 1);
  Slot<int32_t (*)(IHostInterface*, int32_t, int32_t, int32_t, int32_t)>(host, 6)(host, 1, 800, 600, 0);
  Slot<int32_t (*)(IHostInterface*, uint32_t, int32_t*, void*, int32_t*)>(host, 7)(host, 5, &code, nullptr, &value);
  SysFreeString(text);
  const auto calls = recorder.Calls();
  ASSERT_EQ(calls.size(), 8u);
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].slot, static_cast<HostSlot>(i)) << "slot " << i << " reached " << calls[i].ToString();
  }
  EXPECT_EQ(calls[0].ToString(), "Send(-1, 1, [2A], 1)");
  EXPECT_EQ(calls[6].ToString(), "RequestScreenMode(1, 800, 600, 0)");
}

// Records which operation each slot reached.
class SlotProbe final : public IClientInterface {
 public:
  std::vector<int> reached;
  int32_t STDMETHODCALLTYPE OnReceive(uint32_t, uint32_t, const BYTE*, int32_t*) override { return Hit(0); }
  int32_t STDMETHODCALLTYPE Reserved1(uint32_t) override { return Hit(1); }
  int32_t STDMETHODCALLTYPE Reserved2(uint32_t) override { return Hit(2); }
  int32_t STDMETHODCALLTYPE Reserved3(uint32_t, uint32_t) override { return Hit(3); }
  int32_t STDMETHODCALLTYPE SetPlayerAvatar(const char16_t*, const char16_t*) override { return Hit(4); }
  int32_t STDMETHODCALLTYPE SetPlayerDisplayName(const char16_t*, const char16_t*) override { return Hit(5); }
  int32_t STDMETHODCALLTYPE IsUserFree(const char16_t*, uint32_t, uint32_t) override { return Hit(6); }
  int32_t STDMETHODCALLTYPE SetUserValue(const char16_t*, const char16_t*) override { return Hit(7); }
  int32_t STDMETHODCALLTYPE RequestExit(uint32_t) override { return Hit(8); }
  int32_t STDMETHODCALLTYPE ResetRoomView(uint32_t) override { return Hit(9); }
  int32_t STDMETHODCALLTYPE RefreshScreen(uint32_t) override { return Hit(10); }
  int32_t STDMETHODCALLTYPE UserCommand(uint32_t, uint32_t, const char16_t*, uint32_t, uint32_t) override { return Hit(11); }
  int32_t STDMETHODCALLTYPE SetStatusText(const char16_t*) override { return Hit(12); }
  int32_t STDMETHODCALLTYPE SetScreenMode(int32_t, int32_t, int32_t, uint32_t) override { return Hit(13); }
  int32_t STDMETHODCALLTYPE OnHostEvent(uint32_t, int32_t*, void*, int32_t*) override { return Hit(14); }
  int32_t STDMETHODCALLTYPE Reserved15(uint32_t) override { return Hit(15); }

 private:
  int32_t Hit(int slot) {
    reached.push_back(slot);
    return slot;
  }
};

TEST(ClientInterfaceSlots, EachSlotReachesItsOperation) {
  SlotProbe probe;
  IClientInterface* client = &probe;
  const char16_t* t = u"x";
  int32_t n = 0;
  using U = uint32_t;
  using C = IClientInterface*;
  Slot<int32_t (*)(C, U, U, const BYTE*, int32_t*)>(client, 0)(client, 0, 0, nullptr, &n);
  Slot<int32_t (*)(C, U)>(client, 1)(client, 0);
  Slot<int32_t (*)(C, U)>(client, 2)(client, 0);
  Slot<int32_t (*)(C, U, U)>(client, 3)(client, 0, 0);
  Slot<int32_t (*)(C, const char16_t*, const char16_t*)>(client, 4)(client, t, t);
  Slot<int32_t (*)(C, const char16_t*, const char16_t*)>(client, 5)(client, t, t);
  Slot<int32_t (*)(C, const char16_t*, U, U)>(client, 6)(client, t, 0, 0);
  Slot<int32_t (*)(C, const char16_t*, const char16_t*)>(client, 7)(client, t, t);
  Slot<int32_t (*)(C, U)>(client, 8)(client, 0);
  Slot<int32_t (*)(C, U)>(client, 9)(client, 0);
  Slot<int32_t (*)(C, U)>(client, 10)(client, 0);
  Slot<int32_t (*)(C, U, U, const char16_t*, U, U)>(client, 11)(client, 15, 2, t, 0, 0);
  Slot<int32_t (*)(C, const char16_t*)>(client, 12)(client, t);
  Slot<int32_t (*)(C, int32_t, int32_t, int32_t, U)>(client, 13)(client, 1, 800, 600, 0);
  Slot<int32_t (*)(C, U, int32_t*, void*, int32_t*)>(client, 14)(client, 1, &n, nullptr, &n);
  Slot<int32_t (*)(C, U)>(client, 15)(client, 0);
  std::vector<int> expected(16);
  std::iota(expected.begin(), expected.end(), 0);
  EXPECT_EQ(probe.reached, expected);
}

}  // namespace
