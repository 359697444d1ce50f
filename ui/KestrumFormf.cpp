#include "ui/KestrumFormf.h"

#include <algorithm>
#include <functional>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include "data/shhlpr.h"
#include "platform/BringToTop.h"
#include "platform/InstanceNames.h"
#include "platform/notifyBTF.h"
#include "platform/scrposadjustor.h"
#include "ui/CellPainter.h"
#include "ui/DataFileWatcher.h"
#include "ui/DefaultFont.h"
#include "ui/ErrorReport.h"
#include "ui/OuterGeometry.h"
#include "ui/RaidGrid.h"
#include "ui/WindowSettings.h"
#include "ui/aboutf.h"
#include "ui/addchrf.h"
#include "ui/chrdatf.h"
#include "ui/confirmresetf.h"

namespace kestrum {

namespace {

QString QStr(const String& AText) {
  return QString::fromStdU16String(AText);
}

// The rows whose raid names a load replaced, one line each; a long list is cut after a few.
QString RenamedRaidsText(const std::vector<TRenamedRaid>& ARenamed) {
  constexpr size_t kListed = 10;
  QString text = TKestrumForm::tr("次の行のレイド名は保存できないため、名前を付け直しました。");
  for (size_t i = 0; i < std::min(ARenamed.size(), kListed); ++i) {
    const TRenamedRaid& raid = ARenamed[i];
    text += TKestrumForm::tr("\r\n%1 行目: \"%2\" → \"%3\"")
                .arg(raid.Index + 1)
                .arg(QStr(raid.OldName), QStr(raid.NewName));
  }
  if (ARenamed.size() > kListed)
    text += TKestrumForm::tr("\r\nほか %1 行").arg(static_cast<qulonglong>(ARenamed.size() - kListed));
  return text;
}

// After the roster was read: a data file that could not be read whole was kept as it was, and the
// user should know where, or that changes are not saved until it can be kept.
void ShowUnreadNotice(QWidget* AParent, const TUnreadReport& AReport) {
  if (AReport.Whole()) return;
  QString text =
      AReport.KeptFile.empty()
          ? TKestrumForm::tr(
                "raid.dat を全部は読めませんでした。元のファイルを残せないため、変更は保存されません。\r\n%1")
                .arg(QStr(AReport.KeepError))
          : TKestrumForm::tr("raid.dat を全部は読めませんでした。元のファイルを次の名前で残しました。\r\n%1")
                .arg(QStr(AReport.KeptFile));
  if (!AReport.RenamedRaids.empty())
    text += QStringLiteral("\r\n\r\n") + RenamedRaidsText(AReport.RenamedRaids);
  auto* box =
      new QMessageBox(QMessageBox::Warning, QStringLiteral("Kestrum"), text, QMessageBox::Ok, AParent);
  box->setObjectName(QStringLiteral("UnreadNotice"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

TPlacement ToPlacement(const QRect& R) {
  return {R.left(), R.top(), R.width(), R.height()};
}

// The usable areas of all screens; Qt lists the primary screen first.
std::vector<TPlacement> ScreenAreas() {
  std::vector<TPlacement> areas;
  for (const QScreen* screen : QGuiApplication::screens())
    areas.push_back(ToPlacement(screen->availableGeometry()));
  return areas;
}

// Switches the repaint timer off for the life of a roster change, and on again however it ends.
class TTimerPause final {
 public:
  explicit TTimerPause(QTimer* ATimer) : FTimer(ATimer) { FTimer->stop(); }
  ~TTimerPause() { FTimer->start(); }
  TTimerPause(const TTimerPause&) = delete;
  TTimerPause& operator=(const TTimerPause&) = delete;

 private:
  QTimer* FTimer;
};

}  // namespace

TKestrumForm::TKestrumForm()
    : FRaidGrid(new TRaidGrid(this)),
      FTimer(new QTimer(this)),
      FScreenPosAdjustor(new TScreenPosAdjustor(this)) {
  setWindowTitle(tr("Kestrum for DDO") + tr(" (64bit ver.)"));
  setFont(DefaultFont());
  setCentralWidget(FRaidGrid);
  resize(484, 309);

  FRaidGrid->setObjectName(QStringLiteral("RaidGrid"));
  connect(FRaidGrid, &TRaidGrid::MouseDown, this,
          [this](Qt::MouseButton button, bool dbl, const QPoint& pos) {
            ReportingErrors(this, [&] { RaidGridMouseDown(button, dbl, pos); });
          });
  connect(FRaidGrid, &TRaidGrid::MouseUp, this, [this](Qt::MouseButton button, const QPoint& pos) {
    ReportingErrors(this, [&] { RaidGridMouseUp(button, pos); });
  });
  connect(FRaidGrid, &TRaidGrid::DoubleClicked, this,
          [this](const QPoint& pos) { ReportingErrors(this, [&] { RaidGridDblClick(pos); }); });
  connect(FRaidGrid, &TRaidGrid::ColumnMoved, this,
          [this](int from, int to) { ReportingErrors(this, [&] { GridColumnMoved(from, to); }); });
  // Qt counts a tilt to the left as positive, the opposite of the Windows wheel message.
  connect(FRaidGrid, &TRaidGrid::HorizontalWheel, this, [this](int delta) { WMMouseHWheel(-delta); });
  connect(FRaidGrid, &TRaidGrid::RowMoved, this,
          [this](int from, int to) { ReportingErrors(this, [&] { RaidGridRowMoved(from, to); }); });
  // The keyboard's way to the button, the popup and the editor of the current cell.
  connect(FRaidGrid, &TRaidGrid::CellActivated, this,
          [this](const QPoint& cell) { ReportingErrors(this, [&] { RecordRun(cell); }); });
  connect(FRaidGrid, &TRaidGrid::CellMenuRequested, this,
          [this](const QPoint& cell) { ReportingErrors(this, [&] { PopupResetMenu(cell); }); });
  connect(FRaidGrid, &TRaidGrid::CellEditRequested, this,
          [this](const QPoint& cell) { ReportingErrors(this, [&] { EditCharacter(cell.x()); }); });

  FTimer->setObjectName(QStringLiteral("Timer"));
  FTimer->setInterval(1000);
  connect(FTimer, &QTimer::timeout, this, &TKestrumForm::TimerTimer);

  FScreenPosAdjustor->setObjectName(QStringLiteral("ScreenPosAdjustor"));
  FScreenPosAdjustor->SetInterval(1000);

  CreateMenus();
  WatchScreenDpi();
}

TKestrumForm::~TKestrumForm() {
  // The hand-over thread posts to this window: stop it before anything else goes.
  nbft.reset();
  FRaidGrid->Painter().SetRoster(nullptr);
  FDatas.reset();
}

void TKestrumForm::CreateMenus() {
  // Runs a menu command with its errors reported.
  const auto command = [this](void (TKestrumForm::*AHandler)()) {
    return [this, AHandler] { ReportingErrors(this, [&] { (this->*AHandler)(); }); };
  };
  const auto named = [](QAction* AAction, const char* AName) {
    AAction->setObjectName(QLatin1String(AName));
    return AAction;
  };

  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu"));
  bar->setFont(QApplication::font());  // the menus keep the system's font, the grid takes the chosen one
  connect(named(bar->addAction(tr("&Quit")), "mnQuit"), &QAction::triggered, this, &QWidget::close);

  QMenu* chara = bar->addMenu(tr("&Character"));
  chara->setObjectName(QStringLiteral("mnChara"));
  connect(named(chara->addAction(tr("Add Character")), "mnAddChara"), &QAction::triggered, this,
          command(&TKestrumForm::mnAddCharaClick));
  mnDelChara = named(chara->addAction(tr("Del Character")), "mnDelChara");
  connect(mnDelChara, &QAction::triggered, this, command(&TKestrumForm::mnDelCharaClick));

  QMenu* raid = bar->addMenu(tr("&Raid"));
  raid->setObjectName(QStringLiteral("mnRaid"));
  connect(named(raid->addAction(tr("Add Raid")), "mnAddRaid"), &QAction::triggered, this,
          command(&TKestrumForm::mnAddRaidClick));
  mnDelRaid = named(raid->addAction(tr("Del Raid")), "mnDelRaid");
  connect(mnDelRaid, &QAction::triggered, this, command(&TKestrumForm::mnDelRaidClick));

  connect(named(bar->addAction(tr("&Font")), "Font1"), &QAction::triggered, this,
          command(&TKestrumForm::Font1Click));

  QMenu* config = bar->addMenu(tr("&Config"));
  config->setObjectName(QStringLiteral("ConfigMN"));
  AlignMn = named(config->addAction(tr("Align &Screen")), "AlignMn");
  AlignMn->setCheckable(true);
  AlignMn->setChecked(true);
  connect(AlignMn, &QAction::triggered, this, &TKestrumForm::AlignMnClick);

  connect(named(bar->addAction(tr("&About")), "mnAbout"), &QAction::triggered, this,
          command(&TKestrumForm::mnAboutClick));

  PopupMn = new QMenu(this);
  PopupMn->setObjectName(QStringLiteral("PopupMn"));
  connect(named(PopupMn->addAction(tr("Reset Timer")), "ResetRaidTimerMenuItem"), &QAction::triggered, this,
          command(&TKestrumForm::ResetRaidTimerMenuItemClick));
}

// --- Lifecycle -----------------------------------------------------------------------------------

bool TKestrumForm::event(QEvent* AEvent) {
  if (AEvent->type() == kWMFirstShow) {
    ReportingErrors(this, [this] { WMFirstShow(); });
    return true;
  }
  if (AEvent->type() == kWMBringToFront) {
    WMBringToFront();
    return true;
  }
  if (AEvent->type() == QEvent::ScreenChangeInternal) ScreenChanged();
  return QMainWindow::event(AEvent);
}

void TKestrumForm::showEvent(QShowEvent* AEvent) {
  QMainWindow::showEvent(AEvent);
  if (FShowFirst) {
    FShowFirst = false;
    QCoreApplication::postEvent(this, new QEvent(kWMFirstShow));
  }
}

void TKestrumForm::WMFirstShow() {
  LoadSettingsAndData();
  FInitialized = true;
  nbft = TNotifyBringingToFront::CreateForNew(
      kNotifierName, [this] { QCoreApplication::postEvent(this, new QEvent(kWMBringToFront)); });
}

void TKestrumForm::LoadSettingsAndData() {
  TWindowSettings settings;
  try {
    settings = LoadWindowSettings();
  } catch (const std::exception& error) {
    // An unreadable cfg.ini costs only the window's look: say so and go on with the defaults.
    ShowErrorReport(this, error);
  }
  FPixelsPerInch = settings.Dpi;
  PlaceWindow(
      SanitizePlacement({settings.Left, settings.Top, settings.Width, settings.Height}, ScreenAreas()));
  AlignMn->setChecked(settings.Align);
  FScreenPosAdjustor->SetEnabled(AlignMn->isChecked());
  QFont windowFont(QStr(SanitizeFontName(settings.FontName)));
  windowFont.setPointSize(SanitizeFontSize(settings.FontSize));
  setFont(windowFont);

  FDatas = std::make_unique<TKestrum>();
  FDatas->Load();
  FRaidGrid->Painter().SetRoster(FDatas.get());
  LayoutGrid();
  FTimer->start();
  ShowUnreadNotice(this, FDatas->UnreadReport());
  FDataFileWatcher = new TDataFileWatcher(QStr(GetDataFileName()), this);
  connect(FDataFileWatcher, &TDataFileWatcher::MayHaveChanged, this,
          [this] { ReportingErrors(this, [this] { DataFileMayHaveChanged(); }); });
}

void TKestrumForm::DataFileMayHaveChanged() {
  // A dialog or a press on a button works on the roster as it is shown: the new one waits for it.
  if (QApplication::activeModalWidget() != nullptr || RaidTp() != kNoCell) {
    FDataFileWatcher->RetryLater();
    return;
  }
  if (!FDatas->ChangedOnDisk()) return;  // our own save, or the same content written anew
  FDatas->Load();
  ShowReloadedRoster();
}

void TKestrumForm::ShowReloadedRoster() {
  PopupMn->close();
  FResetTp = kNoCell;
  FRaidGrid->Painter().SetPressedCell(kNoCell);
  FitGrid();
  RepaintGrid();
  ShowUnreadNotice(this, FDatas->UnreadReport());
}

void TKestrumForm::PlaceWindow(const TPlacement& AOuter) {
  const QRect outer(AOuter.Left, AOuter.Top, AOuter.Width, AOuter.Height);
  ApplyWithFrame(*this, [this, outer] { SetOuterGeometry(*this, outer); });
}

void TKestrumForm::closeEvent(QCloseEvent* AEvent) {
  // Settings that cannot be written are reported; the window closes all the same.
  ReportingErrors(this, [this] { SaveWindowSettings(); });
  QMainWindow::closeEvent(AEvent);
}

void TKestrumForm::SaveWindowSettings() {
  // A maximised window keeps the place and size it returns to.
  QRect outer = OuterGeometry(*this);
  if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen) && normalGeometry().isValid())
    outer = normalGeometry().marginsAdded(WindowFrame(*this));
  TWindowSettings settings;
  settings.Dpi = FPixelsPerInch;
  settings.Left = outer.left();
  settings.Top = outer.top();
  settings.Width = outer.width();
  settings.Height = outer.height();
  settings.Align = FScreenPosAdjustor->Enabled();
  settings.FontName = font().family().toStdU16String();
  settings.FontSize =
      font().pointSize() > 0 ? font().pointSize() : qRound(font().pixelSize() * 72.0 / logicalDpiY());
  StoreWindowSettings(settings);
}

void TKestrumForm::TimerTimer() {
  if (FDatas) RepaintGrid();
}

void TKestrumForm::RepaintGrid() {
  FRaidGrid->viewport()->repaint();
}

void TKestrumForm::SaveData() {
  SavingChange([this] { FDatas->Save(); });
}

void TKestrumForm::SavingChange(const std::function<void()>& AChangeAndSave) {
  TTimerPause pause(FTimer);
  try {
    AChangeAndSave();
    FitGrid();  // a longer run count may widen its column
  } catch (const ERTDChangedOnDisk&) {
    ShowRosterChangedOnDisk();
  } catch (const ERTDSaveError& error) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Kestrum"),
                    tr("エラーが発生しました。データは巻戻ります。\r\n%1").arg(QStr(error.Message())),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("SaveErrorNotice"));
    box.exec();
    ResetGrid();
    LayoutGrid();
  }
  RepaintGrid();
}

