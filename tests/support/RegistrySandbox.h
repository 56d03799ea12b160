#pragma once
// Stand-ins for the machine's and the user's registry roots: two fresh keys under a sandbox key
// of the current user, deleted with everything below them when the test ends. The code under
// test takes its roots as parameters, so the real uninstall list and settings are never touched.
#include <windows.h>

#include <optional>
#include <string>

#include "RegistryRoots.h"

namespace r512::testkit {

class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    installer::RegistryRoots Roots() const { return roots_; }
    HKEY Machine() const { return roots_.machine; }
    HKEY User() const { return roots_.user; }

private:
    std::string path_;
    installer::RegistryRoots roots_;
};

bool KeyExists(HKEY root, const std::string& path);
void CreateKey(HKEY root, const std::string& path);
void WriteText(HKEY root, const std::string& path, const std::string& name,
               const std::string& text);
// The REG_SZ value name of key path, or nothing when key or value is missing or of another type.
std::optional<std::string> ReadText(HKEY root, const std::string& path, const std::string& name);
// Number of values of the key, or -1 when it can't be opened.
int ValueCount(HKEY root, const std::string& path);

}  // namespace r512::testkit
