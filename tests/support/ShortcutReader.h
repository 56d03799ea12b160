#pragma once
// Reads a shortcut back through the shell's link object, to check what setup wrote.
#include <optional>
#include <string>

namespace r512::testkit {

struct ShortcutContent {
    std::string target;
    std::string description;
    std::string arguments;
    std::string workingFolder;
};

// COM must be initialised on the calling thread. Nothing when the file can't be loaded.
std::optional<ShortcutContent> ReadShortcut(const std::string& linkPath);

}  // namespace r512::testkit
