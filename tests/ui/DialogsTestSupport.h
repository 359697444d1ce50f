#pragma once

#include <functional>
#include <stdexcept>
#include <string>

#include <QCoreApplication>
#include <QDialog>
#include <QStringList>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "tests/support/ClockAndFormats.h"
#include "tests/support/TempHome.h"
#include "ui/TagOwner.h"

namespace kestrum::test {

// Every dialog test runs in its own home, on a fixed clock and fixed regional formats.
class DialogTest : public TempHomeTest {
 protected:
  void SetUp() override;
  static TDateTime FixedNow();

  TClockAndFormats clockAndFormats_;
};

// A dialog test under the English translation as the program installs it.
class EnglishDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    ASSERT_TRUE(translator_.load(QStringLiteral("kestrum_en"), QStringLiteral(":/i18n")));
    QCoreApplication::installTranslator(&translator_);
  }
  void TearDown() override {
    QCoreApplication::removeTranslator(&translator_);
    DialogTest::TearDown();
  }

  QTranslator translator_;
};

// Stands in for the main window: a window whose Tag names its open dialog.
class TTagWindow final : public QWidget, public TTagOwner {};

// Schedules AAnswer for the modal dialog about to be opened. A dialog the answer leaves open is
// cancelled and the test fails, so that a broken answer cannot hang the run.
void AnswerModal(std::function<void(QDialog& Dialog)> AAnswer);

// Closes every message box that comes up while it lives with its OK button, keeping the texts.
class TMessageBoxCloser final {
 public:
  TMessageBoxCloser();
  TMessageBoxCloser(const TMessageBoxCloser&) = delete;
  TMessageBoxCloser& operator=(const TMessageBoxCloser&) = delete;

  // The text of the first box closed; empty when none came up.
  QString First() const { return Texts.value(0); }

  QStringList Texts;

 private:
  QTimer FPoll;
};

// Whatever the font: every child of ADialog lies inside it, and every label is wide enough for
// its text.
void ExpectShowsItsContentsWhole(const QDialog& ADialog);

// The child of AParent with that object name; throws when there is none.
template <class T>
T& Child(const QWidget& AParent, const char* AName) {
  T* child = AParent.findChild<T*>(QString::fromLatin1(AName));
  if (child == nullptr) throw std::runtime_error(std::string("no child named ") + AName);
  return *child;
}

// Clicks the push button of that object name in ADialog.
void Click(QDialog& ADialog, const char* AButton);

}  // namespace kestrum::test
