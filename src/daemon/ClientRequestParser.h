#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "device/Protocol.h"

namespace r512::daemon {

// A names upload as a raw client sent it, header through end byte: the sections it carried
// (each at most once), in the device's memory layout.
struct NamesUpload {
    std::array<std::uint8_t, names_layout::kSourceTableLength> sourceTable{};
    std::array<std::uint8_t, names_layout::kMessageLength> welcome{};
    std::array<std::uint8_t, names_layout::kMessageLength> standby{};
    bool hasSourceTable = false;
    bool hasWelcome = false;
    bool hasStandby = false;
};

// Splits what a raw client sends into the requests a device takes: command frames (0xE0 "RS!"
// and a code), the names download request (0xDC) and names uploads (0xDD with the write key,
// sections 0xCF/0xCA/0xCB with their bytes, 0xD4). Every other byte is counted as invalid and
// dropped; an upload with a wrong key or a byte out of place is dropped whole. Bytes may come
// in any pieces: the parser keeps at most one upload's worth between calls.
class ClientRequestParser {
public:
    struct Handlers {
        std::function<void(std::uint8_t code)> command;
        std::function<void()> download;
        std::function<void(const NamesUpload&)> upload;
    };

    explicit ClientRequestParser(Handlers handlers) : handlers_(std::move(handlers)) {}

    void Feed(const std::uint8_t* bytes, std::size_t count);

    // Invalid bytes since the last well-formed request.
    int InvalidSinceValid() const { return invalidSinceValid_; }
    // Whether an upload has begun and not yet ended (a client gone now leaves it unsent).
    bool InUpload() const { return state_ != State::Idle && state_ != State::Frame; }

private:
    enum class State { Idle, Frame, Key, Marker, Section };

    void Take(std::uint8_t byte);
    void Invalid(int count);
    void Valid() { invalidSinceValid_ = 0; }

    Handlers handlers_;
    State state_ = State::Idle;
    int matched_ = 0;  // bytes of the frame start or the key seen so far
    NamesUpload upload_;
    std::uint8_t* section_ = nullptr;
    int sectionLeft_ = 0;
    int invalidSinceValid_ = 0;
};

}  // namespace r512::daemon
