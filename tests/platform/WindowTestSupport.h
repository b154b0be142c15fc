#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "plat/sim.h"
#include "plat/user.h"

namespace window_test {

struct Rec {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// Messages every recording window saw, in order.
std::vector<Rec>& Log();
// Messages of one kind, or of a window, from the log.
std::vector<UINT> MessagesOf(HWND hwnd);
std::vector<Rec> Only(UINT msg);
// What a recording window answers instead of DefWindowProcA (nullopt: default).
using Answer = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;
void SetAnswer(Answer answer);

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

inline HINSTANCE TestInstance() { return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x4000)); }
constexpr const char* kRecorder = "RecorderWnd";      // CS_DBLCLKS, no brush
constexpr const char* kPlain = "PlainRecorderWnd";    // no double clicks, white brush

// The layer clock's 32-bit millisecond view, as messages carry it.
DWORD NowTick();
// Dispatches everything queued for this thread.
void PumpAll();

class WindowTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A visible top-level window of the recording class.
  HWND MakeTop(int x, int y, int w, int h, const char* cls = kRecorder, DWORD style = WS_POPUP | WS_VISIBLE);
  HWND MakeChild(HWND parent, int x, int y, int w, int h, int id = 0, const char* cls = kRecorder,
                 DWORD style = WS_CHILD | WS_VISIBLE);
};

}  // namespace window_test
