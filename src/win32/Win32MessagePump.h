#pragma once

#include <windows.h>

#include "base/MessagePump.h"

namespace r512 {

// The thread's Windows message queue as a MessagePump: every waiting message of the thread is
// translated and dispatched (the device notices, painting, the window's timers); while none is
// waiting the thread sleeps in MsgWaitForMultipleObjects until one comes. A quit message that
// arrives meanwhile is posted again once `done` holds, so that the main loop still ends.
class Win32MessagePump final : public MessagePump {
public:
    void RunUntil(const std::function<bool()>& done) override {
        bool quit = false;
        int exitCode = 0;
        while (!done()) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) {
                    quit = true;
                    exitCode = static_cast<int>(message.wParam);
                    continue;
                }
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            if (done()) break;
            // Bounded, so that a condition that no message announces is still seen.
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
        if (quit) PostQuitMessage(exitCode);
    }
};

}  // namespace r512
