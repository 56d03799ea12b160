#pragma once

#include <windows.h>

#include "device/NamesFields.h"

namespace r512 {

// The modal dialog (template 185) in which the user edits the thirteen texts of the names
// memory. It never talks to the device: the Names command fills `texts` before Run and reads
// them back after IDOK. Shown as they are; a field takes no more characters than the device
// stores; Defaults puts the factory texts into the fields.
class NamesDialog {
public:
    names_fields::Texts texts;

    INT_PTR Run(HINSTANCE instance, HWND owner);

private:
    INT_PTR OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Fill(HWND hwnd);
    void Store(HWND hwnd);
};

}  // namespace r512
