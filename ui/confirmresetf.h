#pragma once

#include <QDialog>

#include "base/Strings.h"

class QLabel;
class QPushButton;

namespace kestrum {

// Asks before a locked raid timer of a character is made available again.
class TConfirmResetForm final : public QDialog {
  Q_OBJECT

 public:
  explicit TConfirmResetForm(QWidget* AOwner);

  // Shows the names and runs the dialog; true only when it was closed with "Reset".
  bool Confirm(const String& ACharName, const String& ARaidName);

 protected:
  void changeEvent(QEvent* AEvent) override;

 private:
  void ArrangeNames();

  QLabel* Label1 = nullptr;
  QLabel* CharNameLB = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* RaidNameLB = nullptr;
  QPushButton* Button1;
  QPushButton* Button2;
};

// Runs the confirmation over AOwner. Unlike the other dialogs it is not stored in the owner's Tag.
bool ConfirmResetTimer(QWidget* AOwner, const String& ACharName, const String& ARaidName);

}  // namespace kestrum
