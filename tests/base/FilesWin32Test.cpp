#include "base/Files.h"

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "tests/base/FilesTestFixture.h"

namespace kestrum {
namespace {

// Windows will not replace a file that another program holds open without sharing it, nor a
// folder: the save fails, says which file, and the old bytes stay.
TEST_F(FilesTest, FailedWriteKeepsTheOldFileByteForByte) {
  const fs::path target = Folder() / "raid.dat";
  const std::string old("[RAID]\r\n\x93\xFA\x96\x7B\r\n\0end", 17);
  struct Case {
    const char* what;
    std::function<HANDLE()> block;  // makes the target unwritable; a handle to close afterwards
  };
  const Case cases[] = {
      {"file held open",
       [&] {
         return CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
       }},
      {"folder in the way",
       [&] {
         fs::remove(target);
         fs::create_directory(target);
         return INVALID_HANDLE_VALUE;
       }},
  };
  for (const Case& c : cases) {
    fs::remove_all(target);
    test::WriteFileBytes(target, old);
    const HANDLE held = c.block();
    const std::string message = FailedWrite(target);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    EXPECT_EQ(message.rfind("Cannot write \"" + target.string() + "\": ", 0), 0u)
        << c.what << ": " << message;
    EXPECT_GT(message.size(), target.string().size() + 17) << c.what << ": the reason is given";
    if (fs::is_regular_file(target)) {
      EXPECT_EQ(test::ReadFileBytes(target), old) << c.what;
    }
  }
}

TEST_F(FilesTest, ReadFailureNamesTheFile) {
  const fs::path missing = Folder() / "missing.dat";
  try {
    ReadFileBytes(Path(missing));
    ADD_FAILURE() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot read \"" + missing.string() + "\": ", 0), 0u) << e.what();
  }
}

TEST(Files, ExtractFileDirKnowsDrivesAndBothSeparators) {
  const std::pair<String, String> cases[] = {
      {u"C:\\Users\\u\\raid.dat", u"C:\\Users\\u"},
      {u"C:\\raid.dat", u"C:\\"},
      {u"C:/Users/u/raid.dat", u"C:/Users/u"},
      {u"\\\\server\\share\\raid.dat", u"\\\\server\\share"},
      {u"raid.dat", u""},
      {u"C:\\Users\\u\\", u"C:\\Users\\u"},
  };
  for (const auto& [path, folder] : cases)
    EXPECT_EQ(ToUtf8(ExtractFileDir(path)), ToUtf8(folder)) << ToUtf8(path);
}

TEST(Files, ProgramFolderHoldsThisProgram) {
  const String folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), u'\\');
  EXPECT_TRUE(FileExists(folder + u"tests_base.exe"));
}

}  // namespace
}  // namespace kestrum
