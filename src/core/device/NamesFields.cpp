#include "device/NamesFields.h"

#include <algorithm>

namespace r512::names_fields {

namespace {

constexpr int kMessagesEnd = names_layout::kStandbyOffset + names_layout::kMessageLength;  // 480
constexpr int kSourceTableEnd =
    names_layout::kSourceTableOffset + names_layout::kSourceTableLength;  // 814

template <typename Check>
bool AllBytes(const Image& image, int begin, int end, Check check) {
    return std::all_of(image.begin() + begin, image.begin() + end, check);
}

}  // namespace

Texts FromImage(const Image& image) {
    Texts texts;
    for (int i = 0; i < kCount; ++i) {
        const Field& f = kFields[static_cast<std::size_t>(i)];
        texts[static_cast<std::size_t>(i)].assign(image.begin() + f.offset,
                                                  image.begin() + f.offset + f.width);
    }
    return texts;
}

void ToImage(const Texts& texts, Image& image) {
    for (int i = 0; i < kCount; ++i) {
        const Field& f = kFields[static_cast<std::size_t>(i)];
        const std::string& text = texts[static_cast<std::size_t>(i)];
        const int copied = std::min(static_cast<int>(text.size()), f.width);
        auto at = std::copy_n(text.begin(), copied, image.begin() + f.offset);
        std::fill_n(at, f.width - copied, std::uint8_t{0});
    }
    auto spaceForZero = [&](int begin, int end) {
        std::replace(image.begin() + begin, image.begin() + end, std::uint8_t{0},
                     std::uint8_t{' '});
    };
    spaceForZero(names_layout::kSourceTableOffset, kSourceTableEnd);
    spaceForZero(names_layout::kWelcomeOffset, kMessagesEnd);
}

bool IsValid(const Image& image) {
    return AllBytes(image, names_layout::kSourceTableOffset, kSourceTableEnd, IsValidByte) &&
           AllBytes(image, names_layout::kWelcomeOffset, kMessagesEnd, IsValidByte);
}

const Texts& Defaults() {
    static const Texts texts = {
        "Video 1",   "Video 2", "Video 3", "Video 4",      "Video 5",          "Video 6",
        "CD",        "Aux",     "Tuner",   "   ZEL R-512", "Digital Surround", "To Infinity and",
        "beyond...",
    };
    return texts;
}

}  // namespace r512::names_fields
