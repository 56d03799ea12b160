#include <gtest/gtest.h>

#include "CommandLineTail.h"

namespace {

using r512::uninstall::CommandLineTail;

TEST(CommandLineTail, FollowsAnUnquotedProgramName) {
    EXPECT_STREQ(CommandLineTail("C:\\TEMP\\R512UNINSTALL.EXE C:\\R512\\"), "C:\\R512\\");
}

TEST(CommandLineTail, SkipsAQuotedProgramNameWithSpacesWhole) {
    EXPECT_STREQ(CommandLineTail("\"C:\\Users\\Jo Smith\\Temp\\\\R512Uninstall.exe\" "
                                 "C:\\PROGRAM FILES\\ZEL\\R512\\"),
                 "C:\\PROGRAM FILES\\ZEL\\R512\\");
}

TEST(CommandLineTail, KeepsSpacesInsideTheTail) {
    EXPECT_STREQ(CommandLineTail("prog \t  A B  C\\"), "A B  C\\");
}

TEST(CommandLineTail, IsEmptyWithoutArguments) {
    EXPECT_STREQ(CommandLineTail("C:\\TEMP\\R512UNINSTALL.EXE"), "");
    EXPECT_STREQ(CommandLineTail("\"C:\\A B\\R512UNINSTALL.EXE\"   "), "");
    EXPECT_STREQ(CommandLineTail(""), "");
    EXPECT_STREQ(CommandLineTail("\"unterminated quote"), "");
}

}  // namespace
