#pragma once

// The raid timer data: timers and characters, the roster, and its data file.
#include "data/CharaData.h"
#include "data/DataFile.h"
#include "data/Kestrum.h"
