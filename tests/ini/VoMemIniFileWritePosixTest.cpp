#include <set>
#include <string>

#include <gtest/gtest.h>

#include "base/Files.h"
#include "ini/VoMemIniFile.h"
#include "tests/ini/IniTestSupport.h"
#include "tests/support/FileSizeLimit.h"

namespace kestrum {
namespace {

using test::FolderContents;
using test::IniFileTest;

// A save that runs out of room (here: the file size limit) keeps the old file byte for byte.
TEST_F(IniFileTest, SaveCutShortKeepsTheOldFile) {
  const std::string old = "; keep me\r\n[A]\r\n\r\nk=1\r\n\r\n";
  test::WriteFileBytes(PathOf("doc.ini"), old);
  const std::set<std::string> before = FolderContents(home_.Root());
  const String path = ToString(PathOf("doc.ini"));

  const int code = test::ExitCodeUnderFileSizeLimit(64, [&path] {
    try {
      TVoMemIniFile doc(path);
      doc.WriteString(u"A", u"k", String(4096, u'x'));
      doc.UpdateFile();
      return 1;
    } catch (const EFileError&) {
      return 0;
    } catch (...) {
      return 2;
    }
  });
  EXPECT_EQ(code, 0) << "1: the save reported success, 2: another error, -1: the child did not exit";
  EXPECT_EQ(FileBytes("doc.ini"), old);
  EXPECT_EQ(FolderContents(home_.Root()), before);
}

}  // namespace
}  // namespace kestrum
