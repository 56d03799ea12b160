#pragma once
// Every question and notice of setup and uninstall goes through this interface, so that the
// programs' logic can run under test with the answers given by a double instead of a person.
#include <windows.h>

namespace r512::installer {

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Same meaning as MessageBoxA: a null caption gives the system's default caption. Returns the
    // identifier of the button that closed the box (IDYES, IDNO, ...).
    virtual int Show(HWND owner, const char* text, const char* caption, UINT type) = 0;
};

// The real message boxes.
class SystemMessageBoxes final : public MessageBoxes {
public:
    int Show(HWND owner, const char* text, const char* caption, UINT type) override {
        return MessageBoxA(owner, text, caption, type);
    }
};

}  // namespace r512::installer
