// The notice ticker along the top of the table, as far as the host's notice event
// needs it: reading the "#"-separated notice text and keeping its remaining time.
// Its animations and scrolling line come with the panel's own work.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "widgets/GVWnd.h"

class IPanelScene;

class CCheckNotice : public GVWnd {
 public:
  explicit CCheckNotice(IPanelScene* scene = nullptr) : scene_(scene) {}
  // The ticker's widgets come with LoadCheckNotice; 1.
  int32_t Create(IPanelScene* scene) {
    scene_ = scene;
    return 1;
  }
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
  // The head, digits, warnings and scrolling line from the image folder; 1 when all load.
  int32_t LoadCheckNotice(std::string /*imageFolder*/) { return 1; }

 private:
  IPanelScene* scene_ = nullptr;
  int32_t shown_ = 0;
  int32_t type_ = 0;
  int32_t time_ = 0;
  int32_t timeDigits_ = 0;
  int32_t stage_ = kStageNone;
};
