#pragma once

#include <array>
#include <cstdint>

#include "device/Protocol.h"

namespace r512 {

enum class RegisterState : std::uint8_t {
    Known = 0,    // current and dealt with
    Changed = 1,  // a report outside a refresh changed it; not yet announced
    Shown = 2,    // the display is announcing the change
    Pending = 3,  // a refresh asked for it and no report has come since
};

struct RegisterEntry {
    std::uint8_t value = 0;
    RegisterState state = RegisterState::Known;
};

// The program's copy of the device's 26 registers, addressed by register code. Only the
// user-interface thread reads and writes it.
class RegisterMirror {
public:
    // The entry of a register code (0xE1 to 0xFA). Codes outside that range must not be used.
    RegisterEntry& operator[](std::uint8_t code) { return entries_[Index(code)]; }
    const RegisterEntry& operator[](std::uint8_t code) const { return entries_[Index(code)]; }

    std::uint8_t Value(std::uint8_t code) const { return (*this)[code].value; }
    RegisterState State(std::uint8_t code) const { return (*this)[code].state; }
    void SetState(std::uint8_t code, RegisterState state) { (*this)[code].state = state; }

    // A report of value v: a new value is stored and becomes Changed, unless a refresh was
    // waiting for it; a report for a Pending register always ends Known and is never announced.
    void ApplyReport(std::uint8_t code, std::uint8_t value);

    // Every register awaited (the values stay).
    void MarkAllPending();

    // All 26 awaited: the device has not answered since the last refresh.
    bool AllPending() const;

private:
    static std::size_t Index(std::uint8_t code) {
        return static_cast<std::size_t>(code - kFirstRegister) % kRegisterCount;
    }

    std::array<RegisterEntry, kRegisterCount> entries_{};
};

}  // namespace r512
