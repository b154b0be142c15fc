// The real clock's script: the socket window, the input queue, the windows of the
// expectations, the captures around checkpoints and the boxes' answers.
#include "tools/winhost/RealTimeRunner.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>

#include "plat/codepage.h"
#include "plat/crt.h"
#include "tools/winhost/ScreenCapture.h"
#include "tools/winhost/ThreadDialogs.h"

namespace winhost {

namespace {

constexpr const char* kSocketClassName = "Dorvik2WinRunSocket";
// The socket window's own message: the script's clock has moved.
constexpr UINT kDueMessage = WM_APP + 1;

LRESULT CALLBACK SocketWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* runner = reinterpret_cast<RealTimeRunner*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (runner && (message == RealTimeRunner::kSocketMessage || message == kDueMessage)) {
    runner->SocketMessage(message);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

struct TimerTarget {
  HWND socket;
  std::atomic<bool>* posted;
};

void CALLBACK TimerFired(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  const auto* target = reinterpret_cast<const TimerTarget*>(user);
  // One due message at a time: a window thread busy in a long frame is not flooded.
  if (!target->posted->exchange(true)) PostMessageA(target->socket, kDueMessage, 0, 0);
}

TimerTarget g_timerTarget{};
RealTimeRunner* g_runner = nullptr;

LRESULT CALLBACK TakenMessage(int code, WPARAM removed, LPARAM message) {
  const auto* m = reinterpret_cast<const MSG*>(message);
  if (code == HC_ACTION && removed == PM_REMOVE && m->message == WM_LBUTTONDOWN && g_runner) g_runner->ButtonDown(m->hwnd);
  return CallNextHookEx(nullptr, code, removed, message);
}

}  // namespace

RealTimeRunner::RealTimeRunner(const testhost::Script& script, testhost::TimedHost& host,
                               testing_support::RecordingHost& recorder,
                               const std::vector<HostWindowMessage>& hostMessages, IClientInterface* client,
                               HWND gameWindow, std::function<int32_t()> destroy)
    : script_(script), host_(host), recorder_(recorder), client_(client), posted_(hostMessages), gameWnd_(gameWindow),
      destroy_(std::move(destroy)) {
  WNDCLASSA existing{};
  if (!GetClassInfoA(GetModuleHandleA(nullptr), kSocketClassName, &existing)) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = SocketWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kSocketClassName;
    RegisterClassA(&wc);
  }
  socket_ = CreateWindowExA(0, kSocketClassName, "socket", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(socket_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // The captures: around each checkpoint, and a frame every period.
  for (const testhost::ScriptEvent& e : script_.events) {
    if (e.verb != testhost::ScriptVerb::Checkpoint) continue;
    for (int offset : kCaptureOffsetsMs)
      captures_.push_back({uint32_t(std::max<int>(0, int(e.at) + offset)), e.text, offset});
  }
  for (uint32_t ms = kFramePeriodMs; ms < script_.events.back().at; ms += kFramePeriodMs) captures_.push_back({ms, "", 0});
  std::stable_sort(captures_.begin(), captures_.end(), [](const Capture& a, const Capture& b) { return a.at < b.at; });
}

RealTimeRunner::~RealTimeRunner() {
  if (timer_) timeKillEvent(timer_);
  if (hook_) UnhookWindowsHookEx(hook_);
  if (g_runner == this) g_runner = nullptr;
  host_.OnSend(nullptr);
  if (socket_) DestroyWindow(socket_);
}

void RealTimeRunner::NoteEvent(int line, int order, const std::string& what) {
  std::string text = "script";
  if (line > 0) text += " line " + std::to_string(line);
  if (line > 0 && size_t(line) <= script_.lines.size()) text += ": " + script_.lines[size_t(line) - 1];
  if (!what.empty()) text += (line > 0 ? " -> " : ": ") + what;
  notes_.push_back({GetTickCount(), order, std::move(text)});
}

void RealTimeRunner::Fail(int line, const std::string& what) {
  if (!failure_.empty()) return;
  failure_ = plat::FormatString("line %d at %u ms: ", line, Now()) + what;
  NoteEvent(line, 2, "failed: " + what);
}

// How late the input before `event` was fired: what the module answers comes as late.
uint32_t RealTimeRunner::InputLateness(size_t event) const {
  for (size_t i = std::min(event + 1, firedAt_.size()); i-- > 0;) {
    if (!script_.events[i].IsInput() || !firedAt_[i]) continue;
    const int32_t late = int32_t(firedAt_[i] - start_) - int32_t(script_.events[i].at);
    return late > 0 ? uint32_t(late) : 0;
  }
  return 0;
}

uint32_t RealTimeRunner::WindowEnd(size_t event) const {
  const uint32_t at = script_.events[event].at, late = InputLateness(event);
  for (size_t i = event + 1; i < script_.events.size(); ++i)
    if (script_.events[i].at > at) return script_.events[i].at + kLateMs + late;
  return at + kLateMs + late;
}

bool RealTimeRunner::InWindow(DWORD tick, size_t event) const {
  const int64_t ms = int64_t(tick) - int64_t(start_);
  return ms + int64_t(kEarlyMs) >= int64_t(script_.events[event].at) && ms <= int64_t(WindowEnd(event));
}

std::string RealTimeRunner::Window(size_t event) const {
  return plat::FormatString("from %d to %u ms", int(script_.events[event].at) - int(kEarlyMs), WindowEnd(event));
}

bool RealTimeRunner::Run(std::string& failure, const std::function<void()>& beforeDestroy) {
  for (const auto& [code, answer] : script_.setup.events) recorder_.ScriptEvent(code, answer);
  host_.OnSend([this](const uint8_t* data, int32_t length) { OnSend(data, length); });
  // The keys go where the system's focus is: the host is the active window, as a
  // person's host is when they play.
  SetForegroundWindow(GetAncestor(gameWnd_, GA_ROOT));
  start_ = GetTickCount();
  firedAt_.assign(script_.events.size(), 0);
  g_runner = this;
  hook_ = SetWindowsHookExA(WH_GETMESSAGE, TakenMessage, nullptr, GetCurrentThreadId());
  g_timerTarget = {socket_, &duePosted_};
  timeBeginPeriod(1);
  timer_ = timeSetEvent(kTickMs, 1, TimerFired, reinterpret_cast<DWORD_PTR>(&g_timerTarget), TIME_PERIODIC);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  MSG m;
  while (failure_.empty() && !(ended_ && Now() >= endAt_ + kLateMs && nextCheck_ == checks_.size())) {
    if (GetMessageA(&m, nullptr, 0, 0) <= 0) break;
    TranslateMessage(&m);
    const bool gameTick = m.hwnd == gameWnd_ && m.message == WM_TIMER;
    LARGE_INTEGER before, after;
    QueryPerformanceCounter(&before);
    DispatchMessageA(&m);
    QueryPerformanceCounter(&after);
    if (gameTick) tickDispatchMs_.push_back(double(after.QuadPart - before.QuadPart) * 1000.0 / double(frequency.QuadPart));
  }
  timeKillEvent(timer_);
  timer_ = 0;
  timeEndPeriod(1);
  const testhost::ScriptEvent& last = script_.events.back();
  if (failure_.empty()) {
    if (nextCommand_ < script_.commands.size()) {
      const testhost::ScriptEvent& missing = script_.events[script_.commands[nextCommand_]];
      Fail(missing.line, "command " + testhost::HexBytes(missing.bytes.data(), missing.bytes.size()) + " was not sent");
    }
    if (nextAnswer_ < script_.answers.size())
      Fail(script_.events[script_.answers[nextAnswer_]].line, "no box came for this answer");
    if (const auto wordless = recorder_.WordlessButtonStates(); !wordless.empty())
      Fail(last.line, "a button state without its word: " + wordless.front());
  }
  if (failure_.empty() && beforeDestroy) beforeDestroy();
  host_.OnSend(nullptr);
  const int32_t destroyed = destroy_();
  if (destroyed != 0) Fail(last.line, "the game window did not close cleanly");
  failure = failure_;
  return failure_.empty();
}

std::vector<RealTimeRunner::SoundLate> RealTimeRunner::SoundLateness() const {
  std::vector<SoundLate> out;
  for (const testhost::ScriptSound& sound : script_.setup.sounds) {
    // The input the sound may follow: the last one at or before its time; the script's
    // start when none is.
    DWORD from = start_;
    uint32_t fromAt = 0;
    for (size_t i = 0; i < script_.events.size() && script_.events[i].at <= sound.at; ++i) {
      if (!script_.events[i].IsInput()) continue;
      if (!firedAt_[i]) return {};
      from = firedAt_[i];
      fromAt = script_.events[i].at;
    }
    const uint32_t firedLate = uint32_t(std::max<int32_t>(0, int32_t(from - start_) - int32_t(fromAt)));
    out.push_back({sound.at, firedLate, sound.name});
  }
  return out;
}

void RealTimeRunner::SocketMessage(UINT message) {
  if (message == kDueMessage) {
    duePosted_ = false;
    Due();
    return;
  }
  if (nextInbound_ >= inbound_.size() || !client_) return;
  std::vector<uint8_t> block = std::move(inbound_[nextInbound_++]);
  auto length = static_cast<int32_t>(block.size());
  client_->OnReceive(0, 0, block.data(), &length);
}

// Everything whose time has come, in script order. Nothing here waits or dispatches
// messages, so a modal loop the module runs keeps the script going.
void RealTimeRunner::Due() {
  const uint32_t now = Now();
  while (nextEvent_ < script_.events.size() && script_.events[nextEvent_].at <= now) {
    const size_t index = nextEvent_++;
    const testhost::ScriptEvent& e = script_.events[index];
    switch (e.verb) {
      case testhost::ScriptVerb::ExpectCmd: break;  // checked as the command comes
      case testhost::ScriptVerb::ExpectHost:
      case testhost::ScriptVerb::ExpectPost:
      case testhost::ScriptVerb::ExpectBox: checks_.push_back({index, WindowEnd(index)}); break;
      case testhost::ScriptVerb::Box: break;  // given when its box waits
      case testhost::ScriptVerb::Checkpoint: NoteEvent(e.line, 0, ""); break;
      case testhost::ScriptVerb::End:
        ended_ = true;
        endAt_ = e.at;
        NoteEvent(e.line, 0, "");
        break;
      default:
        firedAt_[index] = GetTickCount();
        Fire(e);
        break;
    }
  }
  while (nextCapture_ < captures_.size() && captures_[nextCapture_].at <= now) {
    const Capture& c = captures_[nextCapture_++];
    frames_.push_back({Now(), c.checkpoint, c.offsetMs, CaptureScreenOf(gameWnd_)});
    if (frames_.back().picture.width <= 0) Fail(script_.events.back().line, "the screen could not be read");
  }
  while (nextCheck_ < checks_.size() && checks_[nextCheck_].due <= now) Check(checks_[nextCheck_++].event);
  ClickAgainIfLost();
  AnswerBoxes();
}

void RealTimeRunner::ButtonDown(HWND window) {
  if (click_ && (window == gameWnd_ || IsChild(gameWnd_, window))) click_->reached = true;
}

void RealTimeRunner::ClickAgainIfLost() {
  if (!click_) return;
  if (click_->reached || click_->tries >= kClickTries) {
    click_.reset();
    return;
  }
  if (GetTickCount() - click_->firedAt < kClickReachMs) return;
  const testhost::ScriptEvent& e = script_.events[click_->event];
  NoteEvent(e.line, 0, "no press of the click reached the game: sent again");
  click_->firedAt = GetTickCount();
  ++click_->tries;
  Pointer(e, MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP);
}

void RealTimeRunner::Fire(const testhost::ScriptEvent& e) {
  NoteEvent(e.line, 0, "");
  switch (e.verb) {
    case testhost::ScriptVerb::Msg:
      inbound_.push_back(e.bytes);
      PostMessageA(socket_, kSocketMessage, 0, 0);
      break;
    case testhost::ScriptVerb::KeyDown: Key(e.x, true); break;
    case testhost::ScriptVerb::KeyUp: Key(e.x, false); break;
    case testhost::ScriptVerb::Click:
      click_ = PendingClick{size_t(&e - script_.events.data()), GetTickCount(), 1, false};
      Pointer(e, MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP);
      break;
    case testhost::ScriptVerb::Move: Pointer(e, 0); break;
    case testhost::ScriptVerb::Press: Pointer(e, MOUSEEVENTF_LEFTDOWN); break;
    case testhost::ScriptVerb::Release: Pointer(e, MOUSEEVENTF_LEFTUP); break;
    default: break;
  }
}

// The pointer goes to the place (the module reads the cursor's position as well as its
// messages' coordinates), then the buttons, as a mouse gives them. The move goes into the
// input queue with the buttons, ahead of them: a cursor set only beside the queue may be
// taken after a click already queued on a loaded machine, which the module then reads
// where the pointer was before.
void RealTimeRunner::Pointer(const testhost::ScriptEvent& e, DWORD buttons) {
  POINT p{e.x, e.y};
  ClientToScreen(gameWnd_, &p);
  SetCursorPos(p.x, p.y);
  INPUT in[3] = {};
  in[0].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  // The whole screen is 0 to 65535 on each axis, its last pixel at 65535.
  in[0].mi.dx = MulDiv(p.x, 65535, std::max(1, GetSystemMetrics(SM_CXSCREEN) - 1));
  in[0].mi.dy = MulDiv(p.y, 65535, std::max(1, GetSystemMetrics(SM_CYSCREEN) - 1));
  UINT count = 1;
  for (DWORD flag : {DWORD(MOUSEEVENTF_LEFTDOWN), DWORD(MOUSEEVENTF_LEFTUP)}) {
    if (!(buttons & flag)) continue;
    in[count].type = INPUT_MOUSE;
    in[count].mi.dwFlags = flag;
    ++count;
  }
  SendInput(count, in, sizeof(INPUT));
}

void RealTimeRunner::Key(int vk, bool down) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = static_cast<WORD>(vk);
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(static_cast<UINT>(vk), MAPVK_VK_TO_VSC));
  const bool extended = vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN;
  in.ki.dwFlags = (down ? 0 : KEYEVENTF_KEYUP) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
  SendInput(1, &in, sizeof in);
}

void RealTimeRunner::OnSend(const uint8_t* data, int32_t length) {
  const std::string actual = testhost::HexBytes(data, size_t(std::max(length, 0)));
  if (nextCommand_ >= script_.commands.size()) {
    Fail(script_.events.back().line, "unexpected command " + actual);
    return;
  }
  const size_t index = script_.commands[nextCommand_++];
  const testhost::ScriptEvent& e = script_.events[index];
  const std::string expected = testhost::HexBytes(e.bytes.data(), e.bytes.size());
  std::string differs = actual == expected ? "" : "command " + actual + ", expected " + expected;
  if (differs.empty() && !InWindow(GetTickCount(), index)) differs = "command came outside its window, " + Window(index);
  if (!differs.empty()) Fail(e.line, differs);
  NoteEvent(e.line, 2, differs.empty() ? "command as expected" : differs);
}

void RealTimeRunner::Check(size_t index) {
  const testhost::ScriptEvent& e = script_.events[index];
  switch (e.verb) {
    case testhost::ScriptVerb::ExpectHost: {
      const auto seen = host_.TimedCalls();
      while (hostCall_ < seen.size() &&
             !(seen[hostCall_].second.ToString() == e.text && InWindow(seen[hostCall_].first, index)))
        ++hostCall_;
      if (hostCall_ >= seen.size()) {
        Fail(e.line, "no host call " + e.text + " " + Window(index));
        return;
      }
      ++hostCall_;
      NoteEvent(e.line, 2, "host call seen");
      break;
    }
    case testhost::ScriptVerb::ExpectPost: {
      while (postSeen_ < posted_.size() &&
             !(testhost::DescribeHostMessage(posted_[postSeen_].message, posted_[postSeen_].wParam,
                                             posted_[postSeen_].lParam) == e.text &&
               InWindow(posted_[postSeen_].tick, index)))
        ++postSeen_;
      if (postSeen_ >= posted_.size()) {
        Fail(e.line, "no post " + e.text + " " + Window(index));
        return;
      }
      ++postSeen_;
      NoteEvent(e.line, 2, "post seen");
      break;
    }
    case testhost::ScriptVerb::ExpectBox:
      // The box draws its texts itself; the screen gives no text back, so a box's
      // coming is what is checked here.
      if (boxSeen_ >= boxes_.size()) {
        Fail(e.line, "no box came " + Window(index));
        return;
      }
      ++boxSeen_;
      NoteEvent(e.line, 2, "box seen");
      break;
    default: break;
  }
}

// New boxes take the script's next answer; an answer is given once its time has come,
// and every box is closed once the script has failed, so that the run can end.
void RealTimeRunner::AnswerBoxes() {
  const std::vector<HWND> open = winhost::VisibleDialogsOfThisThread();
  for (HWND box : open) {
    if (std::find(boxes_.begin(), boxes_.end(), box) != boxes_.end()) continue;
    boxes_.push_back(box);
    NoteEvent(0, 2, "a box opened");
  }
  if (!open.empty() && !failure_.empty()) {
    Key(VK_ESCAPE, true);
    Key(VK_ESCAPE, false);
    return;
  }
  if (open.empty() || nextAnswer_ >= script_.answers.size()) return;
  const testhost::ScriptEvent& answer = script_.events[script_.answers[nextAnswer_]];
  if (answer.text == "wait" || Now() < answer.at) return;
  ++nextAnswer_;
  NoteEvent(answer.line, 0, "box answered " + answer.text);
  const int vk = answer.text == "no" ? VK_ESCAPE : VK_RETURN;
  Key(vk, true);
  Key(vk, false);
}

}  // namespace winhost
