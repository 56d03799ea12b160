#pragma once
// The part of a process's command line that follows the program name.

namespace r512::uninstall {

// Skips the program name (whole, when it stands between double quotes, so that a name with
// spaces is skipped completely) and the blanks after it, and returns the rest, which may be
// empty. The same rule by which a program's entry point receives its command-line tail.
const char* CommandLineTail(const char* commandLine);

}  // namespace r512::uninstall
