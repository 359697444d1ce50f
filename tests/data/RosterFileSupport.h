#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "tests/support/ScratchFolder.h"

namespace kestrum::test {

// Lines joined with CR LF, as the INI document writes them.
inline std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// A roster as Save writes it: one-letter raid names, every timer unset or set to one moment.
struct TSavedRosterShape {
  const char* what;
  int raids;
  int charas;
  bool timersSet;
};

inline std::string SavedRosterText(const TSavedRosterShape& shape) {
  const auto raid = [](int k) {
    return static_cast<char>('a' + k % 26) + (k < 26 ? std::string() : std::to_string(k));
  };
  std::string text = Lines({"[RAID]", "", "COUNT=" + std::to_string(shape.raids)});
  for (int k = 0; k < shape.raids; ++k) text += std::to_string(k) + "=" + raid(k) + "\r\n";
  text += Lines({"", "[CHARA]", "", "COUNT=" + std::to_string(shape.charas), ""});
  for (int i = 0; i < shape.charas; ++i) {
    text += Lines({"[CHARA" + std::to_string(i) + "]", "", "NAME=x"});
    for (int k = 0; k < shape.raids; ++k)
      text += Lines(
          {raid(k) + (shape.timersSet ? "=\"2024/03/08 07:45:30\"" : "=1899/12/30"), raid(k) + " COUNT=0"});
    text += "\r\n";
  }
  return text;
}

inline std::vector<String> DefaultRaids() {
  return {u"VoN",    u"TF", u"DQ",  u"RF",   u"AA",  u"13",   u"HoX",  u"VoD", u"ToD",
          u"Chrono", u"MA", u"LoB", u"CitW", u"FoT", u"FoTP", u"TotD", u"MoD", u"DotJ"};
}

}  // namespace kestrum::test
