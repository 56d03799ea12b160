// libFuzzer target for the receive path: any byte stream, cut into reads of any length, through
// the link's notices to ProcessReceived and the register mirror. The property is
// ReceiveStreamCheck's; a memory fault is the sanitizers' to report.
#include <cstdio>
#include <cstdlib>

#include "core/device/ReceiveStreamCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = r512::test::ReceiveStreamCheck::Run(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "receive stream property: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
