#include "daemon/ClientRequestParser.h"

namespace r512::daemon {

namespace {
constexpr std::array<std::uint8_t, 4> kFrameStart = {kCommandStart, 0x52, 0x53, 0x21};
}  // namespace

void ClientRequestParser::Feed(const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) Take(bytes[i]);
}

void ClientRequestParser::Invalid(int count) { invalidSinceValid_ += count; }

void ClientRequestParser::Take(std::uint8_t byte) {
    switch (state_) {
        case State::Idle:
            if (byte == kCommandStart) {
                state_ = State::Frame;
                matched_ = 1;
            } else if (byte == names_bytes::kDownloadRequest) {
                Valid();
                if (handlers_.download) handlers_.download();
            } else if (byte == names_bytes::kUploadStart) {
                state_ = State::Key;
                matched_ = 0;
                upload_ = {};
            } else {
                Invalid(1);
            }
            return;
        case State::Frame:
            if (matched_ < static_cast<int>(kFrameStart.size())) {
                if (byte == kFrameStart[static_cast<std::size_t>(matched_)]) {
                    ++matched_;
                    return;
                }
                // Not a frame after all: what was matched is garbage, and this byte starts over.
                Invalid(matched_);
                state_ = State::Idle;
                Take(byte);
                return;
            }
            state_ = State::Idle;
            Valid();
            if (handlers_.command) handlers_.command(byte);
            return;
        case State::Key:
            if (byte != names_bytes::kWriteKey[static_cast<std::size_t>(matched_)]) {
                Invalid(1 + matched_ + 1);
                state_ = State::Idle;
                return;
            }
            if (++matched_ == static_cast<int>(names_bytes::kWriteKey.size())) {
                state_ = State::Marker;
            }
            return;
        case State::Marker:
            if (byte == names_bytes::kSourceNames && !upload_.hasSourceTable) {
                upload_.hasSourceTable = true;
                section_ = upload_.sourceTable.data();
                sectionLeft_ = names_layout::kSourceTableLength;
            } else if (byte == names_bytes::kWelcomeMessage && !upload_.hasWelcome) {
                upload_.hasWelcome = true;
                section_ = upload_.welcome.data();
                sectionLeft_ = names_layout::kMessageLength;
            } else if (byte == names_bytes::kStandbyMessage && !upload_.hasStandby) {
                upload_.hasStandby = true;
                section_ = upload_.standby.data();
                sectionLeft_ = names_layout::kMessageLength;
            } else if (byte == names_bytes::kUploadEnd) {
                state_ = State::Idle;
                Valid();
                if (handlers_.upload) handlers_.upload(upload_);
                return;
            } else {
                // An upload out of order is dropped whole: its bytes would land at the wrong
                // place in the device's memory.
                Invalid(1);
                state_ = State::Idle;
                return;
            }
            state_ = State::Section;
            return;
        case State::Section:
            *section_++ = byte;
            if (--sectionLeft_ == 0) state_ = State::Marker;
            return;
    }
}

}  // namespace r512::daemon
