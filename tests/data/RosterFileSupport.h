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

inline std::vector<String> DefaultRaids() {
  return {u"VoN",    u"TF", u"DQ",  u"RF",   u"AA",  u"13",   u"HoX",  u"VoD", u"ToD",
          u"Chrono", u"MA", u"LoB", u"CitW", u"FoT", u"FoTP", u"TotD", u"MoD", u"DotJ"};
}

}  // namespace kestrum::test
