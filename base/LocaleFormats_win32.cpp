#include "base/LocaleFormats.h"

#include <windows.h>

namespace kestrum {

namespace {

String UserLocaleInfo(LCTYPE type) {
  wchar_t buffer[LOCALE_NAME_MAX_LENGTH * 4];
  const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, sizeof buffer / sizeof *buffer);
  return length > 1 ? String(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(length - 1))
                    : String();
}

char16_t FirstOr(const String& text, char16_t fallback) {
  return text.empty() ? fallback : text.front();
}

}  // namespace

TFormatSettings FormatSettingsFromLocale() {
  return FormatSettingsFromPictures(UserLocaleInfo(LOCALE_SSHORTDATE), UserLocaleInfo(LOCALE_STIMEFORMAT),
                                    FirstOr(UserLocaleInfo(LOCALE_SDATE), u'/'),
                                    FirstOr(UserLocaleInfo(LOCALE_STIME), u':'));
}

}  // namespace kestrum
