// What the user sees of register values.
#include <gtest/gtest.h>

#include "device/Protocol.h"
#include "device/ValuePresentation.h"

namespace r512 {
namespace {

TEST(DisplayValue, OffsetsByRegister) {
    EXPECT_EQ(DisplayValue(100, RS_VOLUME), 0);
    EXPECT_EQ(DisplayValue(10, RS_VOLUME), -90);
    EXPECT_EQ(DisplayValue(115, RS_VOLUME), 15);
    EXPECT_EQ(DisplayValue(0, RS_VOLUME), -100);
    EXPECT_EQ(DisplayValue(100, RS_ZONE_VOLUME), 0);
    for (unsigned code = RS_TREBLE; code <= RS_SUBWOOFER; ++code) {
        EXPECT_EQ(DisplayValue(12, code), 0);
        EXPECT_EQ(DisplayValue(0, code), -12);
        EXPECT_EQ(DisplayValue(24, code), 12);
    }
    EXPECT_EQ(DisplayValue(255, RS_CENTER), 243);
    EXPECT_EQ(DisplayValue(50, RS_OPER_MODE), 50);
    EXPECT_EQ(DisplayValue(50, RS_TRIGGER1), 50);          // just past the levels
    EXPECT_EQ(DisplayValue(50, RS_VIDEO_INPUT_TYPE), 50);  // just before them
}

TEST(DisplayValue, OnlyTheLowEightBitsCount) {
    EXPECT_EQ(DisplayValue(0x100 + 100, RS_VOLUME), 0);
    EXPECT_EQ(DisplayValue(12, 0x100 + RS_BASS), 0);
    EXPECT_EQ(DisplayValue(0xFFFFFFFF, 0), 255);
}

TEST(SourceName, Sources) {
    const char* expected[] = {"",        "Video 1", "Video 2", "Video 3", "Video 4", "Video 5",
                              "Video 6", "CD",      "Aux",     "Tuner",   ""};
    for (unsigned v = 0; v <= 10; ++v) EXPECT_EQ(SourceName(v), expected[v]) << v;
    EXPECT_EQ(SourceName(64), "Ext 5.1");
    EXPECT_EQ(SourceName(63), "");
    EXPECT_EQ(SourceName(65), "");
    EXPECT_EQ(SourceName(255), "");
    EXPECT_EQ(SourceName(0x100 + 7), "CD");
}

TEST(ModeName, TableAndFallback) {
    const char* expected[16] = {"Stereo", "[] PL",   "Mode 2",  "Mode 3",  "Mode 4", "Mode 5",
                                "Mode 6", "Mono",    "Mode 8",  "Surr 6@", "Ears",   "Mode 11",
                                "Stereo", "Mode 13", "Mode 14", "Bypass"};
    for (unsigned v = 0; v < 16; ++v) EXPECT_EQ(ModeName(v), expected[v]) << v;
    EXPECT_EQ(ModeName(16), "Mode 16");
    EXPECT_EQ(ModeName(255), "Mode 255");
}

TEST(SignalTypeName, TableAndFallback) {
    const char* expected[9] = {"Type 0", "Zero Signal", "Digital PCM", "Dolby Digit.", "dts",
                               "MPEG",   "Noise",       "Analog",      "Digital Err."};
    for (unsigned v = 0; v < 9; ++v) EXPECT_EQ(SignalTypeName(v), expected[v]) << v;
    EXPECT_EQ(SignalTypeName(9), "Type 9");
}

TEST(InputAndVideoNames, TablesAndFallbacks) {
    const char* audio[6] = {"Analog",  "Coaxial",        "Optical", "RF demodulator (AC-3)",
                            "AES/EBU", "Balanced Analog"};
    for (unsigned v = 0; v < 6; ++v) EXPECT_EQ(AudioInputName(v), audio[v]);
    EXPECT_EQ(AudioInputName(6), "Type 6");

    EXPECT_EQ(VideoInputName(0), "Unknown/No Input Signal");
    EXPECT_EQ(VideoInputName(1), "Composite");
    EXPECT_EQ(VideoInputName(2), "S-Video");
    EXPECT_EQ(VideoInputName(3), "Type 3");

    EXPECT_EQ(TvSystemName(0), "Unknown");
    EXPECT_EQ(TvSystemName(1), "PAL");
    EXPECT_EQ(TvSystemName(2), "NTSC");
    EXPECT_EQ(TvSystemName(255), "Type 255");
}

}  // namespace
}  // namespace r512
