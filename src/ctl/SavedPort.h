#pragma once

// The desktop program's saved port and speed are read in the core (base/SavedPort.h), shared
// with r512-mqtt; r512ctl names them as before.
#include "base/SavedPort.h"

namespace r512::ctl {
using r512::ReadSavedPort;
using r512::SavedPort;
}  // namespace r512::ctl
