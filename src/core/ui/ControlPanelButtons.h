#pragma once

#include <cstdint>

namespace r512 {

// What a click on one of the Control Panel's buttons asks for. The panel's check marks never
// change on a click: the device's report does that.
struct PanelButtonAction {
    enum class Kind {
        None,      // a control that only shows a register (the triggers) or is no button
        Send,      // one command code to the device
        Post,      // a command of the remote window (its mode and refresh items decide)
        ZoneStep,  // a Multi Source source: "next zone source" up to the button's index
    };
    Kind kind = Kind::None;
    int value = 0;  // the code, the command identifier or the zone source index
};

// The action of the panel's control `controlId` (Refresh, the check boxes and radio buttons).
PanelButtonAction PanelButton(int controlId);

}  // namespace r512
