#include "simulator/HostByteParser.h"

#include "device/NamesSections.h"

namespace r512::sim {

namespace {
// The bytes of every command frame, the code last (0 here).
constexpr CommandFrame kFrameStart = MakeCommandFrame(0);
}  // namespace

HostByte HostByteParser::Take(std::uint8_t byte) {
    using Kind = HostByte::Kind;
    switch (state_) {
        case State::Idle:
            break;
        case State::Frame:
            // A frame whose start is broken is dropped, and its byte read afresh.
            if (count_ == kFrameStart.size() - 1) {
                state_ = State::Idle;
                return {Kind::Command, byte};
            }
            if (byte == kFrameStart[count_]) {
                ++count_;
                return {};
            }
            break;
        case State::Key:
            if (byte != names_bytes::kWriteKey[count_]) {
                state_ = State::Idle;
                return {Kind::WrongKey, byte};
            }
            if (++count_ < names_bytes::kWriteKey.size()) return {};
            state_ = State::Section;
            return {Kind::UploadOpened};
        case State::Section: {
            if (byte == names_bytes::kUploadEnd) {
                state_ = State::Idle;
                return {Kind::UploadEnd, byte};
            }
            if (const names_layout::Section* section = names_layout::FindSection(byte)) {
                sectionAt_ = section->offset;
                sectionSize_ = static_cast<std::size_t>(section->length);
                count_ = 0;
                state_ = State::Data;
                return {};
            }
            // Anything else breaks the upload off, and is read afresh.
            HostByte meaning = Start(byte);
            meaning.abandonsUpload = true;
            return meaning;
        }
        case State::Data: {
            const HostByte taken{Kind::UploadByte, byte, sectionAt_ + static_cast<int>(count_)};
            if (++count_ == sectionSize_) state_ = State::Section;
            return taken;
        }
    }
    return Start(byte);
}

HostByte HostByteParser::Start(std::uint8_t byte) {
    using Kind = HostByte::Kind;
    state_ = State::Idle;
    if (byte == kCommandStart) {
        state_ = State::Frame;
        count_ = 1;
        return {};
    }
    if (byte == names_bytes::kDownloadRequest) return {Kind::NamesRequest, byte};
    if (byte == names_bytes::kUploadStart) {
        state_ = State::Key;
        count_ = 0;
        return {};
    }
    return {Kind::Stray, byte};
}

}  // namespace r512::sim
