#pragma once

#include <windows.h>

#include <string>

#include "base/Profile.h"

namespace r512 {

// The settings in the per-user registry: each section is a subkey of the application's key
// (HKEY_CURRENT_USER\Software\ZEL\R512 Control Software\Config, ...); numbers are REG_DWORD
// values and strings REG_SZ values. A value that is missing, of another type or of a wrong size
// reads as the caller's default.
class RegistryProfile final : public Profile {
public:
    // `applicationKey`: the application's key below HKEY_CURRENT_USER.
    explicit RegistryProfile(std::string applicationKey);

    // The program's own key, Software\<organisation>\<application>.
    static std::string ProgramKey();

    int GetProfileInt(const char* section, const char* key, int defaultValue) override;
    std::string GetProfileString(const char* section, const char* key,
                                 const char* defaultValue) override;
    bool WriteProfileInt(const char* section, const char* key, int value) override;
    bool WriteProfileString(const char* section, const char* key,
                            const std::string& value) override;

private:
    std::string SectionKey(const char* section) const;
    bool Write(const char* section, const char* key, DWORD type, const BYTE* data, DWORD size);

    std::string applicationKey_;
};

}  // namespace r512
