#include "support/ScriptedMessageBoxes.h"

namespace r512::testkit {

void ScriptedMessageBoxes::Answer(int button, std::function<void()> beforeAnswer) {
    script_.push_back({button, std::move(beforeAnswer)});
}

int ScriptedMessageBoxes::Show(HWND owner, const char* text, const char* caption, UINT type) {
    ShownBox box;
    box.owner = owner;
    box.text = text;
    if (caption != nullptr) {
        box.caption = caption;
    }
    box.type = type;
    shown_.push_back(box);
    if (next_ >= script_.size()) {
        ++unscripted_;
        return unscriptedAnswer_;
    }
    Scripted& answer = script_[next_++];
    if (answer.beforeAnswer) {
        answer.beforeAnswer();
    }
    return answer.button;
}

}  // namespace r512::testkit
