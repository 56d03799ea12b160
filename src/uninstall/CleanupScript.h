#pragma once
// The batch script that deletes the uninstaller's copy once its process has ended, and then
// itself: a running program can't delete its own file.
#include <string>

namespace r512::uninstall {

// Five lines, each ended by a single line feed:
//   @echo off / :repeat / del "copy" / if exist "copy" goto repeat / del "script"
// A "%" in either path is written "%%", which cmd reads as the "%" itself.
std::string CleanupScriptText(const char* copyPath, const char* scriptPath);

// Writes text to scriptPath, replacing an existing file. False when the file can't be created
// or not all of it was written.
bool WriteCleanupScript(const char* scriptPath, const std::string& text);

// Starts the script with a hidden window and does not wait for it: cmd, in the script's folder,
// with the script's file name as its command, so that no "%" of the folder's path reaches
// cmd's command line. False when it can't be started.
bool StartHidden(const char* scriptPath);

}  // namespace r512::uninstall
