// Fuzz target of the notice ticker: the input is one or more notice texts, one a line,
// as the host's event 24 hands them over. Each goes through ParseNoticeText on a ticker
// loaded with the synthetic data's set and line, and the ticker then steps and draws
// over a few frames of the virtual clock. Whatever the text, a notice that starts
// nothing leaves the ticker hidden, the stage stays one of the machine's values, and
// every player is bound inside the set or not at all.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzDirectDraw.h"
#include "panels/CCheckNotice.h"
#include "plat/sim_files.h"
#include "plat/sim_kernel.h"

namespace {

constexpr char kNoticeSeparator = '\n';
constexpr size_t kMaxInput = 1u << 16;
constexpr int32_t kMaxNotices = 16;
constexpr const char* kImageFolder = "D:\\game\\GameImage\\";
constexpr GRect kTarget(0, 0, 800, 17);
// Frame gaps that reach every stage of the synthetic set: a frame, the heads and
// intro, and the line's whole run (8 s for its 178-pixel sprite).
constexpr uint32_t kStepsMs[] = {0, 50, 400, 1000, 3000, 9000, 9000, 2000};

DDSurface& Target() {
  static DDSurface* surface = [] {
    auto* made = new DDSurface;
    if (FAILED(CreateOffscreenSurface(DirectDraw565(), *made, GSize(kTarget.Width(), kTarget.Height()))))
      __builtin_trap();
    return made;
  }();
  return *surface;
}

// One loaded ticker for the whole run, made on the first input.
CCheckNotice& Ticker() {
  static CCheckNotice* ticker = [] {
    plat::sim::UseVirtualClock();
    plat::sim::MapPathPrefix(kImageFolder, DORVIK_GAME_DATA_DIR "GameImage/");
    Target();
    auto* made = new CCheckNotice;
    made->Create(nullptr);
    if (made->LoadCheckNotice(kImageFolder) != 1) __builtin_trap();
    return made;
  }();
  return *ticker;
}

bool IsStage(int32_t stage) {
  switch (stage) {
    case CCheckNotice::kStageNone:
    case CCheckNotice::kStageHeadWithWarning:
    case CCheckNotice::kStageHeadOnly:
    case CCheckNotice::kStageIntro:
    case CCheckNotice::kStageLoops:
    case CCheckNotice::kStageOutro:
      return true;
    default:
      return false;
  }
}

void CheckState(CCheckNotice& ticker) {
  if (!IsStage(ticker.Stage())) __builtin_trap();
  if ((ticker.IsShown() == 0) != (ticker.Stage() == CCheckNotice::kStageNone)) __builtin_trap();
  const int32_t count = ticker.Animations().GetAnimationCount();
  for (int32_t p = 0; p < CCheckNotice::kPlayers; ++p) {
    const auto player = static_cast<CCheckNotice::Player>(p);
    const int32_t index = ticker.BoundIndex(player);
    if (index < -1 || index >= count) __builtin_trap();
    // A player bound to something is bound to the set's own sub-animation.
    if (index < 0 && ticker.PlayerOf(player).GetRsc() != nullptr) __builtin_trap();
  }
}

void RunNotice(CCheckNotice& ticker, std::string_view notice) {
  ticker.ParseNoticeText(std::string(notice));
  if (!ticker.IsShown() && (ticker.Stage() != CCheckNotice::kStageNone || ticker.NoticeTime() != 0)) __builtin_trap();
  if (ticker.IsShown() && (ticker.NoticeTime() < 0 || ticker.NoticeTime() > 99)) __builtin_trap();
  CheckState(ticker);
  for (uint32_t ms : kStepsMs) {
    plat::sim::AdvanceClock(ms);
    if (ticker.Draw(Target().Get(), kTarget) != 1) __builtin_trap();
    CheckState(ticker);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  CCheckNotice& ticker = Ticker();
  // Each input starts on a ticker that shows nothing.
  ticker.StopNotice();
  if (ticker.IsShown() || ticker.Stage() != CCheckNotice::kStageNone) __builtin_trap();
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  for (int32_t n = 0; n < kMaxNotices; ++n) {
    const size_t cut = rest.find(kNoticeSeparator);
    RunNotice(ticker, rest.substr(0, cut));
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + 1);
  }
  return 0;
}
