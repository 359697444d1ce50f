#include "tests/reliability/SavePattern.h"

#include <string>
#include <vector>

namespace kestrum::test {

namespace {

const std::vector<String> kRaids = {u"VoN",           u"Tempest's Spine",     u"The Dryad and the Demigod",
                                    u"ToD",           u"\"Hound\" of Xoriat", u"Chrono",
                                    u"Lord of Blades"};
constexpr int kCharas = 4;
const String kFirstNamePrefix = u"save ";

String CharaName(int N, int i) {
  if (i == 0) return kFirstNamePrefix + IntToStr(N);
  // Names of changing length, with text outside ASCII.
  return u"キャラ" + IntToStr(i) + u" run " + IntToStr(N) + String(static_cast<size_t>((N + i) % 7), u'~');
}

TTimerModel Timer(int N, int i, int k) {
  const uint32_t count = static_cast<uint32_t>(N) * 100u + static_cast<uint32_t>(i * 20 + k);
  if ((N + i + k) % 5 == 0) return {0, count};
  const TDateTime day = EncodeDate(2024, 1, 1) + (N + i + k) % 300;
  return {day + EncodeTime((N + k) % 24, (N * 7 + i) % 60, (N + i * k) % 60, 0), count};
}

}  // namespace

TFormatSettings PatternDateFormat() {
  return {u"yyyy/mm/dd", u"h:nn:ss", u'/', u':'};
}

TRosterModel PatternModel(int N) {
  TRosterModel model{kRaids, {}};
  for (int i = 0; i < kCharas; ++i) {
    TCharaModel chara{CharaName(N, i), {}};
    for (int k = 0; k < static_cast<int>(kRaids.size()); ++k) chara.Timers.push_back(Timer(N, i, k));
    model.Charas.push_back(std::move(chara));
  }
  return model;
}

std::optional<int> PatternNumber(const TRosterModel& AModel) {
  if (AModel.Charas.empty()) return std::nullopt;
  const String& name = AModel.Charas.front().Name;
  if (name.size() <= kFirstNamePrefix.size() || name.size() > kFirstNamePrefix.size() + 9 ||
      name.compare(0, kFirstNamePrefix.size(), kFirstNamePrefix) != 0)
    return std::nullopt;
  int N = 0;
  for (size_t i = kFirstNamePrefix.size(); i < name.size(); ++i) {
    if (name[i] < u'0' || name[i] > u'9') return std::nullopt;
    N = N * 10 + (name[i] - u'0');
  }
  if (AModel != PatternModel(N)) return std::nullopt;
  return N;
}

void SeedPattern() {
  TKestrum roster;
  roster.Load();
  while (roster.CharaCount() > 0) roster.DelChara(0);
  while (roster.RaidCount() > 0) roster.DelRaid(0);
  for (const String& raid : kRaids) roster.AddRaid(raid);
  for (int i = 0; i < kCharas; ++i) roster.AddChara(u"seed");
  SavePatternNumber(roster, 0);
  SavePatternNumber(roster, 0);
}

void SavePatternNumber(TKestrum& ARoster, int N) {
  const TRosterModel pattern = PatternModel(N);
  for (int i = 0; i < kCharas; ++i) {
    TCharaData& chara = *ARoster.GetCharaDatas(i);
    if (i > 0) chara.SetName(pattern.Charas[i].Name);
    for (int k = 0; k < chara.RaidCount(); ++k) {
      chara.GetRaidTimerDatas(k)->SetActivateTime(pattern.Charas[i].Timers[k].Time);
      chara.GetRaidTimerDatas(k)->SetCount(pattern.Charas[i].Timers[k].Count);
    }
  }
  ARoster.RenameChara(0, pattern.Charas[0].Name);
}

}  // namespace kestrum::test
