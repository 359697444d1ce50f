#include <algorithm>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ini/VoMemIniFile.h"
#include "tests/ini/IniTestSupport.h"

namespace kestrum {
namespace {

using test::DocumentLines;
using test::IniFileTest;

// Whatever a file holds, the saved document loads back as the same document. (Tabs and other
// control characters are left out: a value that begins or ends with one is stored unquoted and
// loses it, as ValuesComeBackFromTheFile shows.) Saving writes UTF-8 here, which holds whatever
// loading made of the bytes; Windows writes its ANSI code page, which cannot.
TEST_F(IniFileTest, SavedJunkLoadsBackUnchanged) {
  const std::string alphabet[] = {"[", "]", "=", ";",        "\"",   " ",    "\r", "\n",          "\r\n",
                                  "a", "B", "k", "\xC3\xA9", "\xFF", "\x7F", "#",  "\xE3\x80\x80"};
  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(alphabet) - 1);
  for (int round = 0; round < 60; ++round) {
    std::string junk = round % 2 == 0 ? "[s]\n" : "";
    for (int i = 0; i < 3000; ++i) junk += alphabet[pick(random)];
    const auto doc = LoadBytes(junk);
    const std::vector<String> lines = DocumentLines(*doc);
    doc->UpdateFile();
    const auto reloaded = std::make_unique<TVoMemIniFile>(ToString(PathOf("doc.ini")));
    const std::vector<String> again = DocumentLines(*reloaded);
    const auto [was, is] = std::mismatch(lines.begin(), lines.end(), again.begin(), again.end());
    ASSERT_TRUE(was == lines.end() && is == again.end())
        << "round " << round << ", line " << (was - lines.begin()) << ": "
        << (was == lines.end() ? "(none)" : ToUtf8(*was)) << " became "
        << (is == again.end() ? "(none)" : ToUtf8(*is));
  }
}

}  // namespace
}  // namespace kestrum
