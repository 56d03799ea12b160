#pragma once

#include <windows.h>

namespace r512 {

// Centres a modal dialog over its owner (or the screen, without one), kept on the screen, as
// the application framework does for the dialogs it runs.
void CenterOnOwner(HWND dialog);

// A static text whose words need more lines than its template gives (a dialog font wider than
// the one the layout was drawn for) grows downwards by what it needs, and so do the group box
// around it and the dialog; nothing else moves. Nothing changes when the text fits.
void GrowToFitText(HWND dialog, HWND text, HWND group);

}  // namespace r512
