#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Messages.h"

namespace r512 {
namespace {

TEST(Messages, PortMessagesReachTheSinkWithTheirTexts) {
    std::vector<std::pair<int, std::string>> shown;
    SetMessageSink([&](int id, const std::string& text) { shown.emplace_back(id, text); });
    ShowMessage(1024);
    ShowMessage(1025);
    ShowMessage(1026);
    SetMessageSink(nullptr);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].first, 1024);
    EXPECT_EQ(shown[0].second,
              "Could not open serial port.\n\nPlease make sure the correct port is selected and "
              "that no other application is already using the port.");
    EXPECT_EQ(shown[1].second,
              "Could not configure serial port.\n\nYou may want to try using a different port.");
    EXPECT_EQ(shown[2].second, "Error creating communications thread.");
}

TEST(Messages, UnknownIdHasNoText) { EXPECT_STREQ(MessageText(999), ""); }

}  // namespace
}  // namespace r512
