#include "win32/RegistryProfile.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/SettingsLayout.h"

namespace r512 {

namespace {

// Strings longer than this are not settings the program wrote: they read as the default.
constexpr DWORD kLongestString = 4096;

// Closes an open key when it goes out of scope.
class OpenKey {
public:
    OpenKey(const std::string& path, REGSAM access, bool create) {
        const LONG result =
            create ? RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                                     REG_OPTION_NON_VOLATILE, access, nullptr, &key_, nullptr)
                   : RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &key_);
        if (result != ERROR_SUCCESS) key_ = nullptr;
    }
    ~OpenKey() {
        if (key_) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

RegistryProfile::RegistryProfile(std::string applicationKey)
    : applicationKey_(std::move(applicationKey)) {}

std::string RegistryProfile::ProgramKey() {
    return std::string("Software\\") + settings::kOrganisation + "\\" + settings::kApplication;
}

std::string RegistryProfile::SectionKey(const char* section) const {
    return applicationKey_ + "\\" + section;
}

int RegistryProfile::GetProfileInt(const char* section, const char* key, int defaultValue) {
    const OpenKey open(SectionKey(section), KEY_READ, false);
    if (!open.Get()) return defaultValue;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(open.Get(), key, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return defaultValue;
    // Stored as the two's complement of the number, as the profile functions store -1.
    return static_cast<int>(value);
}

std::string RegistryProfile::GetProfileString(const char* section, const char* key,
                                              const char* defaultValue) {
    const OpenKey open(SectionKey(section), KEY_READ, false);
    if (!open.Get()) return defaultValue;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(open.Get(), key, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ || size > kLongestString)
        return defaultValue;
    std::vector<char> text(size + 1, '\0');
    if (RegQueryValueExA(open.Get(), key, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return defaultValue;
    // A value stored without its terminating zero still ends within the buffer.
    text[std::min<std::size_t>(size, text.size() - 1)] = '\0';
    return std::string(text.data());
}

bool RegistryProfile::Write(const char* section, const char* key, DWORD type, const BYTE* data,
                            DWORD size) {
    const OpenKey open(SectionKey(section), KEY_WRITE, true);
    if (!open.Get()) return false;
    return RegSetValueExA(open.Get(), key, 0, type, data, size) == ERROR_SUCCESS;
}

bool RegistryProfile::WriteProfileInt(const char* section, const char* key, int value) {
    const DWORD stored = static_cast<DWORD>(value);
    return Write(section, key, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof(stored));
}

bool RegistryProfile::WriteProfileString(const char* section, const char* key,
                                         const std::string& value) {
    return Write(section, key, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

}  // namespace r512
