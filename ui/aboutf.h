#pragma once

#include <QDialog>

class QLabel;

namespace kestrum {

// Product title, version and copyright line.
class TAboutForm final : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(QWidget* AOwner);

  QLabel* Label1;  // the product title; the caller extends it
};

// Runs the About dialog over the main window; while it is open the window's Tag names it, so a
// later copy of the program brings the dialog to the front.
void ShowAboutDialog(QWidget* AOwner);

}  // namespace kestrum
