#pragma once

#include "ui/DialogTemplate.h"

namespace r512::test {

// Creates the resource script's dialog `templateId` (hidden, with a dialog procedure that does
// nothing) and expects it to be what `expected` describes: its caption and size, and each
// control in creation order with its identifier, window class and kind, text, Tab and group
// flags and its place converted by MapDialogRect. The caller loads the common controls first
// when the template has up-down controls.
void ExpectResourceMatches(int templateId, const DialogTemplate& expected);

}  // namespace r512::test
