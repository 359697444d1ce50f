#include "base/LocaleFormats.h"

#include <langinfo.h>

namespace kestrum {

TFormatSettings FormatSettingsFromLocale() {
  return FormatSettingsFromStrftime(nl_langinfo(D_FMT), nl_langinfo(T_FMT));
}

}  // namespace kestrum
