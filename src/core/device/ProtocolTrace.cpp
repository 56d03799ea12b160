#include "device/ProtocolTrace.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

#include "device/KeyNames.h"
#include "device/NamesDownloadCheck.h"
#include "device/NamesSections.h"
#include "device/Protocol.h"
#include "device/RegisterText.h"

namespace r512 {

namespace {

std::string Hex(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

std::string Join(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty()) text += "; ";
        text += part;
    }
    return text;
}

// The local time of day with milliseconds: "12:00:01.234".
std::string TimeStamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(ms));
    return text;
}

}  // namespace

std::string TraceDecoder::DescribeUploadByte(std::uint8_t byte) {
    const names_layout::Section* section = names_layout::FindSection(uploadSection_);
    if (section == nullptr) {
        // Between the sections: an announcement or the end.
        if (byte == names_bytes::kUploadEnd) {
            uploading_ = false;
            return "names upload end";
        }
        if (const names_layout::Section* announced = names_layout::FindSection(byte)) {
            uploadSection_ = byte;
            sectionDone_ = 0;
            return std::string(announced->label) + " follow (" + std::to_string(announced->length) +
                   " bytes)";
        }
        uploading_ = false;
        return "names upload broken off by " + Hex(byte);
    }
    std::string text = std::string(section->label) + " byte " + std::to_string(sectionDone_) +
                       " '" + static_cast<char>(byte) + "'";
    if (byte < 0x20 || byte > 0x7E) {
        text =
            std::string(section->label) + " byte " + std::to_string(sectionDone_) + " " + Hex(byte);
    }
    if (++sectionDone_ == section->length) uploadSection_ = 0;
    return text;
}

void TraceDecoder::Reset() {
    pending_.clear();
    uploadSection_ = 0;
    uploading_ = false;
    sectionDone_ = 0;
}

std::string TraceDecoder::DescribeSent(const std::uint8_t* bytes, std::uint32_t count) {
    if (count == 0) return "";
    if (count == 5 && bytes[0] == kCommandStart && bytes[1] == 'R' && bytes[2] == 'S' &&
        bytes[3] == '!') {
        const std::uint8_t code = bytes[4];
        if (const char* key = KeyNameOf(code)) return std::string("key ") + key;
        return "command " + Hex(code) + " (" + CommandName(code) + ")";
    }
    if (count == 8 && bytes[0] == names_bytes::kUploadStart &&
        std::memcmp(bytes + 1, names_bytes::kWriteKey.data(), names_bytes::kWriteKey.size()) == 0) {
        uploading_ = true;
        uploadSection_ = 0;
        return "names upload header (write key)";
    }
    if (count == 1 && uploading_) return DescribeUploadByte(bytes[0]);
    if (count == 1 && bytes[0] == names_bytes::kDownloadRequest) return "names download request";
    return "unframed bytes";
}

std::string TraceDecoder::DescribeReceived(const std::uint8_t* bytes, std::uint32_t count,
                                           std::uint32_t requested) {
    if (requested == names_download::kReadSize) {
        return "names memory, " + std::to_string(count) + " of " +
               std::to_string(names_download::kImageSize) + " bytes";
    }
    pending_.insert(pending_.end(), bytes, bytes + count);
    // The device's units, lined up as the receiving side lines them up: the filler pair, a
    // three-byte frame ending in 0xFF, or a stray byte that fits neither.
    std::vector<std::string> units;
    std::size_t at = 0;
    while (pending_.size() - at >= 2) {
        const std::uint8_t* unit = pending_.data() + at;
        if (unit[0] == kFillerFirst && unit[1] == kFrameEnd) {
            units.push_back("filler");
            at += 2;
        } else if (pending_.size() - at < 3) {
            break;
        } else if (unit[2] == kFrameEnd) {
            if (IsRegisterCode(unit[0])) {
                units.push_back(std::string(RegisterName(unit[0])) + " = " +
                                std::to_string(unit[1]) + " (" + RegisterText(unit[0], unit[1]) +
                                ")");
            } else {
                units.push_back("frame of no register " + Hex(unit[0]));
            }
            at += 3;
        } else {
            units.push_back("stray " + Hex(unit[0]));
            at += 1;
        }
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(at));
    if (!pending_.empty()) units.push_back("...");
    return Join(units);
}

ProtocolTrace::Opened ProtocolTrace::Open(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr) return {nullptr, std::error_code(errno, std::generic_category())};
    return {std::unique_ptr<ProtocolTrace>(new ProtocolTrace(file)), {}};
}

std::unique_ptr<ProtocolTrace> ProtocolTrace::OnFile(std::FILE* file) {
    return std::unique_ptr<ProtocolTrace>(new ProtocolTrace(file));
}

ProtocolTrace::ProtocolTrace(std::FILE* file) : file_(file) {}

ProtocolTrace::~ProtocolTrace() { std::fclose(file_); }

void ProtocolTrace::Write(const char* direction, const std::uint8_t* bytes, std::uint32_t count,
                          const std::string& meaning) {
    std::string line = TimeStamp() + " " + direction;
    char hex[4];
    for (std::uint32_t i = 0; i < count; ++i) {
        std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
        line += hex;
    }
    if (!meaning.empty()) line += "  " + meaning;
    line += '\n';
    std::fputs(line.c_str(), file_);
    // Each line reaches the file at once: a trace is read when something went wrong, and the
    // program may not end cleanly then.
    std::fflush(file_);
}

void ProtocolTrace::Sent(const std::uint8_t* bytes, std::uint32_t count) {
    if (count == 0) return;  // an empty write (a marker of the writes before it) sends nothing
    std::lock_guard<std::mutex> guard(lock_);
    Write("\xE2\x86\x92", bytes, count, decoder_.DescribeSent(bytes, count));
}

void ProtocolTrace::Received(const std::uint8_t* bytes, std::uint32_t count,
                             std::uint32_t requested) {
    // A read that ended with nothing (a silent device, every 5 s) is not worth a line.
    if (count == 0) return;
    std::lock_guard<std::mutex> guard(lock_);
    Write("\xE2\x86\x90", bytes, count, decoder_.DescribeReceived(bytes, count, requested));
}

void ProtocolTrace::Note(const std::string& text) {
    std::lock_guard<std::mutex> guard(lock_);
    std::fputs((TimeStamp() + " -- " + text + "\n").c_str(), file_);
    std::fflush(file_);
}

void ProtocolTrace::NoteAndReset(const std::string& text) {
    std::lock_guard<std::mutex> guard(lock_);
    decoder_.Reset();
    std::fputs((TimeStamp() + " -- " + text + "\n").c_str(), file_);
    std::fflush(file_);
}

void ProtocolTrace::PortFailed() { NoteAndReset("port failed"); }

void ProtocolTrace::Purged() { NoteAndReset("purge: unread input thrown away"); }

}  // namespace r512