void TKestrumForm::ShowRosterChangedOnDisk() {
  QMessageBox box(QMessageBox::Information, QStringLiteral("Kestrum"),
                  tr("raid.dat が他のプログラムで変更されていたため、読み込み直しました。"), QMessageBox::Ok,
                  this);
  box.setObjectName(QStringLiteral("ChangedOnDiskNotice"));
  box.exec();
  ShowReloadedRoster();
}

void TKestrumForm::AlignMnClick() {
  FScreenPosAdjustor->SetEnabled(AlignMn->isChecked());
}

void TKestrumForm::WMMouseHWheel(int ADelta) {
  if (!FDatas) return;
  const QPoint current = FRaidGrid->CurrentCell();
  if (ADelta < 0) {
    if (current.x() <= 1) return;
    FRaidGrid->SetCurrentCell(current.x() - 1, current.y());
  } else if (ADelta > 0) {
    if (current.x() >= FDatas->CharaCount()) return;
    FRaidGrid->SetCurrentCell(current.x() + 1, current.y());
  }
}

void TKestrumForm::WatchScreenDpi() {
  disconnect(FDpiConnection);
  QScreen* current = screen();
  if (!current) return;
  FScreenDpi = current->logicalDotsPerInch();
  FDpiConnection = connect(current, &QScreen::logicalDotsPerInchChanged, this, [this](qreal ADpi) {
    FScreenDpi = ADpi;
    WMDpiChanged();
  });
}

