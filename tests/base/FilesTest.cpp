#include "base/Files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempHome.h"

namespace kestrum {
namespace {

namespace fs = std::filesystem;

String Path(const fs::path& path) {
  return FromUtf8(path.string());
}

class FilesTest : public test::TempHomeTest {
 protected:
  FilesTest() { fs::create_directory(Folder()); }
  fs::path Folder() const { return home_.Root() / "work"; }

  // Every entry of the folder, so a test sees any temporary file left behind.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Folder()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // Runs a write that must fail and returns its message; checks that nothing else was touched.
  std::string FailedWrite(const fs::path& target) {
    const auto before = Entries();
    try {
      WriteFileAtomic(Path(target), "new content");
    } catch (const EFileError& e) {
      EXPECT_EQ(Entries(), before);
      return e.what();
    }
    ADD_FAILURE() << "writing " << target << " did not fail";
    return {};
  }
};

TEST_F(FilesTest, ASuccessfulWriteRemovesTheLeftoversOfWritesCutOffEarlier) {
  for (const char* name : {"raid.dat.tmp-AbC123", "raid.dat.tmp-zzzzzz", "raid.dat.tmp-long-name",
                           "cfg.ini.tmp-AbC123", "raid.dat.bak"})
    test::WriteFileBytes(Folder() / name, "left");
  WriteFileAtomic(Path(Folder() / "raid.dat"), "new");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"cfg.ini.tmp-AbC123", "raid.dat", "raid.dat.bak",
                                                 "raid.dat.tmp-long-name"}));
}

TEST_F(FilesTest, WriteFileAtomicCreatesAndReplaces) {
  const fs::path target = Folder() / "raid.dat";
  const std::string binary("a\0b\r\n\xFF", 6);
  WriteFileAtomic(Path(target), binary);
  EXPECT_EQ(test::ReadFileBytes(target), binary);
  EXPECT_EQ(ReadFileBytes(Path(target)), binary);

  chmod(target.c_str(), 0640);
  WriteFileAtomic(Path(target), "second");
  EXPECT_EQ(test::ReadFileBytes(target), "second");
  struct stat info;
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  WriteFileAtomic(Path(target), "");
  EXPECT_EQ(test::ReadFileBytes(target), "");
  EXPECT_EQ(Entries(), std::vector<std::string>{"raid.dat"});
}

TEST_F(FilesTest, WriteThroughALinkKeepsTheLink) {
  const fs::path real = Folder() / "real.dat";
  const fs::path link = Folder() / "raid.dat";
  test::WriteFileBytes(real, "old");
  fs::create_symlink(real, link);
  WriteFileAtomic(Path(link), "new");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(test::ReadFileBytes(real), "new");
}

TEST_F(FilesTest, WriteFailuresNameTheFileAndTheReason) {
  fs::create_directory(Folder() / "folder");
  test::WriteFileBytes(Folder() / "plain", "x");
  struct Case {
    fs::path target;
    std::string reason;
  };
  const Case cases[] = {
      {Folder() / "folder", "Is a directory"},
      {Folder() / "missing" / "raid.dat", "No such file or directory"},
      {Folder() / "plain" / "raid.dat", "Not a directory"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FailedWrite(c.target), "Cannot write \"" + c.target.string() + "\": " + c.reason);
  EXPECT_TRUE(fs::is_directory(Folder() / "folder"));
  EXPECT_THROW(WriteFileAtomic(String(u"raid\0.dat", 9), "x"), EFileError);
  EXPECT_THROW(WriteFileAtomic(u"", "x"), EFileError);
}

// A file-size limit stops root too: the write fails with EFBIG and the old content stays.
TEST_F(FilesTest, WriteBeyondTheFileSizeLimitKeepsTheOldFile) {
  const fs::path target = Folder() / "raid.dat";
  test::WriteFileBytes(target, "old content");
  const std::string expected = "Cannot write \"" + target.string() + "\": File too large";
  const int result = test::ExitCodeUnderFileSizeLimit(4096, [&] {
    try {
      WriteFileAtomic(Path(target), std::string(1 << 20, 'x'));
    } catch (const EFileError& e) {
      return e.what() == expected ? 0 : 2;
    }
    return 1;
  });
  EXPECT_EQ(result, 0) << "1: no error, 2: wrong message";
  EXPECT_EQ(test::ReadFileBytes(target), "old content");
  EXPECT_EQ(Entries(), std::vector<std::string>{"raid.dat"});
}

TEST_F(FilesTest, WriteNewFileNeverReplacesAnything) {
  const fs::path file = Folder() / "kept";
  const std::string binary("a\0\xFF\r\n", 5);
  EXPECT_TRUE(WriteNewFile(Path(file), binary));
  EXPECT_EQ(test::ReadFileBytes(file), binary);
  EXPECT_FALSE(WriteNewFile(Path(file), "other"));
  EXPECT_EQ(test::ReadFileBytes(file), binary);

  fs::create_directory(Folder() / "folder");
  fs::create_symlink(Folder() / "nowhere", Folder() / "link");
  EXPECT_FALSE(WriteNewFile(Path(Folder() / "folder"), "x"));
  EXPECT_FALSE(WriteNewFile(Path(Folder() / "link"), "x"));
  EXPECT_FALSE(fs::exists(Folder() / "nowhere"));
  EXPECT_THROW(WriteNewFile(Path(Folder() / "missing" / "kept"), "x"), EFileError);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"folder", "kept", "link"}));
}

