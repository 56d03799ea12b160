#include "support/ScratchFolder.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/Waiting.h"

namespace r512::testkit {
namespace {

std::atomic<int> counter{0};

void MakeFolders(const std::string& path) {
    // Creates each level in turn; existing levels are fine.
    for (std::size_t i = path.find('\\', 3); i != std::string::npos; i = path.find('\\', i + 1)) {
        CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
}

}  // namespace

ScratchFolder::ScratchFolder(const std::string& label) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string base = temp;
    if (!base.empty() && base.back() == '\\') {
        base.pop_back();
    }
    path_ = base + "\\r512 " + label + " " + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(counter++);
    RemoveTree(path_);
    MakeFolders(path_);
    if (!Exists(path_)) {
        throw std::runtime_error("can't create scratch folder " + path_);
    }
}

ScratchFolder::~ScratchFolder() {
    // A process the test started may still be ending inside (the clean-up script's cmd runs in
    // the folder of the copy): its folder can be removed once it is gone.
    WaitUntil(
        [&] {
            RemoveTree(path_);
            return !Exists(path_);
        },
        10000);
}

std::string ScratchFolder::MakeFolder(const std::string& name) const {
    const std::string path = At(name);
    MakeFolders(path);
    return path;
}

std::string ScratchFolder::MakeFile(const std::string& name, const std::string& content) const {
    const std::string path = At(name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string child = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

}  // namespace r512::testkit
