#pragma once

#include <QWidget>

#include "data/RaidTimerData.h"

namespace kestrum {

// The character data editor, run modally over AOwner on a working copy of one character. True when
// the user pressed OK and something changed; ACharaData then holds the edited data.
bool ShowChrDatDlg(QWidget* AOwner, const TRaidNames& ARaidNames, const TCharaNames& ACharaNames,
                   int ACharaIdx, TCharaData& ACharaData);

}  // namespace kestrum
