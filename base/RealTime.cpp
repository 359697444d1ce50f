#include <cmath>
#include <optional>

#include "base/Calendar.h"
#include "base/DateTime.h"
#include "base/SystemClock.h"

namespace kestrum {

namespace {

constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t kMsPerSecond = 1000;

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// How far the local clock is ahead of UTC at a real moment (milliseconds since 1970 UTC).
std::optional<int64_t> OffsetAt(int64_t ARealMs) {
  const int64_t seconds = FloorDiv(ARealMs, kMsPerSecond);
  std::tm local{};
  if (!SystemLocalTime(seconds, local)) return std::nullopt;
  return WallClockMSecs(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                        local.tm_sec) -
         seconds * kMsPerSecond;
}

// The offset a local moment is read with. The zone's offsets a day either side are the only ones it
// can have (a zone changes at most once within two days); a reading holds when the local clock
// shows the moment at the real time it gives. Where both hold (the hour the clocks go back) the
// earlier moment is taken; where none does (the hour skipped when they go forward) the moment is
// read as the clock before the change would have shown it.
std::optional<int64_t> OffsetOf(int64_t AWallMs) {
  const auto before = OffsetAt(AWallMs - kMsPerDay);
  const auto after = OffsetAt(AWallMs + kMsPerDay);
  if (!before || !after) return std::nullopt;
  if (*before == *after) return *before;
  const auto holds = [&](int64_t offset) { return OffsetAt(AWallMs - offset) == offset; };
  const bool beforeHolds = holds(*before);
  const bool afterHolds = holds(*after);
  if (beforeHolds && afterHolds) return std::max(*before, *after);  // the larger offset, the earlier moment
  if (afterHolds) return *after;
  return *before;
}

// A local moment as its wall clock and the offset it is read with.
struct WallAndOffset {
  int64_t wall;
  int64_t offset;
};

std::optional<WallAndOffset> ReadLocal(TDateTime ALocal) {
  const auto wall = WallClockMSecs(ALocal);
  if (!wall) return std::nullopt;
  const auto offset = OffsetOf(*wall);
  if (!offset) return std::nullopt;
  return WallAndOffset{*wall, *offset};
}

}  // namespace

// Where the offset is the same at both ends, or the zone's rules cannot be had (a moment outside
// what the C library handles), the plain difference; else the difference of the real moments, to
// the millisecond.
TDateTime RealSpan(TDateTime AFrom, TDateTime ATo) {
  const auto from = ReadLocal(AFrom);
  const auto to = ReadLocal(ATo);
  if (!from || !to || from->offset == to->offset) return ATo - AFrom;
  return static_cast<double>((to->wall - to->offset) - (from->wall - from->offset)) / kMsPerDay;
}

TDateTime AfterRealSpan(TDateTime AFrom, TDateTime ASpan) {
  const auto from = ReadLocal(AFrom);
  if (!from || !std::isfinite(ASpan) || std::fabs(ASpan) > 1e6) return AFrom + ASpan;
  const int64_t span = std::llround(ASpan * kMsPerDay);
  const auto to = OffsetAt(from->wall - from->offset + span);
  if (!to || *to == from->offset) return AFrom + ASpan;
  return FromWallClockMSecs(from->wall + span + (*to - from->offset));
}

bool TRealWindow::Holds(TDateTime AMoment) const {
  // A zone's offset changes by far less than a day: moments further out need no look-up.
  const TDateTime wallClock = AMoment - From;
  if (!(wallClock >= -1 && wallClock <= Length + 1)) return false;
  const TDateTime fromStart = RealSpan(From, AMoment);
  return fromStart >= 0 && fromStart <= Length;
}

}  // namespace kestrum
