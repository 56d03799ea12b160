#pragma once

#include <string>

namespace r512 {

// The program's persistent settings, by section and key (the per-user registry key on
// Windows, a settings file on Linux). A missing or unreadable value yields the caller's
// default; every write reaches the store at once.
class Profile {
public:
    virtual ~Profile() = default;
    virtual int GetProfileInt(const char* section, const char* key, int defaultValue) = 0;
    virtual std::string GetProfileString(const char* section, const char* key,
                                         const char* defaultValue) = 0;
    virtual bool WriteProfileInt(const char* section, const char* key, int value) = 0;
    virtual bool WriteProfileString(const char* section, const char* key,
                                    const std::string& value) = 0;
};

}  // namespace r512
