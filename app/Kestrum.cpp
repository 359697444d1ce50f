// Program entry: the first copy on a roster runs the main window; a later copy hands over to the
// first one and ends without a window and without touching any file.

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QMessageBox>
#include <QTimer>

#include "KestrumVersion.h"
#include "app/CommandLine.h"

#include "base/Files.h"
#include "base/LocaleFormats.h"
#include "data/shhlpr.h"
#include "platform/InstanceNames.h"
#include "platform/NamedMutex.h"
#include "platform/notifyBTF.h"
#include "ui/DefaultFont.h"
#include "ui/ErrorReport.h"
#include "ui/KestrumFormf.h"
#include "ui/StartupReport.h"
#include "ui/Translations.h"

namespace kestrum {
namespace {

// Reports an error that escapes an event handler and keeps the program running.
class TKestrumApplication final : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* AReceiver, QEvent* AEvent) override {
    try {
      return QApplication::notify(AReceiver, AEvent);
    } catch (const std::exception& error) {
      ShowErrorReport(activeWindow(), error);
      return false;
    }
  }
};

// The name and icon the desktop shows; the desktop entry's id groups the windows under it.
void PresentToDesktop() {
  DescribeApplication();
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kKestrumAppId));
  QIcon icon;
  for (const QFileInfo& rendering : QDir(QStringLiteral(":/icons")).entryInfoList())
    icon.addFile(rendering.filePath());
  QApplication::setWindowIcon(icon);
}

int RunFirstCopy(int argc, char** argv) {
  TKestrumApplication app(argc, argv);
  PresentToDesktop();
  InstallTranslations(app);
  QApplication::setFont(DefaultFont());
  std::unique_ptr<TKestrumForm> form;
  try {
    form = std::make_unique<TKestrumForm>();
  } catch (const std::exception& error) {
    // A roster that cannot be read (an unreadable or oversized raid.dat) ends the program, saying
    // why; the file stays as it is.
    ShowErrorReport(nullptr, error);
    return 1;
  }
  form->show();
  TKestrumForm* const window = form.get();
  QTimer::singleShot(0, window, [window] { TStartupReport::ReportLinksIntoMissingFolders(window); });
  return app.exec();
}

struct TRosterLock {
  std::unique_ptr<TNamedMutex> Mutex;
  String Folder;  // where the lock file is: the hand-over serves the copies that meet there
};

// The lock belongs to the roster, not to the session: every copy that would write this raid.dat
// finds it, whatever its environment. A data folder that takes no file cannot take a saved roster
// either, so there the session's lock is enough to keep the hand-over working.
TRosterLock LockRoster() {
  const String dataFile = GetDataFileName();
  ForceFileDir(dataFile);
  TRosterLock lock{nullptr, ExtractFileDir(dataFile)};
  lock.Mutex = std::make_unique<TNamedMutex>(lock.Folder, kInstanceMutexName);
  if (lock.Mutex->LastError() == EACCES || lock.Mutex->LastError() == EROFS) {
    int error = 0;
    const String sessionFolder = RuntimeFolder(error);
    if (error == 0) lock = {std::make_unique<TNamedMutex>(sessionFolder, kInstanceMutexName), sessionFolder};
  }
  return lock;
}

// A copy that cannot reach the first one says so on the terminal and ends without a window; an ssh
// login or a cron job sees the line, and a box could not be shown there.
int HandOverToFirstCopy(int argc, char** argv, const String& ALockFolder) {
  const auto notifier = TNotifyBringingToFront::CreateForNotify(kNotifierName);
  if (notifier->Notify(2000)) return 0;
  QCoreApplication app(argc, argv);
  InstallTranslations(app);
  std::fprintf(stderr, "%s\n", TStartupReport::HandOverFailure(ALockFolder).toLocal8Bit().constData());
  return 1;
}

void ShowMutexError(int argc, char** argv, const TNamedMutex& AMutex) {
  QApplication app(argc, argv);
  PresentToDesktop();
  InstallTranslations(app);
  TStartupReport::LockFailureBox(AMutex)->exec();
}

}  // namespace
}  // namespace kestrum

int main(int argc, char** argv) {
  using namespace kestrum;
  AnswerCommandLine(argc, argv);
  std::setlocale(LC_ALL, "");
  SetFormatSettings(FormatSettingsFromLocale());

  const TRosterLock lock = LockRoster();
  SetHandOverScope(lock.Folder);
  switch (lock.Mutex->LastError()) {
    case kMutexCreated:
      return RunFirstCopy(argc, argv);
    case kMutexAlreadyExists:
      return HandOverToFirstCopy(argc, argv, lock.Folder);
    default:
      ShowMutexError(argc, argv, *lock.Mutex);
      return 1;
  }
}