void TKestrumForm::ScreenChanged() {
  // Only a new pixel density is a DPI change; a move to a screen of the same density keeps the
  // grid's current cell and scroll position.
  const qreal previousDpi = FScreenDpi;
  WatchScreenDpi();
  if (FScreenDpi != previousDpi) WMDpiChanged();
}

void TKestrumForm::WMDpiChanged() {
  if (FInitialized) LayoutGrid();
}

void TKestrumForm::WMBringToFront() {
  QWidget* target = Tag() ? Tag() : this;
  if (isMinimized()) {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
  }
  target->raise();
  target->activateWindow();
  BringToTop(target->winId());
}

// --- Grid layout and drawing ---------------------------------------------------------------------

void TKestrumForm::ResetGrid() {
  FRaidGrid->SetColCount(2);
  FRaidGrid->SetRowCount(2);
}

void TKestrumForm::LayoutGrid() {
  if (!FDatas) return;
  FitGrid();
  FRaidGrid->SetCurrentCell(1, 1);
}

void TKestrumForm::FitGrid() {
  FRaidGrid->FitToRoster();
  mnDelChara->setEnabled(FDatas->CharaCount() > 0);
  mnDelRaid->setEnabled(FDatas->RaidCount() > 0);
}

// --- Grid interaction ----------------------------------------------------------------------------

