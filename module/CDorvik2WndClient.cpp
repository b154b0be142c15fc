// What the host calls on the game window: each operation, inside a frame of the game
// (HostCall), converts its texts from UTF-16 and hands the work to the scene. Game
// messages are queued and dispatched only once the scene is ready, whatever thread
// builds it.
#include <cstring>
#include <string>

#include "module/CDorvik2Wnd.h"
#include "module/GameFrame.h"
#include "host/Dorvik2Messages.h"
#include "host/HostMessage.h"
#include "host/IXBuf.h"
#include "base/TextUtil.h"
#include "scene/CDorvik2VWS.h"

namespace {

constexpr uint32_t kKickCommand = 15;
constexpr LPARAM kCloseReasonUser = 1;

// Host event codes the game window answers.
enum HostEventCode : int32_t {
  kEventCardListReplace = 14,
  kEventCardListAdd = 15,
  kEventCardListRemove = 16,
  kEventHostValues = 22,
  kEventReportUser = 23,
  kEventNotice = 24,
  kEventObserveAnswer = 26,
  kEventButton = 27,
  kEventMemo = 28,
  kEventPresence = 29,
};

// Event 22's record read as 32-bit words: id in word 1, two 8-byte values in
// words 3-4 and 7-8, low word first.
constexpr size_t kHostValuesWords = 8;
constexpr size_t kHostValuesId = 0;
constexpr size_t kHostValuesA = 2;
constexpr size_t kHostValuesB = 6;

int64_t JoinWords(const uint32_t* words, size_t low) {
  return static_cast<int64_t>(static_cast<uint64_t>(words[low + 1]) << 32 | words[low]);
}

std::string EventText(const void* data) { return WideToMultiByte(static_cast<const char16_t*>(data)); }

// A buffer of the pool, given back on every way out.
class PooledBuffer {
 public:
  PooledBuffer() : buf_(CreateXBuf(nullptr)) {}
  ~PooledBuffer() {
    if (buf_) buf_->Release();
  }
  PooledBuffer(const PooledBuffer&) = delete;
  PooledBuffer& operator=(const PooledBuffer&) = delete;
  IXBuf* get() const { return buf_; }

 private:
  IXBuf* buf_;
};

}  // namespace

template <class Body>
int32_t CDorvik2Wnd::HostCall(int32_t otherwise, Body&& body) noexcept {
  try {
    const GameFrame frame(*this);
    if (!frame.Runs() || !scene_) return otherwise;
    return body();
  } catch (...) {
    // The frame has ended as the exception left it; the object may be gone.
    return otherwise;
  }
}

int32_t STDMETHODCALLTYPE CDorvik2Wnd::OnReceive(uint32_t, uint32_t, const BYTE* data, int32_t* length) {
  return HostCall(0, [&] {
    // A missing or negative length is an empty block: queued as an empty message,
    // which the dispatcher drops.
    const uint32_t n = data && length && *length > 0 ? static_cast<uint32_t>(*length) : 0;
    HostMessage msg;
    const PooledBuffer buffer;
    if (IXBuf* buf = buffer.get()) {
      const uint32_t before = buf->GetLength();
      if (n > 0) buf->Append(data, n);
      // Only the first message counts; an append that failed reads as an empty block.
      if (buf->GetLength() == before + n) ReadHostMessage(msg, buf);
    }
    scene_->EnqueueHostMessage(std::move(msg));
    scene_->DispatchNextIfIdle();
    return 0;
  });
}

int32_t STDMETHODCALLTYPE CDorvik2Wnd::Reserved1(uint32_t) { return 0; }
int32_t STDMETHODCALLTYPE CDorvik2Wnd::Reserved2(uint32_t) { return 0; }
int32_t STDMETHODCALLTYPE CDorvik2Wnd::Reserved3(uint32_t, uint32_t) { return 0; }
int32_t STDMETHODCALLTYPE CDorvik2Wnd::Reserved15(uint32_t) { return 0; }

int32_t STDMETHODCALLTYPE CDorvik2Wnd::SetPlayerAvatar(const char16_t* userId, const char16_t* partList) {
  return HostCall(0, [&] {
    scene_->SetPlayerAvatar(WideToMultiByte(userId), SplitBarList(WideToMultiByte(partList)));
    return 0;
  });
}

int32_t STDMETHODCALLTYPE CDorvik2Wnd::SetPlayerDisplayName(const char16_t* userId, const char16_t* name) {
  return HostCall(0, [&] {
    scene_->SetPlayerDisplayName(WideToMultiByte(userId), WideToMultiByte(name));
    return 0;
  });
}

int32_t STDMETHODCALLTYPE CDorvik2Wnd::IsUserFree(const char16_t* userId, uint32_t, uint32_t) {
  return HostCall(1, [&] {
    const int32_t userNo = scene_->GetUserNoById(WideToMultiByte(userId));
    if (userNo == RCUser::kNoUser) return 1;
    const int32_t seat = scene_->GetSeatOfUser(userNo);
    if (seat == PITable::kNoSeat) return 1;
    if (scene_->GetSceneMode() != CDorvik2VWS::kModePlaying) return 1;
    return scene_->IsRobotSeat(seat) ? 1 : 0;
  });
}

