#pragma once
// Points the process's temporary folder (the TMP variable, which GetTempPathA reads first) at
// another folder for the life of the object; child processes inherit it.
#include <windows.h>

#include <string>

class TemporaryFolderOverride {
public:
    explicit TemporaryFolderOverride(const std::string& folder) {
        hadOld_ = GetEnvironmentVariableA("TMP", old_, MAX_PATH) > 0;
        SetEnvironmentVariableA("TMP", folder.c_str());
    }
    ~TemporaryFolderOverride() { SetEnvironmentVariableA("TMP", hadOld_ ? old_ : nullptr); }
    TemporaryFolderOverride(const TemporaryFolderOverride&) = delete;
    TemporaryFolderOverride& operator=(const TemporaryFolderOverride&) = delete;

private:
    bool hadOld_ = false;
    char old_[MAX_PATH] = "";
};
