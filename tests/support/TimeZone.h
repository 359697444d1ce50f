#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace kestrum::test {

// The rules of Central European time as a POSIX TZ value: clocks go forward from 02:00 to 03:00 on
// the last Sunday of March and back from 03:00 to 02:00 on the last Sunday of October. Spelled out,
// so that no test depends on the zone files a machine has installed.
inline constexpr const char* kCentralEuropeanTime = "CET-1CEST,M3.5.0,M10.5.0/3";

// Puts the C library's local zone (TZ) to AZone for a test and back when it goes. POSIX only: the
// Windows C runtime does not know these rules.
class TTimeZone final {
 public:
  explicit TTimeZone(const char* AZone) {
    if (const char* saved = std::getenv("TZ")) saved_ = saved;
    setenv("TZ", AZone, 1);
    tzset();
  }
  ~TTimeZone() {
    if (saved_)
      setenv("TZ", saved_->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }
  TTimeZone(const TTimeZone&) = delete;
  TTimeZone& operator=(const TTimeZone&) = delete;

 private:
  std::optional<std::string> saved_;
};

}  // namespace kestrum::test
