#include "ui/ErrorReport.h"

#include <QMessageBox>

namespace kestrum {

void ShowErrorReport(QWidget* AParent, const std::exception& AError) {
  // Exception::what() gives the message as UTF-8, as does every other error the program meets.
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Kestrum"), QString::fromUtf8(AError.what()),
                  QMessageBox::Ok, AParent);
  box.setObjectName(QStringLiteral("ErrorReport"));
  box.exec();
}

}  // namespace kestrum
