#include <gtest/gtest.h>

#include "serial/LineDefinition.h"

namespace r512 {
namespace {

using Parity = LineSettings::Parity;
using Stop = LineSettings::StopBits;

TEST(LineDefinition, TheDevicesTwoLines) {
    LineSettings fast;
    ASSERT_TRUE(ParseLineDefinition("baud=11520 parity=N data=8 stop=1", fast));
    EXPECT_EQ(fast.baud, 11520u);  // not 115200, not 12000
    EXPECT_EQ(fast.parity, Parity::None);
    EXPECT_EQ(fast.dataBits, 8);
    EXPECT_EQ(fast.stopBits, Stop::One);

    LineSettings slow;
    ASSERT_TRUE(ParseLineDefinition("baud=9600 parity=N data=8 stop=1", slow));
    EXPECT_EQ(slow.baud, 9600u);
}

TEST(LineDefinition, OtherSettingsAndForms) {
    LineSettings s;
    ASSERT_TRUE(ParseLineDefinition("baud=19200 parity=e data=7 stop=2 xon=off dtr=on", s));
    EXPECT_EQ(s.baud, 19200u);
    EXPECT_EQ(s.parity, Parity::Even);
    EXPECT_EQ(s.dataBits, 7);
    EXPECT_EQ(s.stopBits, Stop::Two);

    ASSERT_TRUE(ParseLineDefinition("COM2: baud=96 parity=O stop=1.5", s));
    EXPECT_EQ(s.baud, 9600u);  // the mode command's two-digit abbreviation
    EXPECT_EQ(s.parity, Parity::Odd);
    EXPECT_EQ(s.dataBits, 7);  // not named: kept
    EXPECT_EQ(s.stopBits, Stop::OnePointFive);

    LineSettings old;
    ASSERT_TRUE(ParseLineDefinition("4800,m,6,2", old));
    EXPECT_EQ(old.baud, 4800u);
    EXPECT_EQ(old.parity, Parity::Mark);
    EXPECT_EQ(old.dataBits, 6);
    EXPECT_EQ(old.stopBits, Stop::Two);
}

TEST(LineDefinition, RefusesWhatNoPortCanDo) {
    for (const char* bad : {"", "   ", "baud=", "baud=0", "baud=abc", "parity=X", "data=9",
                            "data=4", "stop=3", "speed=9600", "baud=9600 nonsense",
                            "LPT1: baud=9600", "9600,n,8,1,q", "=5", "xon=maybe"}) {
        LineSettings s;
        EXPECT_FALSE(ParseLineDefinition(bad, s)) << '"' << bad << '"';
    }
}

}  // namespace
}  // namespace r512
