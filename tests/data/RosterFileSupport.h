#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "data/RaidTimerData.h"

namespace kestrum::test {

// The roster as plain values, so that two rosters (say, before a save and after a reload) compare.
struct RosterView {
  struct Chara {
    String name;
    std::vector<TDateTime> times;
    std::vector<uint32_t> counts;
    bool operator==(const Chara&) const = default;
  };
  std::vector<String> raids;
  std::vector<Chara> charas;
  bool operator==(const RosterView&) const = default;
};

inline RosterView View(const TKestrum& roster) {
  RosterView view{roster.RaidNameAry(), {}};
  for (const auto& chara : roster.CharaDataAry()) {
    RosterView::Chara c{chara->Name(), {}, {}};
    for (int k = 0; k < chara->RaidCount(); ++k) {
      c.times.push_back(chara->GetRaidTimerDatas(k)->ActivateTime());
      c.counts.push_back(chara->GetRaidTimerDatas(k)->Count());
    }
    view.charas.push_back(c);
  }
  return view;
}

// What a fresh roster reads from the data file now.
inline RosterView Reloaded() {
  TKestrum roster;
  roster.Load();
  return View(roster);
}

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
