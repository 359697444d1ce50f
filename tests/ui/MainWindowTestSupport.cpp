#include "tests/ui/MainWindowTestSupport.h"

#include <system_error>

#include <QTest>

#include "tests/support/TempHome.h"
#include "tests/support/TimeScale.h"
#include "ui/RaidGrid.h"

namespace kestrum::test {

namespace fs = std::filesystem;

void MainWindowTest::TearDown() {
  form_.reset();
  DialogTest::TearDown();
}

void MainWindowTest::WriteRoster(const std::vector<String>& ACharas, const std::vector<String>& ARaids,
                                 const std::function<void(TKestrum&)>& AAdjust) {
  fs::remove_all(home_.AppFolder());
  TKestrum roster;
  roster.Load();
  while (roster.RaidCount() > 0) roster.DelRaid(0);
  for (const String& raid : ARaids) roster.AddRaid(raid);
  for (const String& chara : ACharas) roster.AddChara(chara);
  if (AAdjust) {
    AAdjust(roster);
    roster.Save();
  }
}

void MainWindowTest::WriteConfig(const std::string& ABytes) {
  std::error_code ignored;
  fs::remove(ConfigFile(), ignored);
  if (!ABytes.empty()) WriteFileBytes(ConfigFile(), ABytes);
}

TKestrumForm& MainWindowTest::OpenForm() {
  form_.reset();
  form_ = std::make_unique<TKestrumForm>();
  form_->show();
  EXPECT_TRUE(QTest::qWaitFor([this] { return form_->Initialized(); }, ScaledMs(5000)));
  return *form_;
}

QWidget* MainWindowTest::Viewport() const {
  return form_->RaidGrid()->viewport();
}

QPoint MainWindowTest::NearRightEdge(int ACol, int ARow) const {
  const TCellRect cell = form_->RaidGrid()->CellRect(ACol, ARow);
  return {cell.Right - 3, (cell.Top + cell.Bottom) / 2};
}

QPoint MainWindowTest::CellCentre(int ACol, int ARow) const {
  const TCellRect R = form_->RaidGrid()->CellRect(ACol, ARow);
  return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
}

QPoint MainWindowTest::ButtonCentre(int ACol, int ARow) const {
  const TCellRect B = form_->RaidGrid()->Painter().CellButtonRect(ACol, ARow);
  return {(B.Left + B.Right) / 2, (B.Top + B.Bottom) / 2};
}

std::unique_ptr<TKestrum> MainWindowTest::Reload() {
  auto roster = std::make_unique<TKestrum>();
  roster->Load();
  return roster;
}

TRaidTimerData& MainWindowTest::TimerOf(const TKestrum& ARoster, int AChara, int ARaid) {
  return *ARoster.GetCharaDatas(AChara)->GetRaidTimerDatas(ARaid);
}

}  // namespace kestrum::test
