#pragma once
// A message-box double: records every box the code under test shows and answers it from a
// script the test writes beforehand, so that no person (and no window) is needed.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "MessageBoxes.h"

namespace r512::testkit {

struct ShownBox {
    HWND owner = nullptr;
    std::string text;
    std::optional<std::string> caption;  // empty for the system's default caption
    UINT type = 0;
};

class ScriptedMessageBoxes final : public installer::MessageBoxes {
public:
    // The answer to the next box not yet answered. beforeAnswer runs while the box "is open",
    // e.g. to let a Retry succeed.
    void Answer(int button, std::function<void()> beforeAnswer = {});

    int Show(HWND owner, const char* text, const char* caption, UINT type) override;

    const std::vector<ShownBox>& Shown() const { return shown_; }
    // Boxes shown with no scripted answer left; they were answered with unscriptedAnswer.
    int Unscripted() const { return unscripted_; }
    void SetUnscriptedAnswer(int button) { unscriptedAnswer_ = button; }

private:
    struct Scripted {
        int button;
        std::function<void()> beforeAnswer;
    };
    std::vector<Scripted> script_;
    std::size_t next_ = 0;
    std::vector<ShownBox> shown_;
    int unscripted_ = 0;
    int unscriptedAnswer_ = IDCANCEL;
};

}  // namespace r512::testkit
