#pragma once

#include <QSettings>

#include "base/Profile.h"

namespace r512 {

// The settings through QSettings in the platform's native store: the registry key
// HKEY_CURRENT_USER\Software\ZEL\R512 Control Software on Windows (integers as REG_DWORD),
// $XDG_CONFIG_HOME/ZEL/R512 Control Software.conf on Linux. Each write is flushed at once, as a
// registry write would be: the first-run rule depends on "Configured" being stored before the
// configuration dialog opens.
class QtProfile final : public Profile {
public:
    QtProfile();

    int GetProfileInt(const char* section, const char* key, int defaultValue) override;
    std::string GetProfileString(const char* section, const char* key,
                                 const char* defaultValue) override;
    bool WriteProfileInt(const char* section, const char* key, int value) override;
    bool WriteProfileString(const char* section, const char* key,
                            const std::string& value) override;

    QString FileName() const { return settings_.fileName(); }

private:
    QSettings settings_;
};

}  // namespace r512
