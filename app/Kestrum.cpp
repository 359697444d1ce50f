// Program entry: the first copy in the session runs the main window; a later copy hands over to
// the first one and ends without a window and without touching any file.

#include <clocale>

#include <QApplication>
#include <QFont>
#include <QMessageBox>

#include "base/LocaleFormats.h"
#include "platform/NamedMutex.h"
#include "platform/notifyBTF.h"
#include "ui/ErrorReport.h"
#include "ui/KestrumFormf.h"

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

int RunFirstCopy(int argc, char** argv) {
  TKestrumApplication app(argc, argv);
  QApplication::setFont(QFont(QStringLiteral("Tahoma"), 8));
  TKestrumForm form;
  form.show();
  return app.exec();
}

void HandOverToFirstCopy() {
  const auto notifier = TNotifyBringingToFront::CreateForNotify(u"Kestrum2010_Notifier");
  notifier->Notify(2000);
}

void ShowMutexError(int argc, char** argv, int ACode) {
  QApplication app(argc, argv);
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Kestrum for DDO"),
                  QStringLiteral("Err Code : ") + QString::number(ACode), QMessageBox::Ok);
  box.exec();
}

}  // namespace
}  // namespace kestrum

int main(int argc, char** argv) {
  using namespace kestrum;
  std::setlocale(LC_ALL, "");
  SetFormatSettings(FormatSettingsFromLocale());

  const TNamedMutex mutex(u"Kestrum2010");
  switch (mutex.LastError()) {
    case kMutexCreated:
      return RunFirstCopy(argc, argv);
    case kMutexAlreadyExists:
      HandOverToFirstCopy();
      return 0;
    default:
      ShowMutexError(argc, argv, mutex.LastError());
      return 1;
  }
}
