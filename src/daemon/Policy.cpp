#include "daemon/Policy.h"

#include "device/ValuePresentation.h"

namespace r512::daemon {

namespace {
// A raise that no report has followed for this long was not acted on (the volume at the end of
// its range, a device in standby): it no longer counts.
constexpr std::chrono::milliseconds kRaiseForgotten{1500};
}  // namespace

std::uint8_t RaisedVolume(std::uint8_t code) {
    switch (code) {
        case cmd::kKnobUp:
        case cmd::kVolumeUp:
            return RS_VOLUME;
        case cmd::kZoneVolumeUp:
            return RS_ZONE_VOLUME;
        default:
            return 0;
    }
}

bool Policy::Configure(const PolicySettings& settings, std::string* error) {
    settings_ = settings;
    allow4_.clear();
    allow6_.clear();
    for (const std::string& entry : settings.allow) {
        boost::system::error_code ec;
        std::string text = entry;
        if (text.find('/') == std::string::npos)
            text += text.find(':') == std::string::npos ? "/32" : "/128";
        if (text.find(':') == std::string::npos) {
            auto net = boost::asio::ip::make_network_v4(text, ec);
            if (!ec) allow4_.push_back(net);
        } else {
            auto net = boost::asio::ip::make_network_v6(text, ec);
            if (!ec) allow6_.push_back(net);
        }
        if (ec) {
            if (error) *error = "--allow " + entry + ": not a network (e.g. 192.168.1.0/24)";
            return false;
        }
    }
    return true;
}

bool Policy::MayConnect(const boost::asio::ip::address& source) const {
    boost::asio::ip::address address = source;
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        address = boost::asio::ip::make_address_v4(boost::asio::ip::v4_mapped, address.to_v6());
    if (allow4_.empty() && allow6_.empty()) return address.is_loopback();
    if (address.is_v4()) {
        for (const auto& net : allow4_) {
            const auto host = boost::asio::ip::network_v4(address.to_v4(), 32);
            if (host == net || host.is_subnet_of(net)) return true;
        }
        return false;
    }
    for (const auto& net : allow6_) {
        const auto host = boost::asio::ip::network_v6(address.to_v6(), 128);
        if (host == net || host.is_subnet_of(net)) return true;
    }
    return false;
}

bool Policy::AdmitClient() {
    if (clients_ >= settings_.maxClients) return false;
    ++clients_;
    return true;
}

void Policy::ReleaseClient() {
    if (clients_ > 0) --clients_;
}

std::optional<int> Policy::CapOf(std::uint8_t reg) const {
    return reg == RS_VOLUME ? settings_.maxVolume : settings_.maxZoneVolume;
}

std::optional<std::string> Policy::RefuseCommand(std::uint8_t code, const RegisterMirror& mirror,
                                                 Clock::time_point now) const {
    const std::uint8_t reg = RaisedVolume(code);
    if (reg == 0) return std::nullopt;
    const std::optional<int> cap = CapOf(reg);
    if (!cap) return std::nullopt;
    const char* what = reg == RS_VOLUME ? "volume" : "zone volume";
    if (mirror.State(reg) == RegisterState::Pending)
        return std::string("the ") + what + " is not known yet and is capped at " +
               std::to_string(*cap) + " dB";
    const Raises& raises = RaisesOf(reg);
    const int pending = now - raises.lastSent < kRaiseForgotten ? raises.unconfirmed : 0;
    const int level = DisplayValue(mirror.Value(reg), reg) + pending;
    if (level >= *cap)
        return std::string("the ") + what + " is at its cap of " + std::to_string(*cap) + " dB";
    return std::nullopt;
}

void Policy::NoteSent(std::uint8_t code, Clock::time_point now) {
    const std::uint8_t reg = RaisedVolume(code);
    if (reg == 0) return;
    Raises& raises = RaisesOf(reg);
    if (now - raises.lastSent >= kRaiseForgotten) raises.unconfirmed = 0;
    ++raises.unconfirmed;
    raises.lastSent = now;
}

void Policy::NoteReport(std::uint8_t code, std::uint8_t before, std::uint8_t after) {
    if (code != RS_VOLUME && code != RS_ZONE_VOLUME) return;
    if (after <= before) return;
    Raises& raises = RaisesOf(code);
    raises.unconfirmed = std::max(0, raises.unconfirmed - (after - before));
}

void Policy::Forget() {
    main_ = {};
    zone_ = {};
}

std::optional<std::string> Policy::RefuseSet(std::uint8_t reg, std::uint8_t value) const {
    if (reg != RS_VOLUME && reg != RS_ZONE_VOLUME) return std::nullopt;
    const std::optional<int> cap = CapOf(reg);
    if (!cap) return std::nullopt;
    if (DisplayValue(value, reg) > *cap)
        return std::string(reg == RS_VOLUME ? "volume" : "zone volume") + " is capped at " +
               std::to_string(*cap) + " dB";
    return std::nullopt;
}

}  // namespace r512::daemon
