// Any text read as a date and time under each regional format the program meets: never a crash,
// the throwing and the non-throwing reader agree, and whatever is accepted is written back as text
// that reads as the same moment (to the second, which is all the formats show) and stays put.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "base/LocaleFormats.h"
#include "fuzz/FuzzSupport.h"

namespace kestrum {
namespace {

struct TNamedFormat {
  const char* Name;
  TFormatSettings Settings;
};

const std::vector<TNamedFormat>& Formats() {
  static const std::vector<TNamedFormat> formats = {
      {"Japanese", {u"yyyy/mm/dd", u"h:nn:ss", u'/', u':'}},
      {"US", {u"m/d/yyyy", u"h:nn:ss am/pm", u'/', u':'}},
      {"German", {u"dd/mm/yyyy", u"hh:nn:ss", u'.', u':'}},
      {"C locale", FormatSettingsFromStrftime("%m/%d/%y", "%H:%M:%S")},
  };
  return formats;
}

struct TMoment {
  int Year, Month, Day, Hour, Minute, Second, Milli;
};

TMoment Decode(TDateTime value) {
  TMoment m{};
  DecodeDate(value, m.Year, m.Month, m.Day);
  DecodeTime(value, m.Hour, m.Minute, m.Second, m.Milli);
  return m;
}

bool SameToTheSecond(const TMoment& a, const TMoment& b) {
  return a.Year == b.Year && a.Month == b.Month && a.Day == b.Day && a.Hour == b.Hour &&
         a.Minute == b.Minute && a.Second == b.Second;
}

std::string Describe(const char* format, const String& input, const String& written) {
  return std::string("format ") + format + ", input \"" + ToUtf8(input) + "\", written \"" + ToUtf8(written) +
         "\"";
}

void CheckFormat(const TNamedFormat& format, const String& text) {
  TDateTime value = 0;
  const bool accepted = TryStrToDateTime(text, value, format.Settings);
  try {
    const TDateTime thrown = StrToDateTime(text, format.Settings);
    fuzz::Check(accepted && thrown == value, "StrToDateTime accepts what TryStrToDateTime refuses",
                Describe(format.Name, text, {}));
  } catch (const EConvertError&) {
    fuzz::Check(!accepted, "StrToDateTime refuses what TryStrToDateTime accepts",
                Describe(format.Name, text, {}));
  }
  if (!accepted) return;

  const String written = DateTimeToStr(value, format.Settings);
  TDateTime back = 0;
  fuzz::Check(TryStrToDateTime(written, back, format.Settings), "written date text does not read back",
              Describe(format.Name, text, written));
  const TMoment moment = Decode(value);
  const TMoment backMoment = Decode(back);
  fuzz::Check(SameToTheSecond(moment, backMoment) && backMoment.Milli == 0,
              "written date text reads back as another moment", Describe(format.Name, text, written));

  // Once written, the text is stable: writing the moment read back gives a value that reads the same.
  TDateTime again = 0;
  fuzz::Check(TryStrToDateTime(DateTimeToStr(back, format.Settings), again, format.Settings) && again == back,
              "date text is not stable after one round", Describe(format.Name, text, written));
}

}  // namespace
}  // namespace kestrum

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrum;
  // Dates are short; long inputs only slow the search down.
  if (size > 256) return -1;
  const String text = FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const TNamedFormat& format : Formats()) CheckFormat(format, text);
  return 0;
}
