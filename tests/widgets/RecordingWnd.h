// A widget for window-system tests: it records its draws (with their clip), the input
// it receives and its deletion into a shared journal, and answers as it is told.
#pragma once

#include <string>
#include <vector>

#include "widgets/GVWnd.h"

namespace widget_test {

struct Journal {
  struct DrawCall { std::string name; GRect clip; };
  struct Input { std::string name; std::string what; UINT a = 0, b = 0, c = 0; GPoint pt; };
  std::vector<DrawCall> draws;
  std::vector<Input> inputs;
  std::vector<std::string> deleted;
  std::vector<std::string> killFocus;  // "name->next" ("-" for none)
  std::vector<std::string> DrawOrder() const {
    std::vector<std::string> out;
    for (const DrawCall& d : draws) out.push_back(d.name);
    return out;
  }
};

class RecordingWnd : public GVWnd {
 public:
  RecordingWnd(Journal& journal, std::string name, GRect rect = GRect()) : journal_(journal), name_(std::move(name)) {
    if (rect != GRect()) SetRect(rect);
  }
  ~RecordingWnd() override { journal_.deleted.push_back(name_); }
  const std::string& Name() const { return name_; }
  // What input operations answer.
  BOOL takes = 1;
  // A draw that fails with this word (0: draw as the base does).
  HRESULT failWith = 0;
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override {
    journal_.draws.push_back({name_, clip});
    if (failWith != 0) {
      SetLastResult(failWith);
      return 0;
    }
    return GVWnd::Draw(target, clip);
  }
  BOOL OnKillFocus(GVWnd* next) override {
    auto* r = dynamic_cast<RecordingWnd*>(next);
    journal_.killFocus.push_back(name_ + "->" + (r ? r->name_ : std::string("-")));
    return 0;
  }
  BOOL OnKeyDown(UINT k, UINT r, UINT f) override { return Key("KeyDown", k, r, f); }
  BOOL OnKeyUp(UINT k, UINT r, UINT f) override { return Key("KeyUp", k, r, f); }
  BOOL OnChar(UINT k, UINT r, UINT f) override { return Key("Char", k, r, f); }
  BOOL OnImeComposition(WPARAM w, LPARAM l) override {
    return Key("ImeComposition", static_cast<UINT>(w), static_cast<UINT>(l), 0);
  }
#define RECORDING_WND_MOUSE(Op) \
  BOOL On##Op(UINT f, GPoint pt) override { return Mouse(#Op, f, pt); }
  RECORDING_WND_MOUSE(LButtonDown) RECORDING_WND_MOUSE(LButtonUp) RECORDING_WND_MOUSE(LButtonDblClk)
  RECORDING_WND_MOUSE(RButtonDown) RECORDING_WND_MOUSE(RButtonUp) RECORDING_WND_MOUSE(RButtonDblClk)
  RECORDING_WND_MOUSE(MButtonDown) RECORDING_WND_MOUSE(MButtonUp) RECORDING_WND_MOUSE(MButtonDblClk)
  RECORDING_WND_MOUSE(MouseMove)
#undef RECORDING_WND_MOUSE
 private:
  BOOL Key(const char* what, UINT a, UINT b, UINT c) {
    journal_.inputs.push_back({name_, what, a, b, c, {}});
    return takes;
  }
  BOOL Mouse(const char* what, UINT flags, GPoint pt) {
    journal_.inputs.push_back({name_, what, flags, 0, 0, pt});
    return takes;
  }
  Journal& journal_;
  std::string name_;
};

}  // namespace widget_test
