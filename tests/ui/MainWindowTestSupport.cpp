#include "tests/ui/MainWindowTestSupport.h"

#include <system_error>

#include <QTest>

#include "tests/support/TempHome.h"
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
  EXPECT_TRUE(QTest::qWaitFor([this] { return form_->Initialized(); }, 5000));
  return *form_;
}

QWidget* MainWindowTest::Viewport() const {
  return form_->RaidGrid()->viewport();
}

QPoint MainWindowTest::NearRightEdge(int ACol, int ARow) const {
  const TCellRect cell = form_->RaidGrid()->CellRect(ACol, ARow);
  return {cell.Right - 3, (cell.Top + cell.Bottom) / 2};
}

}  // namespace kestrum::test