QPoint TKestrumForm::RaidTp() const {
  return FRaidGrid->Painter().PressedCell();
}

void TKestrumForm::RaidGridMouseDown(Qt::MouseButton AButton, bool ADoubleClick, const QPoint& APos) {
  // The second press of a double click is no press of the button.
  if (AButton != Qt::LeftButton || ADoubleClick) return;
  TCellPainter& cells = FRaidGrid->Painter();
  const QPoint cell = cells.HitTestButton(APos);
  const bool available = cell != kNoCell && TimerAt(*FDatas, cell)->Enabled();
  cells.SetPressedCell(available ? cell : kNoCell);
  if (available) RepaintGrid();  // shows the button pressed at once
}

void TKestrumForm::RaidGridMouseUp(Qt::MouseButton AButton, const QPoint& APos) {
  TCellPainter& cells = FRaidGrid->Painter();
  if (AButton == Qt::LeftButton && cells.PressedCell() != kNoCell) {
    const QPoint saved = cells.PressedCell();
    cells.SetPressedCell(kNoCell);
    RepaintGrid();
    // Only a release over the same button records the run.
    if (cells.HitTestButton(APos) == saved) RecordRun(saved);
  }
  if (AButton == Qt::RightButton) PopupResetMenu(FRaidGrid->MouseCoord(APos));
}

