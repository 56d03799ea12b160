#pragma once

// The reader of the desktop program's settings file is the core's (base/QSettingsIni.h).
#include "base/QSettingsIni.h"

namespace r512::ctl {
using r512::IniStringValue;
}  // namespace r512::ctl
