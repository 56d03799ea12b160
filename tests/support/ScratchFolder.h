#pragma once
// A folder of the test's own under the temporary folder, removed with all its content when the
// test ends. Its name holds spaces on purpose: the programs must cope with such paths.
#include <string>

namespace r512::testkit {

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& label = "scratch");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's path, without a trailing backslash.
    const std::string& Path() const { return path_; }
    // Path of name (which may contain backslashes) inside the folder.
    std::string At(const std::string& name) const { return path_ + "\\" + name; }
    // Creates the folder name (and the folders above it) inside; returns its path.
    std::string MakeFolder(const std::string& name) const;
    // Creates a small file name inside; returns its path.
    std::string MakeFile(const std::string& name, const std::string& content = "x") const;

private:
    std::string path_;
};

bool Exists(const std::string& path);
std::string ReadWholeFile(const std::string& path);
// Removes a folder with everything in it, read-only files included.
void RemoveTree(const std::string& path);

}  // namespace r512::testkit