// A copy that does not fit is removed rather than left cut short.
TEST_F(FilesTest, WriteNewFileBeyondTheFileSizeLimitLeavesNoFile) {
  const int result = test::ExitCodeUnderFileSizeLimit(4096, [this] {
    try {
      WriteNewFile(Path(Folder() / "kept"), std::string(1 << 20, 'x'));
    } catch (const EFileError&) {
      return 0;
    }
    return 1;
  });
  EXPECT_EQ(result, 0) << "the write did not fail";
  EXPECT_TRUE(Entries().empty());
}

TEST_F(FilesTest, ReadFailuresNameTheFileAndTheReason) {
  const fs::path missing = Folder() / "missing.dat";
  try {
    ReadFileBytes(Path(missing));
    ADD_FAILURE() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot read \"" + missing.string() + "\": No such file or directory");
  }
  EXPECT_THROW(ReadFileBytes(Path(Folder())), EFileError);
}

TEST_F(FilesTest, ExistenceTellsFilesFromFolders) {
  test::WriteFileBytes(Folder() / "file", "x");
  EXPECT_TRUE(FileExists(Path(Folder() / "file")));
  EXPECT_FALSE(DirectoryExists(Path(Folder() / "file")));
  EXPECT_TRUE(DirectoryExists(Path(Folder())));
  EXPECT_FALSE(FileExists(Path(Folder())));
  EXPECT_FALSE(FileExists(Path(Folder() / "none")));
  EXPECT_FALSE(DirectoryExists(Path(Folder() / "none")));
  EXPECT_FALSE(FileExists(u""));
}

TEST_F(FilesTest, CopyRenameDelete) {
  const fs::path a = Folder() / "a", b = Folder() / "b", c = Folder() / "c";
  test::WriteFileBytes(a, "A");
  test::WriteFileBytes(b, "B");
  EXPECT_TRUE(CopyFileReplacing(Path(a), Path(b)));
  EXPECT_EQ(test::ReadFileBytes(b), "A");
  EXPECT_FALSE(CopyFileReplacing(Path(Folder() / "none"), Path(b)));
  EXPECT_EQ(test::ReadFileBytes(b), "A");

  test::WriteFileBytes(c, "C");
  EXPECT_TRUE(RenameFile(Path(c), Path(a)));
  EXPECT_EQ(test::ReadFileBytes(a), "C");
  EXPECT_FALSE(RenameFile(Path(c), Path(a)));

  EXPECT_TRUE(DeleteFile(Path(a)));
  EXPECT_FALSE(DeleteFile(Path(a)));
  EXPECT_EQ(Entries(), std::vector<std::string>{"b"});
}

TEST_F(FilesTest, ForceDirectoriesCreatesEveryLevel) {
  const fs::path deep = Folder() / "x" / "y" / "z";
  EXPECT_TRUE(ForceDirectories(Path(deep)));
  EXPECT_TRUE(fs::is_directory(deep));
  EXPECT_TRUE(ForceDirectories(Path(deep)));
  test::WriteFileBytes(Folder() / "file", "x");
  EXPECT_FALSE(ForceDirectories(Path(Folder() / "file" / "sub")));
  EXPECT_FALSE(ForceDirectories(u""));
}

TEST(Files, ExtractFileDir) {
  EXPECT_EQ(ExtractFileDir(u"/home/u/raid.dat"), u"/home/u");
  EXPECT_EQ(ExtractFileDir(u"raid.dat"), u"");
  EXPECT_EQ(ExtractFileDir(u"/raid.dat"), u"/");
  EXPECT_EQ(ExtractFileDir(u"/home/u/"), u"/home/u");
}

TEST(Files, ProgramFolderHoldsThisProgram) {
  const String folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), PathDelim);
  EXPECT_TRUE(FileExists(folder + u"tests_base"));
}

}  // namespace
}  // namespace kestrum
