#include "base/Files.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/base/FilesTestFixture.h"

namespace kestrum {
namespace {

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

  WriteFileAtomic(Path(target), "second");
  EXPECT_EQ(test::ReadFileBytes(target), "second");
  WriteFileAtomic(Path(target), "");
  EXPECT_EQ(test::ReadFileBytes(target), "");
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
  EXPECT_FALSE(WriteNewFile(Path(Folder() / "folder"), "x"));
  EXPECT_THROW(WriteNewFile(Path(Folder() / "missing" / "kept"), "x"), EFileError);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"folder", "kept"}));
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

TEST_F(FilesTest, FileSizeIsTheFilesBytesAndNoneForAFolderOrNothing) {
  test::WriteFileBytes(Folder() / "file", std::string(70000, 'x'));
  test::WriteFileBytes(Folder() / "empty", "");
  EXPECT_EQ(FileSize(Path(Folder() / "file")), 70000);
  EXPECT_EQ(FileSize(Path(Folder() / "empty")), 0);
  EXPECT_EQ(FileSize(Path(Folder())), -1);
  EXPECT_EQ(FileSize(Path(Folder() / "none")), -1);
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

}  // namespace
}  // namespace kestrum
