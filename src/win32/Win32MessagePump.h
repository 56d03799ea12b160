#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>

#include "base/MessagePump.h"

namespace r512 {

// The thread's Windows message queue as a MessagePump: every waiting message of the thread is
// translated and dispatched (the device notices, painting, the window's timers); while none is
// waiting the thread sleeps in MsgWaitForMultipleObjects until one comes or the limit passes. A
// quit message that arrives meanwhile is posted again at the end, so that the main loop still
// ends.
class Win32MessagePump final : public MessagePump {
public:
    void RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point deadline = Clock::now() + limit;
        bool quit = false;
        int exitCode = 0;
        while (!done()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) break;
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
            const auto wait = std::min<long long>(50, left.count());
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(wait), QS_ALLINPUT);
        }
        if (quit) PostQuitMessage(exitCode);
    }
};

}  // namespace r512
