#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QDialog>
#include <QWidget>

#include "data/CharaData.h"
#include "ui/WindowSettings.h"

class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QWheelEvent;

namespace kestrum {

class TRaidDataFrame;
class TScreenPosAdjustor;

// The character data editor, run modally over AOwner on a working copy of one character. True when
// the user pressed OK and something changed; ACharaData then holds the edited data.
bool ShowChrDatDlg(QWidget* AOwner, const TRaidNames& ARaidNames, const TCharaNames& ACharaNames,
                   int ACharaIdx, TCharaData& ACharaData);

// The left positions of four buttons as wide as AButtonWidth spread across a panel APanelWidth
// wide: the free space is cut into five gaps, the odd pixels going to the middle gaps first.
std::array<int, 4> SpreadButtons(int APanelWidth, int AButtonWidth);

// Edits one character: its name and, per raid, the time left on the lock-out and the run count.
// The working copy it is given changes only when the user presses OK. Its height is kept in the
// settings file; its width follows from the rows.
class TChrDatForm : public QDialog {
  Q_OBJECT

 public:
  explicit TChrDatForm(QWidget* AOwner);
  ~TChrDatForm() override;

  virtual void Setup(const TRaidNames& ARaidNames, const TCharaNames& ACharaNames, int ACharaIdx,
                     TCharaData& ACharaData);
  // Runs the editor; true when it was closed with OK and the working copy changed.
  bool ShowEditDlg();

 protected:
  // Writes the edits into the working copy; true when anything differed.
  virtual bool ApplyCharaData();
  virtual void LoadFormSettings();
  virtual void SaveFormSettings();

  // Enter and Esc mean nothing to this dialog; only the buttons close it.
  void keyPressEvent(QKeyEvent* AEvent) override;
  // Takes the outer height while the window system still tells the frame, before the editor hides.
  void done(int AResult) override;
  void wheelEvent(QWheelEvent* AEvent) override;
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

  TCharaData* FCharaData = nullptr;
  TCharaNames FCharaNames;
  int32_t FCharaIdx = -1;
  std::vector<TRaidDataFrame*> FRaidFrames;  // owned by RaidPanel

 private:
  void CheckInputs();
  void ClearBtnClick();
  void ResetBtnClick();
  // One line step per notch: down adds, up subtracts.
  void FormMouseWheel(QWheelEvent* AEvent);
  int LineIncrement() const;
  void ReportSettingsError(const std::exception& AError);

  QFrame* Panel1;
  QLabel* Label1;
  QLineEdit* NameEd;
  QLabel* SameNameLb;
  QFrame* Panel2;
  QPushButton* OkBtn;
  QPushButton* ClearBtn;
  QPushButton* ResetBtn;
  QPushButton* CancelBtn;
  QScrollArea* ScrBox;
  QWidget* RaidPanel;
  TScreenPosAdjustor* ScreenPosAdjustor1;
  int FWheelDelta = 0;                      // the part of a notch not yet scrolled (high-resolution wheels)
  int FOuterHeight = kDefaultEditorHeight;  // what SaveFormSettings stores
};

}  // namespace kestrum
