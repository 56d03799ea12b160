#pragma once

#include "ui/DialogTemplate.h"

namespace r512 {

// "R512 Control Panel": the Main, Multi Source, Other and Signal Status groups, Refresh and
// Close, in the order of the resource script's template (the Tab order). Its check boxes and
// radio buttons never change their own mark, its number and status fields are read-only, and
// each up-down control works on the number field before it.
extern const DialogTemplate kControlPanelTemplate;

}  // namespace r512
