// The go-bak alert of this client's own seat: while the score is below the go-bak
// threshold it shows the score the seat must pass, threshold + 1.
#pragma once

#include <cstdint>

#include "panels/CVPanelWnd.h"

class GVPSPNumberWnd;
class GVQLSWnd;

class CVGoBakAlertUIWnd : public CVPanelWnd {
 public:
  static constexpr GPoint kBase{636, 338};
  static constexpr GSize kSize{167, 59};
  static constexpr GSize kDigitsOffset{102, 11};
  static constexpr GSize kDigitsSize{32, 21};
  static constexpr uint32_t kDigitsStyle = 4;  // centred
  static constexpr int32_t kDigitsSpacing = -1;

  using CVPanelWnd::CVPanelWnd;

  // The background and the digits, hidden; 0 at the first that fails.
  int32_t Create(IPanelScene* scene);
  // From this client's seat record: below the threshold shows threshold + 1, above it
  // hides the alert, at it leaves the alert as it is. Nothing without a seat.
  void Update();

  GVQLSWnd* Back() const { return back_; }
  GVPSPNumberWnd* Digits() const { return digits_; }

 private:
  void InitMembers() override;

  GVPSPNumberWnd* digits_ = nullptr;
  GVQLSWnd* back_ = nullptr;
};
