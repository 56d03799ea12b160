// r512ctl's names commands when the device reports a register during every download: nothing
// moved is printed or written back; the command fails as for any failed download.
#include <gtest/gtest.h>

#include "ctl/CtlFixture.h"
#include "ctl/ExitCode.h"

namespace r512::test {
namespace {

class CtlNamesDownload : public CtlTest {};

TEST_P(CtlNamesDownload, AReportWithEveryReplyIsNeitherPrintedNorWrittenBack) {
    const std::vector<std::uint8_t> memory = device->NamesMemory();
    for (int at : {0, 512, 1024}) {
        sim::Faults faults;
        faults.namesReportAt = at;
        device->SetFaults(faults);
        const Result get = Run({"names", "get"});
        EXPECT_EQ(get.status, ctl::kExitNotDone) << at;
        EXPECT_EQ(get.out, "") << at;
        EXPECT_EQ(get.err, "r512ctl: Could not retreive the current names from the R512.\n") << at;

        const Result set = Run({"names", "set", "-"}, "source-7 = \"Phono\"\n");
        EXPECT_EQ(set.status, ctl::kExitNotDone) << at;
        EXPECT_EQ(device->UploadsAccepted() + device->UploadsRefused(), 0) << at;
        EXPECT_EQ(device->NamesMemory(), memory) << at;
    }
    // Once the device is quiet again, the names come whole.
    device->SetFaults({});
    const Result get = Run({"names", "get"});
    ASSERT_EQ(get.status, ctl::kExitOk) << get.err;
    EXPECT_EQ(get.out.substr(0, 22), "source-1 = \"Video 1\"\ns");
}

INSTANTIATE_TEST_SUITE_P(Transports, CtlNamesDownload, ::testing::Bool(), TransportName);

}  // namespace
}  // namespace r512::test
