#pragma once

#include <cstdint>

#include <QDialog>
#include <QString>
#include <QWidget>

#include "data/CharaData.h"

class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace kestrum {

// The name entry dialog, run modally over AOwner. Add: the typed name, or empty when cancelled.
// Delete: the index of the entry whose name was typed, or -1 when cancelled.
String ShowAddChrDlg(QWidget* AOwner, const TCharaDatas& ADatas);
int ShowDelChrDlg(QWidget* AOwner, const TCharaDatas& ADatas);
String ShowAddRaidDlg(QWidget* AOwner, const TRaidNames& ADatas);
int ShowDelRaidDlg(QWidget* AOwner, const TRaidNames& ADatas);

// Which list the typed name is checked against.
enum TAddChrMode { acmChar, acmRaid };

// Asks for one name and checks it on every keystroke: adding needs a name not taken yet (ASCII
// letters compared without regard to case), deleting needs the name of an existing entry, so that
// typing it is the confirmation. It never changes the lists it is given.
class TAddChrForm final : public QDialog {
  Q_OBJECT

 public:
  explicit TAddChrForm(QWidget* AOwner);
  ~TAddChrForm() override;

  String AddChr(const TCharaDatas& ADatas);
  int DelChr(const TCharaDatas& ADatas);
  String AddRaid(const TRaidNames& ADatas);
  int DelRaid(const TRaidNames& ADatas);

 protected:
  // Enter and Esc mean nothing to this dialog; only the buttons close it.
  void keyPressEvent(QKeyEvent* AEvent) override;

 private:
  void Prepare(const QString& ACaption, const QString& APrompt, TAddChrMode AMode, bool ADelete);
  void WidenForTexts();
  int ExistingCount() const;
  const String& ExistingName(int AIndex) const;
  // Why the typed name cannot be added; empty when it can.
  QString AddProblem(const String& ATyped) const;
  void NameEdChange();

  const TCharaDatas* FCharaDatas = nullptr;
  const TRaidNames* FRaidNames = nullptr;
  TAddChrMode FCharaMode = acmChar;
  bool FDelFlag = false;
  int32_t FIdx = -1;

  QFrame* Bevel1;
  QLabel* Label1;
  QLineEdit* NameEd;
  QPushButton* OkBtn;
  QPushButton* CancelBtn;
  QStatusBar* StsBar;
};

}  // namespace kestrum
