// A row of up to twelve characters, each an animation whose sub-animation is named by
// the character it draws; they start all at once or one after another from the last.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "panels/IPanelScene.h"
#include "widgets/GVWnd.h"

class GVQLAniWnd;

class CVQLATextWnd : public GVWnd {
 public:
  static constexpr int32_t kMaxChars = 12;
  static constexpr int32_t kAlignCentre = 1;
  static constexpr int32_t kAlignRight = 2;
  CVQLATextWnd() = default;
  ~CVQLATextWnd() override;
  CVQLATextWnd(const CVQLATextWnd&) = delete;
  CVQLATextWnd& operator=(const CVQLATextWnd&) = delete;

  // Twelve character animations of the file at pos; 0 at the first that fails (those
  // made stay until the row goes).
  virtual int32_t Create(IPanelScene* scene, const std::string& relPath, GPoint pos, GSize size, int32_t charWidth,
                         int32_t lineHeight, int32_t spacing, int32_t alignment);
  // Stops the row and lays out the first twelve characters (CP949 text).
  void SetText(const std::string& text);
  void Play(BOOL holdLastFrame, BOOL allAtOnce, int32_t intervalMs);
  // 2 when a character started, 1 when one advanced, else 0.
  int32_t Tick();
  // Hidden: 1. Else the visible characters, whatever they answer, and 1.
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;
  GVQLAniWnd* Char(int32_t i) const { return chars_.at(static_cast<size_t>(i)); }
  int32_t CharCount() const { return count_; }

 private:
  std::array<GVQLAniWnd*, kMaxChars> chars_{};
  int32_t count_ = 0;
  int32_t charWidth_ = 0;
  int32_t lineHeight_ = 0;
  int32_t spacing_ = 0;
  int32_t alignment_ = kAlignCentre;
  int32_t next_ = -1;
  int32_t interval_ = 50;
  BOOL allAtOnce_ = 0;
  uint32_t lastStart_ = 0;
};
