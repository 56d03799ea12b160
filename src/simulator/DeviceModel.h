#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "device/Protocol.h"

namespace r512::sim {

// The simulated device's inner state: its 26 registers and its names memory, and what each
// command code does to them. This is our own model of a plausible device; the program only
// relies on the frames it reports.
class DeviceModel {
public:
    DeviceModel();

    std::uint8_t Register(std::uint8_t code) const { return registers_[code - kFirstRegister]; }
    void SetRegister(std::uint8_t code, std::uint8_t value) {
        registers_[code - kFirstRegister] = value;
    }

    // Acts on a command and returns the codes of the registers whose value changed (in code
    // order), or all 26 for the refresh command.
    std::vector<std::uint8_t> Apply(std::uint8_t command);

    std::array<std::uint8_t, names_layout::kImageSize>& Names() { return names_; }
    const std::array<std::uint8_t, names_layout::kImageSize>& Names() const { return names_; }

private:
    std::uint8_t& Reg(std::uint8_t code) { return registers_[code - kFirstRegister]; }
    void Act(std::uint8_t command);

    std::array<std::uint8_t, kRegisterCount> registers_{};
    std::array<std::uint8_t, names_layout::kImageSize> names_{};
};

}  // namespace r512::sim
