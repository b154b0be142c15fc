// The notice ticker along the top of the table: reads the host's "#"-separated notice
// text, keeps its remaining time, and holds the head, digit and warning animations and
// the scrolling line it draws itself (it has no child widgets).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "graphics/CScroll_Text.h"
#include "graphics/K_Animation.h"
#include "graphics/K_Animation_RSC.h"
#include "widgets/GVWnd.h"

class IPanelScene;

class CCheckNotice : public GVWnd {
 public:
  explicit CCheckNotice(IPanelScene* scene = nullptr) : scene_(scene) {}
  // The strip across the top, shown and taking no input; 1.
  int32_t Create(IPanelScene* scene);
  // Stage values: 1 the head with the warning sequence to follow (time 3 or less),
  // 2 the head alone, 0 nothing shown.
  static constexpr int32_t kStageNone = 0;
  static constexpr int32_t kStageHeadWithWarning = 1;
  static constexpr int32_t kStageHeadOnly = 2;
  static constexpr int32_t kWarningTimeLimit = 3;

  // Starts a notice from "TYPE=t#TIME=n#MSG=text" and gives the MSG value. Without
  // TYPE or TIME nothing starts, a running notice disappears and the time reads 0,
  // so a notice that starts nothing is never acknowledged.
  std::string ParseNoticeText(std::string notice);

  // The value of the first field whose name part contains `name` ("" when none).
  // A field without '=' is its own name and value; an empty field never matches.
  static std::string FieldValue(std::string_view notice, std::string_view name);

  int32_t IsShown() const { return shown_; }
  int32_t NoticeType() const { return type_; }
  int32_t NoticeTime() const { return time_; }
  // Characters of the TIME value (two digits show as two digit sprites).
  int32_t TimeDigits() const { return timeDigits_; }
  int32_t Stage() const { return stage_; }
  // The scrolling line runs from a started notice until Stop.
  bool IsRunning() const { return shown_ != 0; }
  void Stop();
  // The animation set and the scrolling line from the image folder, and the places
  // they are drawn at; 1 when both load.
  int32_t LoadCheckNotice(std::string imageFolder);

  const K_Animation_RSC& Animations() const { return animations_; }
  const CScroll_Text& ScrollLine() const { return line_; }
  GPoint HeadPos() const { return headPos_; }
  GPoint FirstDigitPos() const { return firstDigitPos_; }
  GPoint SecondDigitPos() const { return secondDigitPos_; }

 private:
  IPanelScene* scene_ = nullptr;
  GPoint headPos_;
  GPoint firstDigitPos_;
  GPoint secondDigitPos_;
  int32_t shown_ = 0;
  int32_t type_ = 0;
  int32_t time_ = 0;
  int32_t timeDigits_ = 0;
  int32_t stage_ = kStageNone;
  // Each player is bound to one sub-animation of the set when a notice starts.
  K_Animation head_;
  K_Animation firstDigit_;
  K_Animation secondDigit_;
  K_Animation_RSC animations_;
  CScroll_Text line_;
  K_Animation warningIntro_;
  K_Animation firstWarningLoop_;
  K_Animation warningOutro_;
  K_Animation secondWarningLoop_;
};