void TKestrumForm::RecordRun(const QPoint& ACell) {
  if (!InRoster(FDatas.get(), ACell) || !TimerAt(*FDatas, ACell)->Enabled()) return;
  SavingChange([&] {
    TimerAt(*FDatas, ACell)->Done();
    FDatas->Save();
  });
}

void TKestrumForm::PopupResetMenu(const QPoint& ACell) {
  if (!InRoster(FDatas.get(), ACell) || TimerAt(*FDatas, ACell)->Enabled()) return;  // nothing to reset
  FResetTp = ACell;
  const TCellRect R = FRaidGrid->CellRect(ACell.x(), ACell.y());
  PopupMn->popup(FRaidGrid->viewport()->mapToGlobal(QPoint(R.Left, R.Top)));
}

void TKestrumForm::ResetRaidTimerMenuItemClick() {
  if (!InRoster(FDatas.get(), FResetTp)) return;
  const TCharaData& chara = *FDatas->GetCharaDatas(FResetTp.x() - 1);
  if (!ConfirmResetTimer(this, chara.Name(), FDatas->GetRaidNames(FResetTp.y() - 1))) return;
  SavingChange([this] {
    TimerAt(*FDatas, FResetTp)->SetActivateTime(0);
    FDatas->Save();
  });
}

