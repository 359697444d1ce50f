// Program entry: the first copy on a roster runs the main window; a later copy hands over to the
// first one and ends without a window and without touching any file.

#include <cerrno>
#include <clocale>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QMessageBox>

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
  return app.exec();
}

// The lock belongs to the roster, not to the session: every copy that would write this raid.dat
// finds it, whatever its environment. A data folder that takes no file cannot take a saved roster
// either, so there the session's lock is enough to keep the hand-over working.
std::unique_ptr<TNamedMutex> LockRoster() {
  const String dataFile = GetDataFileName();
  ForceFileDir(dataFile);
  auto mutex = std::make_unique<TNamedMutex>(ExtractFileDir(dataFile), kInstanceMutexName);
  if (mutex->LastError() == EACCES || mutex->LastError() == EROFS) {
    int error = 0;
    const String sessionFolder = RuntimeFolder(error);
    if (error == 0) mutex = std::make_unique<TNamedMutex>(sessionFolder, kInstanceMutexName);
  }
  return mutex;
}

void HandOverToFirstCopy() {
  const auto notifier = TNotifyBringingToFront::CreateForNotify(kNotifierName);
  notifier->Notify(2000);
}

void ShowMutexError(int argc, char** argv, int ACode) {
  QApplication app(argc, argv);
  PresentToDesktop();
  InstallTranslations(app);
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Kestrum for DDO"),
                  QStringLiteral("Err Code : ") + QString::number(ACode), QMessageBox::Ok);
  box.exec();
}

}  // namespace
}  // namespace kestrum

int main(int argc, char** argv) {
  using namespace kestrum;
  AnswerCommandLine(argc, argv);
  std::setlocale(LC_ALL, "");
  SetFormatSettings(FormatSettingsFromLocale());

  const std::unique_ptr<TNamedMutex> mutex = LockRoster();
  switch (mutex->LastError()) {
    case kMutexCreated:
      return RunFirstCopy(argc, argv);
    case kMutexAlreadyExists:
      HandOverToFirstCopy();
      return 0;
    default:
      ShowMutexError(argc, argv, mutex->LastError());
      return 1;
  }
}
