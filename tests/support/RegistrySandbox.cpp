#include "support/RegistrySandbox.h"

#include <atomic>
#include <stdexcept>

namespace r512::testkit {
namespace {

std::atomic<int> counter{0};
constexpr char kSandboxRoot[] = "Software\\R512 Test Sandbox";

HKEY CreateOrThrow(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("can't create registry sandbox " + path);
    }
    return key;
}

}  // namespace

RegistrySandbox::RegistrySandbox() {
    path_ = std::string(kSandboxRoot) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(counter++);
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    roots_.machine = CreateOrThrow(path_ + "\\Machine");
    roots_.user = CreateOrThrow(path_ + "\\User");
}

RegistrySandbox::~RegistrySandbox() {
    RegCloseKey(roots_.machine);
    RegCloseKey(roots_.user);
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    HKEY sandboxes = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, &sandboxes) ==
        ERROR_SUCCESS) {
        RegDeleteKeyA(sandboxes, "R512 Test Sandbox");  // only goes when no other test uses it
        RegCloseKey(sandboxes);
    }
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void CreateKey(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyA(root, path.c_str(), &key) != ERROR_SUCCESS) {
        throw std::runtime_error("can't create key " + path);
    }
    RegCloseKey(key);
}

void WriteText(HKEY root, const std::string& path, const std::string& name,
               const std::string& text) {
    if (RegSetKeyValueA(root, path.c_str(), name.c_str(), REG_SZ, text.c_str(),
                        static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS) {
        throw std::runtime_error("can't write " + path + "\\" + name);
    }
}

std::optional<std::string> ReadText(HKEY root, const std::string& path, const std::string& name) {
    char buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueA(root, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::string(buffer);
}

int ValueCount(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return -1;
    }
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return static_cast<int>(values);
}

}  // namespace r512::testkit
