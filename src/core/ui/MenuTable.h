#pragma once

#include <vector>

#include "ui/HotSpotTable.h"

namespace r512 {

// One item of a context menu; an identifier of 0 is a separator.
struct MenuItem {
    const char* text;
    int id;
};

struct MenuDefinition {
    const char* title;
    std::vector<MenuItem> items;
};

// The File menu, opened by a right click on the panel's body.
const MenuDefinition& FileMenu();

// The menu a right click opens (the File menu on the body); nullptr for the hot spots that
// open a popup panel or nothing.
const MenuDefinition* HotSpotMenu(RightClick kind);

}  // namespace r512
