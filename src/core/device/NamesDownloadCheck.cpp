// The decision whether a names download is the device's whole names memory, in place.
#include "device/NamesDownloadCheck.h"

#include <algorithm>

#include "device/NamesFields.h"

namespace r512::names_download {

Verdict Check(std::span<const std::uint8_t> arrived, bool lineWentQuiet) {
    // More than the memory is a moved image even when the read was cut: that is certain.
    if (arrived.size() > kImageSize) return Verdict::Overlong;
    if (arrived.empty()) return Verdict::NoReply;
    if (arrived.size() < kImageSize) return Verdict::Short;
    if (!lineWentQuiet) return Verdict::NotQuiet;
    names_fields::Image image;
    std::copy(arrived.begin(), arrived.end(), image.begin());
    return names_fields::IsValid(image) ? Verdict::Accepted : Verdict::InvalidBytes;
}

bool ShouldTryAgain(Verdict verdict) {
    return verdict == Verdict::Short || verdict == Verdict::Overlong ||
           verdict == Verdict::NotQuiet;
}

const char* Describe(Verdict verdict) {
    switch (verdict) {
        case Verdict::Accepted:
            return "accepted";
        case Verdict::NoReply:
            return "no reply";
        case Verdict::Short:
            return "short reply";
        case Verdict::Overlong:
            return "more bytes than the names memory: something came with it";
        case Verdict::NotQuiet:
            return "the line did not go quiet after the names memory";
        case Verdict::InvalidBytes:
            return "a name or message holds a byte the device can't store";
    }
    return "?";
}

}  // namespace r512::names_download
