#pragma once

#include <functional>
#include <utility>

#include "base/DateTime.h"

namespace kestrum::test {

// Sets the program-wide clock and regional formats for a test and puts back what it changed when
// it goes: the formats that were in force before, and the system clock. Every test that changes
// either goes through one of these, so no test leaves its clock or formats to the next.
class TClockAndFormats final {
 public:
  TClockAndFormats() : savedFormats_(FormatSettings()) {}
  ~TClockAndFormats() {
    if (clockSet_) SetNowFunction({});
    if (formatsSet_) SetFormatSettings(savedFormats_);
  }
  TClockAndFormats(const TClockAndFormats&) = delete;
  TClockAndFormats& operator=(const TClockAndFormats&) = delete;

  void SetClock(std::function<TDateTime()> AClock) {
    clockSet_ = true;
    SetNowFunction(std::move(AClock));
  }
  // A clock that stands still at AMoment.
  void StopClockAt(TDateTime AMoment) {
    SetClock([AMoment] { return AMoment; });
  }
  void SetFormats(const TFormatSettings& AFormats) {
    formatsSet_ = true;
    SetFormatSettings(AFormats);
  }

 private:
  TFormatSettings savedFormats_;
  bool clockSet_ = false;
  bool formatsSet_ = false;
};

}  // namespace kestrum::test
