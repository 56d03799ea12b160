#pragma once

#include "ui/HotSpotTable.h"

namespace r512 {

// The menu resource that a right click opens (0 for none): the resource script
// holds the menus, the core's menu table what they contain.
int MenuResourceFor(RightClick kind);

}  // namespace r512
