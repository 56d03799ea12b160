#pragma once

#include "ui/DialogTemplate.h"

namespace r512 {

// The templates of the program's small dialogs, item for item as the resource script holds
// them (which the Windows front end's test checks) and as the Qt front end builds them.
extern const DialogTemplate kNamesTemplate;   // "R512": the source names and the two messages
extern const DialogTemplate kConfigTemplate;  // "Program Configuration": port and speed
extern const DialogTemplate kAboutTemplate;   // "About"
extern const DialogTemplate kToneTemplate;    // the caption-less Tone popup: treble and bass
extern const DialogTemplate kLevelsTemplate;  // the caption-less Levels popup

}  // namespace r512
