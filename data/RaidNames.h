#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "base/Strings.h"
#include "data/CharaData.h"

namespace kestrum {

// Raid names are the keys of every character's timers, and the data file compares keys trimmed and
// without regard to ASCII case: two names equal in that way would share one stored timer.
bool SameRaidKey(std::u16string_view a, std::u16string_view b);

// Why a raid name cannot be stored as the key of its timers.
enum class TRaidNameProblem : uint8_t {
  None,
  Empty,                // nothing is left once trimmed
  HasEquals,            // "=" would end the key there
  StartsWithSemicolon,  // the line would read as a comment
  HasLineBreak,         // a CR, LF or NUL would split the line
  CharaKey,             // "NAME", or the "<raid> COUNT" key of a raid beside it, or the other way round
  Taken,                // another raid has the same key (SameRaidKey)
};

// What keeps AName from being stored beside ARaidNames, the one at AExceptIdx left out.
TRaidNameProblem RaidNameProblem(std::u16string_view AName, std::span<const String> ARaidNames,
                                 int AExceptIdx = -1);

// For each name, what keeps it from being stored after the names before it. Of two names that
// clash, the later one has the problem.
std::vector<TRaidNameProblem> RaidNameProblems(std::span<const String> ARaidNames);

// The roster's message for a name that cannot be stored.
String RaidNameProblemMessage(TRaidNameProblem AProblem, const String& AName);

// A raid whose name a load replaced, so that the roster can be saved again.
struct TRenamedRaid {
  int Index;
  String OldName;
  String NewName;
};

// Replaces each name that RaidNameProblems finds fault with by "Raid <position>" (with " (2)",
// " (3)", ... while that is taken), and lists what it replaced.
std::vector<TRenamedRaid> RenameUnstorableRaids(TRaidNames& ARaidNames);

}  // namespace kestrum
