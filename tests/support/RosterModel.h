#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "base/DateTime.h"
#include "base/Strings.h"
#include "data/RaidTimerData.h"

namespace kestrum::test {

// Everything a roster holds, as plain values that compare and print.
struct TTimerModel {
  TDateTime Time;
  uint32_t Count;
  bool operator==(const TTimerModel&) const = default;
};

struct TCharaModel {
  String Name;
  std::vector<TTimerModel> Timers;
  bool operator==(const TCharaModel&) const = default;
};

struct TRosterModel {
  std::vector<String> Raids;
  std::vector<TCharaModel> Charas;
  bool operator==(const TRosterModel&) const = default;
};

inline TRosterModel ModelOf(const TKestrum& ARoster) {
  TRosterModel model{ARoster.RaidNameAry(), {}};
  for (const auto& chara : ARoster.CharaDataAry()) {
    TCharaModel item{chara->Name(), {}};
    for (int k = 0; k < chara->RaidCount(); ++k) {
      const TRaidTimerData& timer = *chara->GetRaidTimerDatas(k);
      item.Timers.push_back({timer.ActivateTime(), timer.Count()});
    }
    model.Charas.push_back(std::move(item));
  }
  return model;
}

// The roster a fresh load of the data file gives.
inline TRosterModel LoadedModel() {
  TKestrum roster;
  roster.Load();
  return ModelOf(roster);
}

inline std::string Describe(const TRosterModel& AModel) {
  std::string out = "raids:";
  for (const String& raid : AModel.Raids) out += " <" + ToUtf8(raid) + ">";
  for (const TCharaModel& chara : AModel.Charas) {
    out += "\nchara <" + ToUtf8(chara.Name) + ">:";
    for (const TTimerModel& timer : chara.Timers)
      out += " " + ToUtf8(DateTimeToStr(timer.Time)) + "#" + std::to_string(timer.Count);
  }
  return out + "\n";
}

// GoogleTest finds this by name and prints a roster that fails a comparison readably.
inline void PrintTo(const TRosterModel& AModel, std::ostream* AOut) {
  *AOut << "\n" << Describe(AModel);
}

// What the user sees of a roster: the names in order and every run count, character by character
// and raid by raid; for checks that do not depend on the clock.
struct TRosterView {
  std::vector<String> Charas;
  std::vector<String> Raids;
  std::vector<uint32_t> Counts;
  bool operator==(const TRosterView&) const = default;
};

inline TRosterView NamesAndCountsOf(const TKestrum& ARoster) {
  const TRosterModel model = ModelOf(ARoster);
  TRosterView view{{}, model.Raids, {}};
  for (const TCharaModel& chara : model.Charas) {
    view.Charas.push_back(chara.Name);
    for (const TTimerModel& timer : chara.Timers) view.Counts.push_back(timer.Count);
  }
  return view;
}

inline void PrintTo(const TRosterView& AView, std::ostream* AOut) {
  const auto names = [AOut](const std::vector<String>& ANames) {
    for (const String& name : ANames) *AOut << " [" << ToUtf8(name) << "]";
  };
  *AOut << "charas";
  names(AView.Charas);
  *AOut << "; raids";
  names(AView.Raids);
  *AOut << "; counts";
  for (uint32_t count : AView.Counts) *AOut << ' ' << count;
}

}  // namespace kestrum::test