int32_t STDMETHODCALLTYPE CDorvik2Wnd::SetUserValue(const char16_t* userId, const char16_t* decimalNumber) {
  return HostCall(0, [&] {
    const int32_t value = LeadingInt32(WideToMultiByte(decimalNumber));
    scene_->SetPendingLeaveValue(value);
    if (value == 0) return 0;
    // An unknown id gives -1, which asks whether this client holds a seat.
    const int32_t userNo = scene_->GetUserNoById(WideToMultiByte(userId));
    const int32_t mode = scene_->GetSceneMode();
    const bool inGame = mode == CDorvik2VWS::kModePlaying || mode == CDorvik2VWS::kModeResult;
    // Seated in a game under way, the settlement acts on the value instead.
    if (!scene_->IsSeated(userNo) || !inGame) PostToHostWindow(kCloseReasonUser);
    return 0;
  });
}

int32_t STDMETHODCALLTYPE CDorvik2Wnd::RequestExit(uint32_t) {
  return HostCall(0, [&] {
    scene_->RequestExit();
    return 0;
  });
}

void CDorvik2Wnd::FullRedraw() {
  scene_->SetFullRedraw();
  scene_->MarkDirty();
  scene_->RedrawIfDirty();
}

int32_t STDMETHODCALLTYPE CDorvik2Wnd::ResetRoomView(uint32_t) {
  return HostCall(0, [&] {
    scene_->ResetRoomView();
    FullRedraw();
    return 0;
  });
}

int32_t STDMETHODCALLTYPE CDorvik2Wnd::RefreshScreen(uint32_t) {
  return HostCall(0, [&] {
    AttachClipper();
    scene_->ResetGameState();
    FullRedraw();
    scene_->StartGameTimer(CDorvik2VWS::kTickTimer, 0);
    return 0;
  });
}

int32_t STDMETHODCALLTYPE CDorvik2Wnd::UserCommand(uint32_t code, uint32_t userNo, const char16_t* text, uint32_t, uint32_t) {
  return HostCall(0, [&] {
    // Converted as every text of the interface is, though no command reads it.
    (void)WideToMultiByte(text);
    if (code == kKickCommand) scene_->RequestKick(static_cast<int32_t>(userNo));
    return 0;
  });
}

int32_t STDMETHODCALLTYPE CDorvik2Wnd::SetStatusText(const char16_t* text) {
  return HostCall(0, [&] {
    scene_->SetStatusText(WideToMultiByte(text));
    return 0;
  });
}

int32_t STDMETHODCALLTYPE CDorvik2Wnd::SetScreenMode(int32_t fullScreen, int32_t width, int32_t height, uint32_t) {
  return HostCall(-1, [&] {
    // A size of nothing is a screen that cannot be made: stored it would break the next
    // rebuild, so it takes the failed rebuild's way at once.
    if (width > 0 && height > 0) {
      fullScreen_ = fullScreen;
      clientSize_ = GSize(width, height);
      if (RestoreScreen()) return 0;
    }
    PostToHostWindow(kGameCloseScreenFailed);
    return -1;
  });
}

int32_t STDMETHODCALLTYPE CDorvik2Wnd::OnHostEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) {
  return HostCall(0, [&] {
    if (!code) return 0;
    const int32_t v = value ? *value : 0;
    const auto user = static_cast<int32_t>(userNo);
    const bool mine = user == scene_->MyUserNo();
    switch (*code) {
      case kEventCardListReplace:
      case kEventCardListAdd:
      case kEventCardListRemove:
        scene_->OnHostCardList(user, *code, EventText(data));
        break;
      case kEventHostValues:
        if (data && mine) {
          uint32_t words[kHostValuesWords];
          std::memcpy(words, data, sizeof words);
          scene_->SendHostValues(static_cast<int32_t>(words[kHostValuesId]), JoinWords(words, kHostValuesA),
                                 JoinWords(words, kHostValuesB));
        }
        break;
      case kEventReportUser:
        scene_->ReportUserNumbers(user);
        break;
      case kEventNotice:
        // The ticker and the observer panel exist only once the scene is built.
        if (CCheckNotice* ticker = scene_->NoticeTicker(); ticker && mine) {
          ticker->ParseNoticeText(EventText(data));
          if (ticker->NoticeTime() == CCheckNotice::kWarningTimeLimit) scene_->SendHostNoticeAck();
        }
        break;
      case kEventObserveAnswer:
        if (CVObserveSystemWnd* panel = scene_->ObservePanel()) {
          panel->OnHostAnswer(v, data && EventText(data) == "1" ? 1 : 0);
        }
        break;
      case kEventButton:
        scene_->OnHostButton(EventText(data), v);
        break;
      case kEventMemo:
        scene_->ShowMemoButton(v);
        break;
      case kEventPresence:
        return 1;
      default:
        break;
    }
    return 0;
  });
}

BOOL CDorvik2Wnd::HostLinkGate(UINT message, WPARAM wParam, LRESULT* result) {
  if (!scene_ || !scene_->IsReady()) return 0;
  switch (message) {
    case WM_GAME_DISPATCH:
      scene_->DispatchNextIfIdle();
      break;
    case WM_TIMER:
      scene_->OnTimer(static_cast<UINT_PTR>(wParam));
      break;
    default:
      return 0;
  }
  if (result) *result = 0;
  return 1;
}
