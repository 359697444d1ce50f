#include "ui/StartupReport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>

#include <QFontMetrics>
#include <QMessageBox>

#include "tests/ui/DialogsTestSupport.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;

QString QPath(const fs::path& APath) {
  return QString::fromStdString(APath.string());
}

using StartupReportTest = EnglishDialogTest;

// The cases the users met: a folder left to root by a run under sudo, the Kestrum folder a link to
// an unmounted drive, the lock file a link that leads elsewhere. Each box keeps "Err Code : N" and
// names the path, the system's reason and what to do.
TEST_F(StartupReportTest, LockFailureSaysWhereWhyAndWhatToDo) {
  const fs::path folder = home_.AppFolder();
  fs::create_directories(folder);
  struct Case {
    const char* what;
    std::function<fs::path()> make;  // returns the folder the lock is sought in
    const char* code;
    QString path;
    QString reason;
    QString hint;
  };
  const Case cases[] = {
      {"folder a link to an unmounted drive",
       [&] {
         fs::create_directory_symlink(home_.Root() / "mnt" / "Kestrum", home_.Root() / "linked");
         return home_.Root() / "linked";
       },
       "2", QPath(home_.Root() / "linked"), QStringLiteral("No such file or directory"),
       QStringLiteral("mount that; otherwise create the folder")},
      {"lock file a link out of the folder",
       [&] {
         fs::create_symlink(home_.Root() / "dotfiles" / "Kestrum2010", folder / "Kestrum2010");
         return folder;
       },
       "40", QPath(folder / "Kestrum2010"), QStringLiteral("Too many levels of symbolic links"),
       QStringLiteral("Remove the link")},
      {"folder of another user",
       [&] {
         fs::create_directory(home_.Root() / "foreign");
         if (chown((home_.Root() / "foreign").c_str(), 65534, 65534) != 0) return fs::path();
         return home_.Root() / "foreign";
       },
       "1", QPath(home_.Root() / "foreign"), QStringLiteral("Operation not permitted"),
       QStringLiteral("sudo chown -R $USER \"%1\"").arg(QPath(home_.Root() / "foreign"))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path lockFolder = c.make();
    if (lockFolder.empty()) continue;  // only root can hand a folder to another user
    const TNamedMutex mutex(FromUtf8(lockFolder.string()), u"Kestrum2010");
    const QStringList lines = TStartupReport::LockFailureBox(mutex)->text().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 4) << lines.join('|').toStdString();
    EXPECT_EQ(lines.first(), QStringLiteral("Err Code : ") + QLatin1String(c.code));
    EXPECT_EQ(lines[1], QStringLiteral("Path: ") + c.path);
    EXPECT_TRUE(lines.contains(QStringLiteral("Reason: ") + c.reason)) << lines.join('|').toStdString();
    EXPECT_TRUE(lines.last().contains(c.hint)) << lines.last().toStdString();
  }
}

// With only a short text the box was narrower than its title, which the frame then cut.
TEST_F(StartupReportTest, LockFailureBoxIsWideEnoughForItsTitle) {
  const TNamedMutex mutex(FromUtf8(home_.Root().string()), u"../Kestrum2010");
  ASSERT_EQ(mutex.LastError(), EINVAL);
  const std::unique_ptr<QMessageBox> box = TStartupReport::LockFailureBox(mutex);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("Kestrum for DDO"));
  box->show();
  QFont titleFont = box->font();
  titleFont.setBold(true);
  // The title as a frame draws it, and beside it the frame's icon and four buttons.
  const QFontMetrics metrics(box->font());
  EXPECT_GE(box->width(),
            QFontMetrics(titleFont).horizontalAdvance(box->windowTitle()) + 10 * metrics.height());
}

TEST_F(StartupReportTest, LinksIntoMissingFoldersAreNamedOnce) {
  fs::create_directories(home_.AppFolder());
  EXPECT_EQ(TStartupReport::LinksIntoMissingFolders(), QString());

  const fs::path target = home_.Root() / "sync" / "raid.dat";
  fs::create_symlink(target, home_.AppFolder() / "raid.dat");
  fs::create_symlink(home_.Root() / "cfg.ini", home_.AppFolder() / "cfg.ini");  // its folder exists
  const QString notice = TStartupReport::LinksIntoMissingFolders();
  EXPECT_TRUE(notice.contains(QPath(home_.AppFolder() / "raid.dat"))) << notice.toStdString();
  EXPECT_TRUE(notice.contains(QPath(target))) << notice.toStdString();
  EXPECT_TRUE(notice.contains(QStringLiteral("Nothing can be saved"))) << notice.toStdString();
  EXPECT_FALSE(notice.contains(QStringLiteral("cfg.ini"))) << notice.toStdString();

  fs::create_directories(target.parent_path());
  EXPECT_EQ(TStartupReport::LinksIntoMissingFolders(), QString());
}

}  // namespace
}  // namespace kestrum::test
