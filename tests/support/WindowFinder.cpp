#include "support/WindowFinder.h"

#include "support/Waiting.h"

namespace r512::testkit {
namespace {

struct Search {
    WindowOwner owner;
    std::string caption;
    std::string textPart;
    HWND found = nullptr;
};

std::string TextOf(HWND window) {
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BOOL CALLBACK Consider(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD processId = 0;
    const DWORD threadId = GetWindowThreadProcessId(window, &processId);
    const bool owned = search->owner.threadId != 0    ? threadId == search->owner.threadId
                       : search->owner.processId != 0 ? processId == search->owner.processId
                                                      : true;
    if (owned && IsWindowVisible(window) && TextOf(window) == search->caption &&
        StaticTexts(window).find(search->textPart) != std::string::npos) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM parameter) {
    char className[64] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        auto* texts = reinterpret_cast<std::string*>(parameter);
        texts->append(TextOf(child)).append("\n");
    }
    return TRUE;
}

}  // namespace

HWND WaitForWindow(WindowOwner owner, const std::string& caption, const std::string& textPart,
                   DWORD timeoutMs) {
    Search search{owner, caption, textPart};
    WaitUntil(
        [&] {
            EnumWindows(Consider, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

std::string StaticTexts(HWND window) {
    std::string texts;
    EnumChildWindows(window, CollectStatic, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

void PressKey(HWND window, UINT virtualKey) {
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}

void ClickButton(HWND box, int button) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

}  // namespace r512::testkit
