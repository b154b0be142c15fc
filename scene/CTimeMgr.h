// A stopwatch on the performance counter, with the millisecond clock where there is
// no counter. The nested wait measures its time with one.
#pragma once

#include <cstdint>

class CTimeMgr {
 public:
  CTimeMgr() { ReadFrequency(); }
  // Asks the counter's frequency again (a counter that reports 0 counts as none).
  void ReadFrequency();
  void Start();
  // Whole milliseconds since Start; 64-bit, so a long run never wraps.
  int64_t ElapsedMs() const;
  bool HasCounter() const { return hasCounter_; }

 private:
  bool hasCounter_ = false;
  int64_t frequency_ = 0;
  uint32_t startMs_ = 0;
  int64_t startCounter_ = 0;
};
