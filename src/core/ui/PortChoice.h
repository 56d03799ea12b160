#pragma once

#include <string>

#include "base/Profile.h"

namespace r512 {

// The configuration dialog's choices, from and to the stored "Port" and "Speed".
struct PortChoice {
    int port = 0;   // 0 to 3: COM1 to COM4; 4: Other
    int speed = 0;  // 0: 12000; 1: 9600
    std::string otherName;

    // Exactly "COM1" to "COM4" select their button; any other name (lower-case "com1", "COM7",
    // "COM12" or the empty name) selects Other with the whole name in its field.
    static PortChoice FromSettings(const std::string& port, int speed);
    // The stored choice, or the defaults where nothing is stored.
    static PortChoice Load(Profile& profile);
    // Stores PortName() and Speed().
    void Store(Profile& profile) const;

    // The port name to store: "COM<n>", or the Other field without its trailing blanks.
    std::string PortName() const;
    int Speed() const { return speed == 1 ? 9600 : 12000; }
};

}  // namespace r512
