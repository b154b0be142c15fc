// The message boxes a test meets, as a person sees them: the texts drawn in each (the
// body's lines, then the heading), whether it asks yes or no, and how long it stayed
// up on the virtual clock. Each is answered with a key, or left to close by itself;
// while one is up, the watch moves the clock a millisecond at a time, so that the
// time it closed by itself is exact.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plat/dialogs.h"
#include "plat/sim.h"
#include "plat/time.h"

namespace testing_support {

class BoxWatch {
 public:
  struct Box {
    HWND dialog = nullptr;
    std::vector<std::string> texts;  // as drawn: the body's lines, then the heading
    bool yesNo = false;
    HWND owner = nullptr;
    uint32_t openedAt = 0;
    uint32_t upMs = 0;  // from its first wait to the last moment it was seen up
    // The texts drawn, one per line.
    std::string Text() const {
      std::string text;
      for (const std::string& t : texts) text += (text.empty() ? "" : "\n") + t;
      return text;
    }
  };
  // The button of a box's second answer (a yes-no box's "no").
  static constexpr int kSecondButton = 2;
  // Longer than any box waits by itself: a box still up then is answered with Escape.
  static constexpr uint32_t kGiveUpMs = 60000;

  // `key` answers every box (VK_RETURN, VK_ESCAPE, ...); 0 leaves each to close itself.
  explicit BoxWatch(int key = 0) { AnswerWith(key); }
  ~BoxWatch() { plat::sim::SetModalHook(nullptr); }
  BoxWatch(const BoxWatch&) = delete;
  BoxWatch& operator=(const BoxWatch&) = delete;

  void AnswerWith(int key) {
    key_ = key;
    plat::sim::SetModalHook([this](HWND dialog) { OnWait(dialog); });
  }
  // "yes-no: text" or "ok: text" of each box since the last Forget.
  std::vector<std::string> Seen() const {
    std::vector<std::string> out;
    for (const Box& b : boxes) out.push_back(Describe(b));
    return out;
  }
  static std::string Describe(const Box& b) { return (b.yesNo ? "yes-no: " : "ok: ") + b.Text(); }
  void Forget() {
    boxes.clear();
    open_ = 0;
  }

  std::vector<Box> boxes;

 private:
  void OnWait(HWND dialog) {
    size_t i = boxes.size();
    while (i > open_ && boxes[i - 1].dialog != dialog) --i;
    if (i == open_) {
      // A new box: those before it are down, unless it is one's own box.
      if (!boxes.empty() && !IsWindow(boxes.back().dialog)) open_ = boxes.size();
      Box box;
      box.dialog = dialog;
      box.openedAt = timeGetTime();
      box.yesNo = ShowsSecondButton(dialog);
      box.owner = GetWindow(dialog, GW_OWNER);
      boxes.push_back(box);
      i = boxes.size();
    }
    --i;
    // The first paint's texts: later paints draw the same again.
    if (boxes[i].texts.empty()) boxes[i].texts = plat::sim::DrawnTexts(dialog);
    if (key_) {
      plat::sim::PressKey(key_);
      return;
    }
    // An ended box is hidden at once; the loop takes it down after the hook.
    while (IsWindowVisible(dialog) && timeGetTime() - boxes[i].openedAt < kGiveUpMs) plat::sim::Advance(1);
    boxes[i].upMs = timeGetTime() - boxes[i].openedAt;
    if (IsWindowVisible(dialog)) plat::sim::PressKey(VK_ESCAPE);
  }
  // An OK box keeps its second button below its frame, out of sight.
  static bool ShowsSecondButton(HWND dialog) {
    HWND second = GetDlgItem(dialog, kSecondButton);
    RECT button{}, box{};
    if (!second || !IsWindowVisible(second)) return false;
    GetWindowRect(second, &button);
    GetWindowRect(dialog, &box);
    return button.left < box.right && box.left < button.right && button.top < box.bottom && box.top < button.bottom;
  }
  int key_ = 0;
  size_t open_ = 0;  // boxes before this one are down
};

}  // namespace testing_support
