#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <boost/asio/ip/address.hpp>
#include <boost/asio/ip/network_v4.hpp>
#include <boost/asio/ip/network_v6.hpp>

#include "device/RegisterMirror.h"

namespace r512::daemon {

// Who may connect and what any client may do, decided in one place for every kind of client
// (raw, JSON, the web page): the volume caps, the number of clients, the allow-list and the
// bound of each client's output queue.
struct PolicySettings {
    std::optional<int> maxVolume;      // dB as the display reads them
    std::optional<int> maxZoneVolume;  // dB as the display reads them
    int maxClients = 32;
    std::vector<std::string> allow;  // CIDR networks; none: loopback addresses only
    std::size_t outputQueueBytes = 256 * 1024;
};

class Policy {
public:
    using Clock = std::chrono::steady_clock;

    // False with `error` set when an allow entry is no network.
    bool Configure(const PolicySettings& settings, std::string* error);
    const PolicySettings& Settings() const { return settings_; }

    // Without --allow only loopback sources; with it, exactly the named networks.
    bool MayConnect(const boost::asio::ip::address& source) const;

    // Counts the clients of every kind; false when the limit is reached (nothing counted).
    bool AdmitClient();
    void ReleaseClient();
    int Clients() const { return clients_; }

    // Why a command may not go to the device now, or nothing when it may. A volume-up (knob,
    // spin, zone) is refused while the volume, with the raises sent and not yet reported, is at
    // or above its cap, and while the volume is unknown.
    std::optional<std::string> RefuseCommand(std::uint8_t code, const RegisterMirror& mirror,
                                             Clock::time_point now = Clock::now()) const;
    // A command went out: a volume-up counts until its report comes.
    void NoteSent(std::uint8_t code, Clock::time_point now = Clock::now());
    // A report of `code` moved it from `before` to `after`.
    void NoteReport(std::uint8_t code, std::uint8_t before, std::uint8_t after);
    // The device's state is unknown again (the link went or a refresh began).
    void Forget();

    // Why a `set` of the register to the byte `value` is refused, or nothing.
    std::optional<std::string> RefuseSet(std::uint8_t reg, std::uint8_t value) const;

private:
    struct Raises {
        int unconfirmed = 0;
        Clock::time_point lastSent{};
    };
    Raises& RaisesOf(std::uint8_t reg) { return reg == RS_VOLUME ? main_ : zone_; }
    const Raises& RaisesOf(std::uint8_t reg) const { return reg == RS_VOLUME ? main_ : zone_; }
    std::optional<int> CapOf(std::uint8_t reg) const;

    PolicySettings settings_;
    std::vector<boost::asio::ip::network_v4> allow4_;
    std::vector<boost::asio::ip::network_v6> allow6_;
    int clients_ = 0;
    Raises main_;
    Raises zone_;
};

// The register a volume-raising command raises (RS_VOLUME or RS_ZONE_VOLUME), or 0.
std::uint8_t RaisedVolume(std::uint8_t code);

}  // namespace r512::daemon
