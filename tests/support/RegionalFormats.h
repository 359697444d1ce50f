#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/LocaleFormats.h"

namespace kestrum::test {

struct TNamedFormat {
  const char* Name;
  TFormatSettings Settings;
};

// The formats the program takes from glibc's locales (their D_FMT and T_FMT, fixed here so that no
// test depends on the locales a machine has installed), and the ones the Windows version writes.
inline const std::vector<TNamedFormat>& RegionalFormats() {
  static const std::vector<TNamedFormat> formats = {
      {"C", FormatSettingsFromStrftime("%m/%d/%y", "%H:%M:%S")},
      {"en_US", FormatSettingsFromStrftime("%m/%d/%Y", "%r")},
      {"en_GB", FormatSettingsFromStrftime("%d/%m/%y", "%T")},
      {"de_DE", FormatSettingsFromStrftime("%d.%m.%Y", "%T")},
      {"fr_FR", FormatSettingsFromStrftime("%d/%m/%Y", "%T")},
      {"nl_NL", FormatSettingsFromStrftime("%d-%m-%y", "%T")},
      {"fi_FI", FormatSettingsFromStrftime("%d.%m.%Y", "%H.%M.%S")},
      {"sv_SE", FormatSettingsFromStrftime("%Y-%m-%d", "%H:%M:%S")},
      {"ja_JP", FormatSettingsFromStrftime("%Y年%m月%d日", "%H時%M分%S秒")},
      {"ko_KR", FormatSettingsFromStrftime("%Y년 %m월 %d일", "%H시 %M분 %S초")},
      {"zh_CN", FormatSettingsFromStrftime("%Y年%m月%d日", "%H时%M分%S秒")},
      {"Windows ja-JP", {u"yyyy/mm/dd", u"h:nn:ss", u'/', u':'}},
      {"Windows en-US", {u"m/d/yyyy", u"h:nn:ss am/pm", u'/', u':'}},
      {"Windows de-DE", {u"dd/mm/yyyy", u"hh:nn:ss", u'.', u':'}},
      {"Windows zh-CN", {u"yyyy/m/d", u"h:nn:ss", u'/', u':'}},
  };
  return formats;
}

inline const TFormatSettings& RegionalFormat(const std::string& AName) {
  for (const TNamedFormat& format : RegionalFormats())
    if (format.Name == AName) return format.Settings;
  throw std::invalid_argument(AName);
}

}  // namespace kestrum::test
