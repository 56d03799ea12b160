#pragma once

// set's targets and its closed loop's steps live in the core (ui/SetTargets.h), shared with
// r512-mqtt's command topics; r512ctl names them as before.
#include "ui/SetTargets.h"

namespace r512::ctl {
using r512::GoalReached;
using r512::KeyBudget;
using r512::NextKey;
using r512::ParseSetGoal;
using r512::SetChoice;
using r512::SetGoal;
using r512::SetTarget;
using r512::SetTargets;
using r512::SetTargetsHelp;
}  // namespace r512::ctl
