#pragma once

#include <QWidget>

#include "data/RaidTimerData.h"

namespace kestrum {

// The name entry dialog, run modally over AOwner. Add: the typed name, or empty when cancelled.
// Delete: the index of the entry whose name was typed, or -1 when cancelled.
String ShowAddChrDlg(QWidget* AOwner, const TCharaDatas& ADatas);
int ShowDelChrDlg(QWidget* AOwner, const TCharaDatas& ADatas);
String ShowAddRaidDlg(QWidget* AOwner, const TRaidNames& ADatas);
int ShowDelRaidDlg(QWidget* AOwner, const TRaidNames& ADatas);

}  // namespace kestrum
