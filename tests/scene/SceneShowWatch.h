// What a person sees of a turn's show pieces, as lines with the virtual time each came
// at: an event banner starting ("banner K/F", F its frame), a floor event starting
// ("floor event K at (x, y)"), the robot's expression ("robot K"), the decision prompt
// as shown ("prompt M: texts, cards, yes-button set, side mark") and its closing.
// The watcher looks on every tick of a timer of its own, which the scene's waits pump,
// and whenever its owner asks (before each sound, at the end of a message).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/TextUtil.h"
#include "panels/CVNotifyWnd.h"
#include "panels/CVPSPPushBtn.h"
#include "plat/time.h"
#include "scene/CDorvik2VWS.h"
#include "widgets/GVAnimWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace scene_show {

class SceneShowWatch {
 public:
  // `seen` gets each line with the time it came at (timeGetTime).
  using Sink = std::function<void(uint32_t at, std::string line)>;
  SceneShowWatch(CDorvik2VWS* scene, Sink seen) : scene_(scene), seen_(std::move(seen)) {
    active_ = this;
    Rebase();
  }
  ~SceneShowWatch() {
    if (timer_) KillTimer(nullptr, timer_);
    active_ = nullptr;
  }
  SceneShowWatch(const SceneShowWatch&) = delete;
  SceneShowWatch& operator=(const SceneShowWatch&) = delete;

  // What is shown now is the starting point: only what changes from here is a line.
  void Rebase() {
    // The looks keep step with the message's own waits.
    timer_ = SetTimer(nullptr, timer_, kLookMs, &SceneShowWatch::OnTick);
    Take(Snapshot{}, timeGetTime(), false);
    Take(Look(), timeGetTime(), false);
  }
  // A look now; what changed came now.
  void LookNow() { Take(Look(), timeGetTime(), true); }

  // The prompt's lines as a person reads them, "" while it is closed.
  static std::string PromptLine(const CVNotifyWnd* prompt) {
    if (!prompt || !prompt->IsVisible()) return {};
    std::string line = FormatString("prompt %ld:", prompt->Mode());
    for (int32_t i = 1; i <= 3; ++i) {
      const GVTextWnd* text = prompt->TextLine(i);
      if (text && text->IsVisible() && !text->GetText().empty()) line += " \"" + text->GetText() + "\"";
    }
    std::string cards;
    for (int32_t i = 0; i < CVNotifyWnd::kCards; ++i) {
      const GVDDSWnd* image = prompt->CardImage(i);
      if (image && image->IsVisible()) cards += FormatString(" %ld", prompt->CardOfImage(i));
    }
    if (!cards.empty()) line += " cards" + cards;
    if (const CVPSPPushBtn* yes = prompt->YesButton(); yes && yes->IsVisible()) {
      line += FormatString(" yes %ld", yes->ImageSet());
    }
    if (const GVWnd* mark = prompt->SideMoneyMark(); mark && mark->IsVisible()) line += " side mark";
    return line;
  }

 private:
  // The scene's waits are a hundred milliseconds and more; the pieces play longer.
  static constexpr UINT kLookMs = 10;
  static constexpr size_t kBanners = 9;
  static constexpr size_t kFloorEvents = 8;
  static constexpr size_t kRobots = 5;

  struct Snapshot {
    std::array<bool, kBanners> banners{};
    std::array<int32_t, kBanners> bannerFrames{};
    std::array<bool, kFloorEvents> events{};
    std::array<GPoint, kFloorEvents> eventPoints{};
    int32_t robot = -1;
    std::string prompt;
  };

  static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (active_) active_->LookInWait();
  }

  // A piece first seen during a wait was put up as the wait began: the handlers change
  // the table between their waits.
  void LookInWait() {
    const uint32_t now = timeGetTime();
    const auto waited = static_cast<uint32_t>(scene_->Timers().WaitWatch().ElapsedMs());
    const uint32_t began = waited <= now - lastLook_ ? now - waited : lastLook_;
    Take(Look(), began, true);
  }

  Snapshot Look() const {
    Snapshot s;
    const CDorvik2VWS::SceneWidgets& w = scene_->Widgets();
    for (size_t k = 0; k < kBanners; ++k) {
      const GVQLAniWnd* banner = w.comboAnims[k];
      s.banners[k] = banner && banner->IsVisible() && banner->IsPlaying();
      s.bannerFrames[k] = s.banners[k] ? banner->GetFrame() : 0;
    }
    for (size_t k = 0; k < kFloorEvents; ++k) {
      GVQLAniWnd* event = w.eventAnims[k];
      s.events[k] = event && event->IsVisible();
      s.eventPoints[k] = s.events[k] ? event->GetPos() : GPoint();
    }
    for (size_t k = 0; k < kRobots; ++k) {
      if (w.robotAvatars[k] && w.robotAvatars[k]->IsVisible()) s.robot = static_cast<int32_t>(k);
    }
    s.prompt = PromptLine(w.notifyPrompt);
    return s;
  }

  void Take(const Snapshot& now, uint32_t at, bool report) {
    // Seen together, the pieces are listed in the order the handlers put them up.
    std::vector<std::string> lines;
    for (size_t k = 0; k < kFloorEvents; ++k) {
      const GPoint pt = now.eventPoints[k];
      if (now.events[k] && (!last_.events[k] || pt != last_.eventPoints[k])) {
        lines.push_back(FormatString("floor event %ld at (%ld, %ld)", static_cast<int32_t>(k), pt.x, pt.y));
      }
    }
    for (size_t k = 0; k < kBanners; ++k) {
      if (now.banners[k] && !last_.banners[k]) {
        lines.push_back(FormatString("banner %ld/%ld", static_cast<int32_t>(k), now.bannerFrames[k]));
      }
    }
    if (now.robot >= 0 && now.robot != last_.robot) lines.push_back(FormatString("robot %ld", now.robot));
    if (now.prompt != last_.prompt) lines.push_back(now.prompt.empty() ? "prompt closed" : now.prompt);
    last_ = now;
    lastLook_ = timeGetTime();
    if (!report) return;
    for (std::string& line : lines) seen_(at, std::move(line));
  }

  CDorvik2VWS* scene_;
  Sink seen_;
  UINT_PTR timer_ = 0;
  uint32_t lastLook_ = 0;
  Snapshot last_;
  static inline SceneShowWatch* active_ = nullptr;
};

}  // namespace scene_show
