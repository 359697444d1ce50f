#pragma once

#include <functional>
#include <memory>

#include <QEvent>
#include <QMainWindow>
#include <QMetaObject>
#include <QPoint>

#include "data/Kestrum.h"
#include "ui/TagOwner.h"
#include "ui/WindowSettings.h"

class QAction;
class QMenu;
class QTimer;

namespace kestrum {

class TDataFileWatcher;
class TNotifyBringingToFront;
class TRaidGrid;
class TScreenPosAdjustor;

// Private events of the main window: the first-show initialisation and the hand-over from a later
// copy of the program.
inline const QEvent::Type kWMFirstShow = static_cast<QEvent::Type>(QEvent::User + 0x500);
inline const QEvent::Type kWMBringToFront = static_cast<QEvent::Type>(QEvent::User + 0x501);

// The main window: the grid of characters and raids, its menus, the one-second repaint and the
// window settings in cfg.ini. It owns the roster, loaded after the window is first shown.
class TKestrumForm final : public QMainWindow, public TTagOwner {
  Q_OBJECT

 public:
  TKestrumForm();
  ~TKestrumForm() override;

  bool Initialized() const { return FInitialized; }
  TKestrum* Datas() const { return FDatas.get(); }
  TRaidGrid* RaidGrid() const { return FRaidGrid; }
  TScreenPosAdjustor* ScreenPosAdjustor() const { return FScreenPosAdjustor; }
  QTimer* Timer() const { return FTimer; }
  // The cell whose OK button is being pressed; the grid keeps it to draw it pressed.
  QPoint RaidTp() const;

  // Writes the roster; a failed write is reported and the grid is laid out from the rolled-back data.
  void SaveData();
  void ResetGrid();
  // Fits the grid to the roster and makes the first body cell current.
  void LayoutGrid();

 protected:
  bool event(QEvent* AEvent) override;
  void showEvent(QShowEvent* AEvent) override;
  void closeEvent(QCloseEvent* AEvent) override;

 private:
  void CreateMenus();
  void WatchScreenDpi();
  void ScreenChanged();
  void WMFirstShow();
  void WMBringToFront();
  void WMMouseHWheel(int ADelta);
  void WMDpiChanged();
  void LoadSettingsAndData();
  void PlaceWindow(const TPlacement& AOuter);
  void SaveWindowSettings();
  void TimerTimer();
  void RepaintGrid();
  // Fits columns, rows and the delete items to the roster, keeping the current cell and the scroll
  // position where they still exist.
  void FitGrid();

  // Runs a command that changes the roster and saves it, with the repaint switched off. A failed
  // save is reported and the grid laid out from the rolled-back data; a save refused because another
  // program changed raid.dat says so and shows what the file holds now.
  void SavingChange(const std::function<void()>& AChangeAndSave);
  // A save was refused because another program changed raid.dat: says so and shows the reloaded
  // roster.
  void ShowRosterChangedOnDisk();
  // raid.dat was changed by another program: a file that loads whole is shown at once, in place.
  void DataFileMayHaveChanged();
  void ShowReloadedRoster();

  // Grid.
  void RaidGridMouseDown(Qt::MouseButton AButton, bool ADoubleClick, const QPoint& APos);
  void RaidGridMouseUp(Qt::MouseButton AButton, const QPoint& APos);
  void RaidGridDblClick(const QPoint& APos);
  // Records a run when the cell's raid is available; saves and repaints.
  void RecordRun(const QPoint& ACell);
  // Offers "Reset Timer" at the cell when its raid is locked.
  void PopupResetMenu(const QPoint& ACell);
  // Opens the character data editor for the character of grid column ACol.
  void EditCharacter(int ACol);
  void GridColumnMoved(int AFromIndex, int AToIndex);
  void RaidGridRowMoved(int AFromIndex, int AToIndex);
  void ResetRaidTimerMenuItemClick();

  // Menu commands.
  void mnAddCharaClick();
  void mnDelCharaClick();
  void mnAddRaidClick();
  void mnDelRaidClick();
  void ChangeRosterAndRelayout(const std::function<void()>& AChange);
  void Font1Click();
  void AlignMnClick();
  void mnAboutClick();

  bool FInitialized = false;
  bool FShowFirst = true;
  std::unique_ptr<TKestrum> FDatas;
  QPoint FResetTp{-1, -1};
  std::unique_ptr<TNotifyBringingToFront> nbft;
  int FPixelsPerInch = 96;
  qreal FScreenDpi = 0;  // logical DPI of the screen the window is on

  TRaidGrid* FRaidGrid;
  QTimer* FTimer;
  TScreenPosAdjustor* FScreenPosAdjustor;
  TDataFileWatcher* FDataFileWatcher = nullptr;
  QMenu* PopupMn = nullptr;
  QAction* mnDelChara = nullptr;
  QAction* mnDelRaid = nullptr;
  QAction* AlignMn = nullptr;
  QMetaObject::Connection FDpiConnection;
};

}  // namespace kestrum
