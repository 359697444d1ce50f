#include "tests/ui/DialogsTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace kestrum::test {

void DialogTest::SetUp() {
  clockAndFormats_.StopClockAt(FixedNow());
  clockAndFormats_.SetFormats({u"yyyy/mm/dd", u"hh:nn:ss", u'/', u':'});
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

TMessageBoxCloser::TMessageBoxCloser() {
  QObject::connect(&FPoll, &QTimer::timeout, &FPoll, [this] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    Texts << box->text();
    box->button(QMessageBox::Ok)->click();
  });
  FPoll.start(10);
}

void ExpectShowsItsContentsWhole(const QDialog& ADialog) {
  // Under Wine a dialog opened modally from the main window finds no font face, and widths measured
  // then mean nothing.
  if (QFontInfo(ADialog.font()).family().isEmpty()) GTEST_SKIP() << "no font face to measure with";
  for (const QWidget* child : ADialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isWindow() || !child->isVisibleTo(&ADialog)) continue;
    EXPECT_TRUE(ADialog.rect().contains(child->geometry()))
        << child->objectName().toStdString() << " reaches outside the dialog";
    if (const auto* label = qobject_cast<const QLabel*>(child)) {
      const int textWidth =
          label->fontMetrics().boundingRect(QRect(), int(label->alignment()), label->text()).width();
      EXPECT_GE(label->contentsRect().width(), textWidth)
          << label->objectName().toStdString() << " in " << QFontInfo(label->font()).family().toStdString();
    }
  }
}

void Click(QDialog& ADialog, const char* AButton) {
  Child<QPushButton>(ADialog, AButton).click();
}

}  // namespace kestrum::test
