#include "device/RegisterMirror.h"

namespace r512 {

void RegisterMirror::ApplyReport(std::uint8_t code, std::uint8_t value) {
    RegisterEntry& entry = (*this)[code];
    if (entry.value != value) {
        entry.value = value;
        entry.state =
            entry.state == RegisterState::Pending ? RegisterState::Known : RegisterState::Changed;
    }
    if (entry.state == RegisterState::Pending) entry.state = RegisterState::Known;
}

void RegisterMirror::MarkAllPending() {
    for (RegisterEntry& entry : entries_) entry.state = RegisterState::Pending;
}

bool RegisterMirror::AllPending() const {
    for (const RegisterEntry& entry : entries_) {
        if (entry.state != RegisterState::Pending) return false;
    }
    return true;
}

}  // namespace r512
