#pragma once
// Removes the main program's settings from the user's registry, and the maker's key when no other
// product of the maker keeps settings under it.
#include <windows.h>

namespace r512::uninstall {

// Under userRoot: the keys "Config" and then "Position" of "Software\ZEL\R512 Control Software",
// then that key itself, then "Software\ZEL" if it has no subkeys left. Missing keys are passed
// over in silence.
void RemoveSettings(HKEY userRoot);

}  // namespace r512::uninstall
