#pragma once

#include <map>
#include <string>

#include "base/Profile.h"

namespace r512::test {

// Settings held in memory.
class MemoryProfile final : public Profile {
public:
    int GetProfileInt(const char* section, const char* key, int defaultValue) override {
        const auto it = ints.find(Key(section, key));
        return it == ints.end() ? defaultValue : it->second;
    }
    std::string GetProfileString(const char* section, const char* key,
                                 const char* defaultValue) override {
        const auto it = strings.find(Key(section, key));
        return it == strings.end() ? defaultValue : it->second;
    }
    bool WriteProfileInt(const char* section, const char* key, int value) override {
        ints[Key(section, key)] = value;
        return true;
    }
    bool WriteProfileString(const char* section, const char* key,
                            const std::string& value) override {
        strings[Key(section, key)] = value;
        return true;
    }

    static std::string Key(const char* section, const char* key) {
        return std::string(section) + "/" + key;
    }

    std::map<std::string, int> ints;
    std::map<std::string, std::string> strings;
};

}  // namespace r512::test
