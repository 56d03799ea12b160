#include "support/ShortcutReader.h"

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace r512::testkit {

std::optional<ShortcutContent> ReadShortcut(const std::string& linkPath) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return std::nullopt;
    }
    std::optional<ShortcutContent> content;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR widePath[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH);
        if (SUCCEEDED(file->Load(widePath, STGM_READ))) {
            char text[MAX_PATH];
            ShortcutContent read;
            // SLGP_RAWPATH: the path as stored, without resolving it against the file system.
            if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) read.target = text;
            if (SUCCEEDED(link->GetDescription(text, MAX_PATH))) read.description = text;
            if (SUCCEEDED(link->GetArguments(text, MAX_PATH))) read.arguments = text;
            if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) read.workingFolder = text;
            content = read;
        }
        file->Release();
    }
    link->Release();
    return content;
}

}  // namespace r512::testkit
