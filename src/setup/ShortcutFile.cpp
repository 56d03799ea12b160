#include "ShortcutFile.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace r512::setup {

HRESULT CreateShortcut(const char* target, const char* linkPath, const char* description) {
    IShellLinkA* link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&link));
    if (FAILED(result)) {
        return result;
    }
    link->SetPath(target);
    link->SetDescription(description);

    IPersistFile* file = nullptr;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result)) {
        // IPersistFile only takes UTF-16 file names.
        WCHAR widePath[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) == 0) {
            result = HRESULT_FROM_WIN32(GetLastError());
        } else {
            result = file->Save(widePath, TRUE);
        }
        file->Release();
    }
    link->Release();
    return result;
}

}  // namespace r512::setup
