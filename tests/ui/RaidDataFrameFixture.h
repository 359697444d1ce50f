#pragma once

#include <memory>

#include <QLineEdit>
#include <QStringList>

#include "tests/ui/DialogsTestSupport.h"
#include "ui/raiddatafrm.h"

namespace kestrum::test {

inline constexpr double OneMSec = 1.0 / 86400000;

inline TDateTime Span(int ADays, int AHours, int AMinutes, int ASeconds = 0, int AMSecs = 0) {
  return ADays + ((AHours * 60.0 + AMinutes) * 60 + ASeconds + AMSecs / 1000.0) / 86400;
}

class RaidDataFrameTest : public DialogTest {
 protected:
  TRaidDataFrame& MakeRow(TDateTime AActivateTime, uint32_t ACount = 5, int AMaxNameWidth = 40) {
    row_ =
        std::make_unique<TRaidDataFrame>(nullptr, TRDFDatas{u"Raid", AMaxNameWidth, AActivateTime, ACount});
    return *row_;
  }
  QLineEdit& Edit(const char* AName) { return Child<QLineEdit>(*row_, AName); }
  QStringList Shown() {
    return {Edit("DayEd").text(), Edit("HourEd").text(), Edit("MinEd").text(), Edit("CountEd").text()};
  }
  void Enter(const QStringList& ATexts) {
    const char* names[] = {"DayEd", "HourEd", "MinEd", "CountEd"};
    for (int i = 0; i < ATexts.size(); ++i) Edit(names[i]).setText(ATexts[i]);
  }

  std::unique_ptr<TRaidDataFrame> row_;
};

}  // namespace kestrum::test
