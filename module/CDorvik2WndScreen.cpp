// The game window's screen operations without a screen: window creation marks the
// screen as owned and makes none, painting validates and stops, and a rebuild
// answers what a test set. The DirectDraw screen replaces this file.
#include <atomic>

#include "module/CDorvik2Wnd.h"
#include "module/ScreenStub.h"
#include "scene/CDorvik2VWS.h"

namespace {
std::atomic<int32_t>& RestoreResult() {
  static auto* result = new std::atomic<int32_t>(1);
  return *result;
}
}  // namespace

void screen_stub::SetRestoreResult(int32_t result) { RestoreResult().store(result); }

int32_t CDorvik2Wnd::BuildScreen() { return 1; }

void CDorvik2Wnd::ReleaseScreen() { screen_ = nullptr; }

int32_t CDorvik2Wnd::RestoreScreen() { return RestoreResult().load(); }

// Without a screen there is no clipper; the call is kept for the order it runs in.
void CDorvik2Wnd::AttachClipper() {
  if (scene_) scene_->RecordCall("AttachClipper");
}

void CDorvik2Wnd::OnScreenReady(int32_t) {}

LRESULT CDorvik2Wnd::OnPaint(WPARAM) {
  PAINTSTRUCT ps{};
  BeginPaint(Handle(), &ps);
  EndPaint(Handle(), &ps);
  // Without a screen there is nothing to present.
  return 0;
}
