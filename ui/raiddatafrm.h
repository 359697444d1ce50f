#pragma once

#include <cstdint>
#include <functional>

#include <QFrame>
#include <QLineEdit>

#include "base/DateTime.h"
#include "base/Strings.h"

class QLabel;

namespace kestrum {

// What a row is created with: one raid's name and one character's timer for it.
struct TRDFDatas {
  String RaidName;
  int32_t MaxRaidNameWidth = 0;  // the widest raid name of the editor, so that all rows line up
  TDateTime ActivateTime = 0;
  uint32_t Count = 0;
};

// A number edit that lets only the given characters (and Backspace) be typed and refuses pasting by
// shortcut. Other ways in (context menu, middle click, drag and drop, input methods) are checked by
// a validator against the same characters and length, so no route bypasses the filter.
// The length limit binds the user only: text set by the program is never cut.
class TDigitEdit final : public QLineEdit {
 public:
  TDigitEdit(QWidget* AParent, const QString& AAllowed, int AMaxLength);

  // Text set by the program: taken as it is, neither cut to the length limit nor checked.
  void SetText(const QString& AText);
  // Whether the user may change the text into AText.
  bool AcceptsUserText(const QString& AText) const;
  // The width at which the edit shows AText whole, frame included.
  int WidthShowing(const QString& AText) const;

 protected:
  void keyPressEvent(QKeyEvent* AEvent) override;

 private:
  bool RoomForOneMore() const;

  QString FAllowed;
  int FMaxLength;
  QString FPreviousText;
  bool FSettingText = false;
};

// One row of the character data editor: a raid's name, the real time left on the lock-out as days,
// hours and minutes, and the run count. Everything converts against the moment the row was made,
// so an untouched row gives back exactly the activation moment it was created with.
class TRaidDataFrame : public QFrame {
  Q_OBJECT

 public:
  using TNotifyEvent = std::function<void(QObject* Sender)>;

  TRaidDataFrame(QWidget* AOwner, const TRDFDatas& ARDFDatas);

  virtual bool CheckTimeCorrectness() const;
  virtual void ArrangeControls();
  virtual void ShowRDFDatas();
  // A valid time left and a count that can be read.
  virtual bool CheckCorrectness() const;
  // The activation moment the edited time left stands for; 0 for no time left.
  // Throws EConvertError when the edits do not hold valid numbers.
  virtual TDateTime GetActiveDateTime() const;
  uint32_t GetCount() const;
  void Clear();
  void Reset();

  // The readers are the callbacks' public face; the editor itself only sets them.
  const TNotifyEvent& OnTimerChanged() const { return FOnTimerChanged; }
  void SetOnTimerChanged(TNotifyEvent AEvent) { FOnTimerChanged = std::move(AEvent); }
  const TNotifyEvent& OnCountChanged() const { return FOnCountChanged; }
  void SetOnCountChanged(TNotifyEvent AEvent) { FOnCountChanged = std::move(AEvent); }

  // Rows are never narrower than this; narrower content is centred.
  static constexpr int MinRowWidth = 260;

 private:
  void DayEdChange(QObject* Sender);
  void CountEdChange(QObject* Sender);

  TDateTime FSaveSec = 0;
  TDateTime FStandardTime = 0;

 protected:
  TNotifyEvent FOnTimerChanged;
  TNotifyEvent FOnCountChanged;
  TRDFDatas FRDFDatas;

 private:
  QLabel* RaidNameLb;
  TDigitEdit* DayEd;
  QLabel* DayLb;
  TDigitEdit* HourEd;
  QLabel* HourLb;
  TDigitEdit* MinEd;
  QLabel* MinLb;
  QLabel* CountLb;
  TDigitEdit* CountEd;
};

}  // namespace kestrum