void TKestrumForm::GridColumnMoved(int AFromIndex, int AToIndex) {
  if (!FDatas || AFromIndex == 0 || AToIndex == 0) return;
  SavingChange([&] {
    FDatas->MoveChara(AFromIndex - 1, AToIndex - 1);
    FDatas->Save();
  });
}

void TKestrumForm::RaidGridRowMoved(int AFromIndex, int AToIndex) {
  if (!FDatas || AFromIndex == 0 || AToIndex == 0) return;
  SavingChange([&] { FDatas->MoveRaid(AFromIndex - 1, AToIndex - 1); });  // saves by itself
}

void TKestrumForm::RaidGridDblClick(const QPoint& APos) {
  const QPoint cell = FRaidGrid->MouseCoord(APos);
  if (cell.y() == 0) EditCharacter(cell.x());
}

void TKestrumForm::EditCharacter(int ACol) {
  if (!FDatas || ACol < 1 || ACol > FDatas->CharaCount()) return;
  const int i = ACol - 1;
  TCharaNames names;
  for (const auto& chara : FDatas->CharaDataAry()) names.push_back(chara->Name());
  TCharaData copy(*FDatas->GetCharaDatas(i));
  if (!ShowChrDatDlg(this, FDatas->RaidNameAry(), names, i, copy)) return;
  SavingChange([&] {
    FDatas->GetCharaDatas(i)->CopyFrom(copy);
    FDatas->Save();
  });
}

// --- Menu commands -------------------------------------------------------------------------------

// The add and delete commands: the roster changes (and saves) with the repaint switched off, then
// the grid is laid out anew for the new number of rows or columns. A failed save goes to the error
// report; one refused for another program's change shows the roster as the file holds it now.
void TKestrumForm::ChangeRosterAndRelayout(const std::function<void()>& AChange) {
  TTimerPause pause(FTimer);
  try {
    AChange();
  } catch (const ERTDChangedOnDisk&) {
    ShowRosterChangedOnDisk();
    return;
  }
  ResetGrid();
  LayoutGrid();
}

void TKestrumForm::mnAddCharaClick() {
  if (!FDatas) return;
  const String name = ShowAddChrDlg(this, FDatas->CharaDataAry());
  if (name.empty()) return;
  ChangeRosterAndRelayout([&] { FDatas->AddChara(name); });
}

void TKestrumForm::mnDelCharaClick() {
  if (!FDatas) return;
  const int index = ShowDelChrDlg(this, FDatas->CharaDataAry());
  if (index < 0) return;
  ChangeRosterAndRelayout([&] { FDatas->DelChara(index); });
}

void TKestrumForm::mnAddRaidClick() {
  if (!FDatas) return;
  const String name = ShowAddRaidDlg(this, FDatas->RaidNameAry());
  if (name.empty()) return;
  ChangeRosterAndRelayout([&] { FDatas->AddRaid(name); });
}

void TKestrumForm::mnDelRaidClick() {
  if (!FDatas) return;
  const int index = ShowDelRaidDlg(this, FDatas->RaidNameAry());
  if (index < 0) return;
  ChangeRosterAndRelayout([&] { FDatas->DelRaid(index); });
}

void TKestrumForm::Font1Click() {
  // Start from the face actually in use: a stored face that is not installed has fallen back.
  QFont current = font();
  const QFontInfo inUse(current);
  current.setFamily(inUse.family());
  current.setStyleName(inUse.styleName());
  QFontDialog dialog(current, this);
  dialog.setObjectName(QStringLiteral("FontDlg"));
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  // No effects: hide the underline and strike-out choices, keeping their room for the sample.
  for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
    if (group->findChildren<QCheckBox*>().isEmpty()) continue;
    QSizePolicy policy = group->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    group->setSizePolicy(policy);
    group->hide();
  }
  if (dialog.exec() != QDialog::Accepted) return;
  QFont chosen = dialog.selectedFont();
  chosen.setUnderline(false);
  chosen.setStrikeOut(false);
  setFont(chosen);
  LayoutGrid();
}

void TKestrumForm::mnAboutClick() {
  ShowAboutDialog(this);
}

}  // namespace kestrum
