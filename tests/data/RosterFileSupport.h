#pragma once

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/Strings.h"

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

// The names of the files in a folder (none when the folder is missing).
inline std::vector<std::string> FolderListing(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace kestrum::test
