#include "base/DateTime.h"

#include <utility>

#include "base/SystemClock.h"

namespace kestrum {

namespace {

std::function<TDateTime()>& NowFunction() {
  static std::function<TDateTime()> now;
  return now;
}

TFormatSettings& CurrentSettings() {
  static TFormatSettings settings{u"yyyy/mm/dd", u"h:nn:ss", u'/', u':'};
  return settings;
}

}  // namespace

TDateTime Now() {
  const auto& now = NowFunction();
  return now ? now() : SystemNow();
}

void SetNowFunction(std::function<TDateTime()> now) {
  NowFunction() = std::move(now);
}

const TFormatSettings& FormatSettings() {
  return CurrentSettings();
}

void SetFormatSettings(const TFormatSettings& settings) {
  CurrentSettings() = settings;
}

}  // namespace kestrum
