#pragma once

#include <array>
#include <cstdint>

#include "device/Protocol.h"
#include "device/RegisterMirror.h"
#include "serial/SerialLink.h"

namespace r512 {

// The read notice that the link posts to its owner: requested length, bytes received.
constexpr std::uint32_t WM_DEVICE_DATA = 1124;  // WM_USER + 100

// The program's one connection to the device: the serial link with the device's protocol on
// top. It keeps one read of at most three bytes outstanding at all times, takes the device's
// register frames out of the byte stream, keeps the register mirror, and sends commands.
class DeviceLink : public SerialLink {
public:
    DeviceLink();
    explicit DeviceLink(std::unique_ptr<PortChannel> channel);
    ~DeviceLink() override;

    // The port's time-outs for the device: a read ends 100 ms after a byte without another or
    // after 5 s in all; a write after 1 s in all.
    static constexpr CommTimeouts kTimeouts{100, 0, 5000, 0, 1000};

    // Opens the port with the device's time-outs and queues the first three-byte read.
    bool OpenPort(const char* portName, const char* lineDefinition, NoticeTarget* owner);

    // Queues the five-byte frame of a command. The frame's bytes belong to the write request
    // and are released when the write has completed or been discarded.
    bool SendCommand(std::uint8_t code);

    // Marks every register as awaited and sends the refresh command.
    bool RequestRefresh();

    // Consumes the completion of a read (requested and received length, as in the notice):
    // slides the receive window over what arrived and returns the frame it took, if any.
    RegisterFrame ProcessReceived(std::uint32_t requested, std::uint32_t received);

    RegisterMirror& Mirror() { return mirror_; }
    const RegisterMirror& Mirror() const { return mirror_; }

    bool NamesPending() const { return namesPending_; }

protected:
    // For the names transfer: the image of the device's names memory and the flag that a
    // download read into it is outstanding.
    std::array<std::uint8_t, NamesLayout::ImageSize> namesImage_{};
    bool namesPending_ = false;

private:
    bool QueueWindowRead(std::uint32_t length);

    RegisterMirror mirror_;
    std::array<std::uint8_t, 3> receiveWindow_{};
};

}  // namespace r512
