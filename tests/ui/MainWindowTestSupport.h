#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QPoint>
#include <QWidget>

#include "data/RaidTimerData.h"
#include "tests/ui/DialogsTestSupport.h"
#include "ui/KestrumFormf.h"

namespace kestrum::test {

// A main window over a roster written for the test, in the dialog tests' home, clock and formats.
class MainWindowTest : public DialogTest {
 protected:
  void TearDown() override;

  std::filesystem::path DataFile() const { return home_.AppFolder() / "raid.dat"; }
  std::filesystem::path ConfigFile() const { return home_.AppFolder() / "cfg.ini"; }

  // A fresh raid.dat with exactly these characters and raids, written through the roster; AAdjust
  // may change timers before the last save.
  void WriteRoster(const std::vector<String>& ACharas, const std::vector<String>& ARaids,
                   const std::function<void(TKestrum&)>& AAdjust = {});

  // Replaces cfg.ini by these bytes; empty leaves no cfg.ini at all.
  void WriteConfig(const std::string& ABytes);

  // Opens a new main window in place of the last one and waits until it has read its files.
  TKestrumForm& OpenForm();

  // The grid's drawing area, where mouse input goes.
  QWidget* Viewport() const;

  // A point of the cell near its right edge, clear of any OK button.
  QPoint NearRightEdge(int ACol, int ARow) const;
  QPoint CellCentre(int ACol, int ARow) const;
  QPoint ButtonCentre(int ACol, int ARow) const;

  // The roster as raid.dat holds it now.
  static std::unique_ptr<TKestrum> Reload();
  static TRaidTimerData& TimerOf(const TKestrum& ARoster, int AChara, int ARaid);

  template <class T>
  T& Find(const char* AName) const {
    return Child<T>(*form_, AName);
  }

  std::unique_ptr<TKestrumForm> form_;
};

}  // namespace kestrum::test
