#include "tests/ui/DialogsTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace kestrum::test {

void DialogTest::SetUp() {
  SetNowFunction([] { return FixedNow(); });
  SetFormatSettings({u"yyyy/mm/dd", u"hh:nn:ss", u'/', u':'});
}

void DialogTest::TearDown() {
  SetNowFunction({});
}

TDateTime DialogTest::FixedNow() {
  return EncodeDate(2024, 3, 10) + EncodeTime(12, 0, 0, 0);
}

void AnswerModal(std::function<void(QDialog& Dialog)> AAnswer) {
  QTimer::singleShot(0, qApp, [AAnswer] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ADD_FAILURE() << "no modal dialog is open";
      return;
    }
    try {
      AAnswer(*dialog);
    } catch (const std::exception& error) {
      ADD_FAILURE() << error.what();
    }
    if (dialog->isVisible()) {
      ADD_FAILURE() << "the answer left the dialog open";
      dialog->done(QDialog::Rejected);
    }
  });
}

void CloseNextMessageBox(QString* AText) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, AText] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    *AText = box->text();
    box->button(QMessageBox::Ok)->click();
    poll->deleteLater();
  });
  poll->start(10);
}

void Click(QDialog& ADialog, const char* AButton) {
  Child<QPushButton>(ADialog, AButton).click();
}

}  // namespace kestrum::test
