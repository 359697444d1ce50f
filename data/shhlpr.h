#pragma once

#include "base/Strings.h"

namespace kestrum {

// The user's application-data folder without a trailing separator: on Linux $XDG_DATA_HOME, else
// $HOME/.local/share (empty when neither gives an absolute path); on Windows the shell's roaming
// application-data folder (empty when the shell cannot say).
String GetAppDataFolder();
// <app data>/Brasswick/Kestrum/raid.dat, or raid.dat beside the program when there is no app data folder.
String GetDataFileName();
// The same for cfg.ini.
String GetConfigFileName();
// Creates the folder FileName lies in, with every missing folder above it. The outcome is not reported.
void ForceFileDir(const String& FileName);

}  // namespace kestrum
