#include <csignal>
#include <set>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "base/Files.h"
#include "ini/VoMemIniFile.h"
#include "tests/ini/IniTestSupport.h"

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

  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    setrlimit(RLIMIT_FSIZE, &limit);
    int code = 1;
    try {
      TVoMemIniFile doc(path);
      doc.WriteString(u"A", u"k", String(4096, u'x'));
      doc.UpdateFile();
    } catch (const EFileError&) {
      code = 0;
    } catch (...) {
      code = 2;
    }
    _exit(code);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the save reported success, 2: another error";
  EXPECT_EQ(FileBytes("doc.ini"), old);
  EXPECT_EQ(FolderContents(home_.Root()), before);
}

}  // namespace
}  // namespace kestrum
