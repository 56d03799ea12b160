#pragma once

#include "ui/DialogTemplate.h"

namespace r512 {

// The templates of the program's small dialogs, item for item as the resource script holds
// them (which the Windows front end's test checks) and as the Qt front end builds them.
const DialogTemplate& NamesTemplate();   // "R512": the source names and the two messages
const DialogTemplate& ConfigTemplate();  // "Program Configuration": port and speed
const DialogTemplate& AboutTemplate();   // "About"
const DialogTemplate& ToneTemplate();    // the caption-less Tone popup: treble and bass
const DialogTemplate& LevelsTemplate();  // the caption-less Levels popup

}  // namespace r512
