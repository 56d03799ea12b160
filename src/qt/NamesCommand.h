#pragma once

#include <functional>

class QWidget;

namespace r512 {

class DeviceLink;
class MessagePump;

// The Names command: downloads the device's names memory, lets the user edit the source names
// and the messages in the Names dialog, checks the edited texts and uploads them. The remote
// window and the Control Panel (null when there is none) take no input throughout, and the
// application shows the wait cursor; `setWaitCursor` makes the wait cursor the remote window's
// own cursor during the download (true) and the arrow again after it (false). `pump` runs the
// thread's events while the download is under way. Messages 1041 and 1042 tell the user when
// the names can't be read or the edited texts can't be stored, 1043 when the port failed during
// the upload.
void RunNamesCommand(DeviceLink& link, QWidget* remoteWindow, QWidget* controlPanel,
                     const std::function<void(bool busy)>& setWaitCursor, MessagePump& pump);

}  // namespace r512
