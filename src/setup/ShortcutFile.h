#pragma once
// A shell link (.lnk) file made through the shell's link object.
#include <windows.h>

namespace r512::setup {

// Creates or overwrites the shortcut file linkPath pointing at target, with the given
// description and nothing else (no arguments, working folder or icon). COM must be initialised
// on the calling thread. Returns the HRESULT of creating the link object, of asking it for
// IPersistFile, or of saving it.
HRESULT CreateShortcut(const char* target, const char* linkPath, const char* description);

}  // namespace r512::setup
