#include "data/shhlpr.h"

#include <cstdlib>
#include <optional>

#include "base/Files.h"

namespace kestrum {

namespace {

// The variable's value when it is an absolute path, with its trailing separators removed ("/" gives an
// empty text); nothing when it is unset or relative.
std::optional<String> AbsolutePathFromEnv(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return std::nullopt;
  String path = FromUtf8(value);
  while (!path.empty() && path.back() == PathDelim) path.pop_back();
  return path;
}

}  // namespace

String GetAppDataFolder() {
  if (const std::optional<String> xdg = AbsolutePathFromEnv("XDG_DATA_HOME"))
    return xdg->empty() ? u"/" : *xdg;
  if (const std::optional<String> home = AbsolutePathFromEnv("HOME")) return *home + u"/.local/share";
  return String();
}

}  // namespace kestrum
