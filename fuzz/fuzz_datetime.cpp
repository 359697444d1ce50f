// Any text read as a date and time under each regional format the program meets: never a crash,
// the throwing and the non-throwing reader agree, and whatever is accepted is written back as text
// that reads as the same moment (to the second, which is all the formats show) and stays put.
// The reader of stored texts, which also tries the other known forms, gives what the format's own
// reader gives wherever that one reads the text, and whatever it reads otherwise is written in the
// format and read back by it as the same moment; and what one format writes, every other reads as
// the same moment, or with day and month swapped where only their order tells them apart.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
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

bool SwappedDayAndMonth(const TMoment& a, const TMoment& b) {
  TMoment swapped = b;
  std::swap(swapped.Day, swapped.Month);
  return SameToTheSecond(a, swapped);
}

std::string Describe(const char* format, const String& input, const String& written) {
  return std::string("format ") + format + ", input \"" + ToUtf8(input) + "\", written \"" + ToUtf8(written) +
         "\"";
}

void CheckAcrossFormats(const TNamedFormat& writer, TDateTime value) {
  const String written = DateTimeToStr(value, writer.Settings);
  const TMoment moment = Decode(value);
  for (const TNamedFormat& reader : Formats()) {
    TDateTime back = 0;
    const std::string detail =
        std::string("read under ") + reader.Name + ", " + Describe(writer.Name, {}, written);
    fuzz::Check(TryStrToDateTimeAnyForm(written, back, reader.Settings),
                "what one format writes another does not read", detail);
    fuzz::Check(SameToTheSecond(moment, Decode(back)) || SwappedDayAndMonth(moment, Decode(back)),
                "what one format writes another reads as another moment", detail);
  }
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
  CheckAcrossFormats(format, value);

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

// A window where a moment is expected changes at most the order of day and month, and only to a
// moment inside it. The window begins a day before the other order's moment, so that it is met.
void CheckExpectedWindow(const TNamedFormat& format, const String& text, bool accepted, TDateTime value) {
  const TMoment plain = Decode(value);
  TDateTime swapped = 0;
  const bool swappable =
      accepted && plain.Day != plain.Month && TryEncodeDate(plain.Year, plain.Day, plain.Month, swapped);
  const TRealWindow window{swappable ? swapped - 1 : value - 1, 2.75};
  TDateTime inWindow = 0;
  const bool windowAccepted = TryStrToDateTimeAnyForm(text, inWindow, format.Settings, window);
  fuzz::Check(windowAccepted == accepted, "a window where the moment is expected changes what is read",
              Describe(format.Name, text, {}));
  if (!accepted || inWindow == value) return;
  const TMoment other = Decode(inWindow);
  fuzz::Check(window.Holds(inWindow) && !window.Holds(value) && other.Year == plain.Year &&
                  other.Day == plain.Month && other.Month == plain.Day && other.Hour == plain.Hour &&
                  other.Minute == plain.Minute && other.Second == plain.Second && other.Milli == plain.Milli,
              "a window where the moment is expected gives another moment than the other order's inside it",
              Describe(format.Name, text, {}));
}

void CheckAnyForm(const TNamedFormat& format, const String& text) {
  TDateTime own = 0;
  const bool ownAccepted = TryStrToDateTime(text, own, format.Settings);
  TDateTime value = 0;
  const bool accepted = TryStrToDateTimeAnyForm(text, value, format.Settings);
  CheckExpectedWindow(format, text, accepted, value);
  if (ownAccepted) {
    fuzz::Check(accepted && value == own, "the stored-text reader does not give the format's own reading",
                Describe(format.Name, text, {}));
    return;
  }
  if (!accepted) return;
  const String written = DateTimeToStr(value, format.Settings);
  TDateTime back = 0;
  fuzz::Check(
      TryStrToDateTime(written, back, format.Settings) && SameToTheSecond(Decode(value), Decode(back)),
      "a text read in another form is not written as the same moment", Describe(format.Name, text, written));
}

}  // namespace
}  // namespace kestrum

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrum;
  // Dates are short; long inputs only slow the search down.
  if (size > 256) return -1;
  const String text = FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const TNamedFormat& format : Formats()) {
    CheckFormat(format, text);
    CheckAnyForm(format, text);
  }
  return 0;
}
