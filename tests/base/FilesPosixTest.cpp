#include "base/Files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "tests/base/FilesTestFixture.h"
#include "tests/support/FileSizeLimit.h"

namespace kestrum {
namespace {

TEST_F(FilesTest, ReplacingKeepsThePermissions) {
  const fs::path target = Folder() / "raid.dat";
  WriteFileAtomic(Path(target), "first");
  chmod(target.c_str(), 0640);
  WriteFileAtomic(Path(target), "second");
  EXPECT_EQ(test::ReadFileBytes(target), "second");
  struct stat info;
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
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

// Each shape a raid.dat can have on disk: a link stays a link and is written through, even when
// its target is still missing; a file its owner may not write (by its mode, so for root too) and a
// link into a folder that does not exist (a sync drive not mounted) are refused, naming both.
TEST_F(FilesTest, WriteByTheShapeOfTheFile) {
  const fs::path file = Folder() / "raid.dat";
  const fs::path sync = home_.Root() / "sync";
  const std::string readOnly = "the file is read-only (its owner has no write permission)";
  const auto viaLink = [&](const fs::path& ATarget) {
    return "\"" + file.string() + "\" (a link to \"" + ATarget.string() + "\")";
  };
  struct Case {
    const char* shape;
    std::function<void()> make;
    fs::path holder;    // the file that holds the content afterwards
    std::string error;  // what the write says; empty when it succeeds
  };
  const Case cases[] = {
      {"plain file", [&] { test::WriteFileBytes(file, "old"); }, file, ""},
      {"read-only file",
       [&] {
         test::WriteFileBytes(file, "old");
         chmod(file.c_str(), 0444);
       },
       file, "Cannot write \"" + file.string() + "\": " + readOnly},
      {"live link",
       [&] {
         test::WriteFileBytes(sync / "raid.dat", "old");
         fs::create_symlink(sync / "raid.dat", file);
       },
       sync / "raid.dat", ""},
      {"chain of relative links",
       [&] {
         test::WriteFileBytes(sync / "raid.dat", "old");
         fs::create_symlink("raid.dat", sync / "current");
         fs::create_symlink("../sync/current", file);
       },
       sync / "raid.dat", ""},
      {"link to a missing file in a folder that exists", [&] { fs::create_symlink(sync / "raid.dat", file); },
       sync / "raid.dat", ""},
      {"link into a missing folder", [&] { fs::create_symlink(sync / "gone" / "raid.dat", file); },
       sync / "gone" / "raid.dat",
       "Cannot write " + viaLink(sync / "gone" / "raid.dat") + ": the folder \"" + (sync / "gone").string() +
           "\" does not exist"},
      {"link to a read-only file",
       [&] {
         test::WriteFileBytes(sync / "raid.dat", "old");
         chmod((sync / "raid.dat").c_str(), 0444);
         fs::create_symlink(sync / "raid.dat", file);
       },
       sync / "raid.dat", "Cannot write " + viaLink(sync / "raid.dat") + ": " + readOnly},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    fs::remove_all(Folder());
    fs::remove_all(sync);
    fs::create_directory(Folder());
    fs::create_directory(sync);
    c.make();
    const bool wasLink = fs::is_symlink(file);
    const auto syncBefore = test::FolderListing(sync);
    const std::string before = fs::exists(c.holder) ? test::ReadFileBytes(c.holder) : "(none)";

    if (c.error.empty()) {
      WriteFileAtomic(Path(file), "new");
      EXPECT_EQ(test::ReadFileBytes(c.holder), "new");
    } else {
      EXPECT_EQ(FailedWrite(file), c.error);
      EXPECT_EQ(fs::exists(c.holder) ? test::ReadFileBytes(c.holder) : "(none)", before);
      EXPECT_EQ(test::FolderListing(sync), syncBefore);
    }
    EXPECT_EQ(fs::is_symlink(file), wasLink);
  }
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

TEST_F(FilesTest, WriteNewFileNeverFollowsALink) {
  fs::create_symlink(Folder() / "nowhere", Folder() / "link");
  EXPECT_FALSE(WriteNewFile(Path(Folder() / "link"), "x"));
  EXPECT_FALSE(fs::exists(Folder() / "nowhere"));
  EXPECT_EQ(Entries(), std::vector<std::string>{"link"});
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
