#pragma once

#include <functional>

class QWidget;

namespace r512 {

class DeviceLink;
class MessagePump;

// The Names command of ui/NamesCommand.h on the Qt front end. The remote window and the Control
// Panel (null when there is none) take no input throughout, and the application shows the wait
// cursor (the arrow over the dialog and the messages); `setWaitCursor` makes the wait cursor the
// remote window's own cursor during the download (true) and the arrow again after it (false).
void RunNamesCommand(DeviceLink& link, QWidget* remoteWindow, QWidget* controlPanel,
                     const std::function<void(bool busy)>& setWaitCursor, MessagePump& pump);

}  // namespace r512
