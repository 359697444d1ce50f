#pragma once

#include <optional>

#include "base/DateTime.h"
#include "data/RaidTimerData.h"
#include "tests/support/RosterModel.h"

namespace kestrum::test {

// The rosters the crash test's saver writes one after the other. Save number N shows in every name,
// timer and count and in the file's length, so a torn, mixed or stale file cannot pass for one of
// them: a loaded roster either is exactly the pattern of some N or belongs to no save at all.

// The regional formats the saver and the checks share (the Japanese Windows style).
TFormatSettings PatternDateFormat();

// The roster of save number N.
TRosterModel PatternModel(int N);

// N when AModel is exactly the roster of save number N.
std::optional<int> PatternNumber(const TRosterModel& AModel);

// Turns whatever the data file holds into pattern 0, saved twice so that the backup holds it too.
void SeedPattern();

// Sets the roster (which must have the pattern's raids and characters) to pattern N in place and
// saves it once.
void SavePatternNumber(TKestrum& ARoster, int N);

}  // namespace kestrum::test
