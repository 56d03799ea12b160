// Where the windows open, what the pointer hits, and the skin's palette.
#include <gtest/gtest.h>

#include "ui/HotSpotTable.h"
#include "ui/SkinPalette.h"
#include "ui/WindowPlacement.h"

namespace r512 {
namespace {

TEST(WindowPlacement, FirstRunCentresNearTheTop) {
    // 1024 x 768: (1024 - 775) / 2 = 124, (768 - 168) / 15 = 40.
    const WindowPosition main = PlaceWindow(false, 500, 500, 775, 168, 1024, 768, 1);
    EXPECT_EQ(main.x, 124);
    EXPECT_EQ(main.y, 40);
    // The Control Panel: thirteen fifteenths, the division first (600 / 15 = 40, x 13).
    const WindowPosition panel = PlaceWindow(false, 0, 0, 300, 168, 1024, 768, 13);
    EXPECT_EQ(panel.x, 362);
    EXPECT_EQ(panel.y, 520);
    // A desktop smaller than the window: no clamping on the first run, truncation toward 0.
    const WindowPosition tiny = PlaceWindow(false, 0, 0, 775, 168, 700, 150, 1);
    EXPECT_EQ(tiny.x, -37);
    EXPECT_EQ(tiny.y, -1);
}

TEST(WindowPlacement, StoredPositionsArePulledOntoTheDesktop) {
    EXPECT_EQ(PlaceWindow(true, 100, 200, 775, 168, 1024, 768, 1).x, 100);
    EXPECT_EQ(PlaceWindow(true, 100, 200, 775, 168, 1024, 768, 1).y, 200);
    // Never stored: -1 becomes 0, the top-left corner.
    EXPECT_EQ(PlaceWindow(true, -1, -1, 775, 168, 1024, 768, 1).x, 0);
    EXPECT_EQ(PlaceWindow(true, -1, -1, 775, 168, 1024, 768, 1).y, 0);
    // Beyond the desktop after a change of resolution: pulled back to lie fully on it.
    const WindowPosition far = PlaceWindow(true, 1800, 1100, 775, 168, 1024, 768, 1);
    EXPECT_EQ(far.x, 249);
    EXPECT_EQ(far.y, 600);
    // A desktop smaller than the window: the upper bound first, then 0.
    const WindowPosition small = PlaceWindow(true, 50, 50, 775, 168, 640, 100, 1);
    EXPECT_EQ(small.x, 0);
    EXPECT_EQ(small.y, 0);
}

TEST(HotSpots, TableOrderNamesAndCodes) {
    const auto& spots = HotSpots();
    const char* names[13] = {
        "Standy Toggle", "Audio",      "Video", "Tape Monitor", "Multi Source", "Speakers", "Delay",
        "Levels",        "Brightness", "Tone",  "Mode",         "Control -",    "Control +"};
    const std::uint8_t codes[13] = {0x06, 0x74, 0x75, 0x1A, 0x76, 0x60, 0x19,
                                    0x18, 0x79, 0x73, 0x77, 0x16, 0x15};
    for (int i = 0; i < 13; ++i) {
        EXPECT_STREQ(spots[static_cast<std::size_t>(i)].name, names[i]);
        EXPECT_EQ(spots[static_cast<std::size_t>(i)].code, codes[i]);
        EXPECT_EQ(spots[static_cast<std::size_t>(i)].repeat, i >= 11);
    }
}

TEST(HotSpots, CentresHitTheirButtonAndCornersOfTheBoxDoNot) {
    const auto& spots = HotSpots();
    for (int i = 0; i <= 10; ++i) {
        const Rect& box = spots[static_cast<std::size_t>(i)].region.ellipse;
        const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
        EXPECT_EQ(HitHotSpot(cx, cy), i) << spots[static_cast<std::size_t>(i)].name;
        EXPECT_EQ(HitHotSpot(box.left, box.top), -1);  // outside the ellipse
        EXPECT_EQ(HitHotSpot(box.right, cy), -1);      // right edge excluded
        EXPECT_EQ(HitHotSpot(box.left, cy), i);        // left edge included
        EXPECT_EQ(HitHotSpot(box.right - 1, cy), i);
    }
}

TEST(HotSpots, TheKnobsMiddleStripIsBody) {
    for (int y = 60; y <= 110; y += 10) {
        EXPECT_EQ(HitHotSpot(679, y), 11) << y;
        EXPECT_EQ(HitHotSpot(680, y), -1) << y;
        EXPECT_EQ(HitHotSpot(681, y), -1) << y;
        EXPECT_EQ(HitHotSpot(682, y), 12) << y;
    }
    EXPECT_EQ(HitHotSpot(648, 85), 11);  // left rim
    EXPECT_EQ(HitHotSpot(714, 85), 12);  // right rim
    EXPECT_EQ(HitHotSpot(650, 55), -1);  // the box's corner, outside the circle
    EXPECT_EQ(HitHotSpot(681, 51), -1);
    EXPECT_EQ(HitHotSpot(10, 10), -1);  // plain panel
}

TEST(CaptionButtons, RectanglesExcludeRightAndBottom) {
    EXPECT_EQ(HitCaptionButton(721, 4), 0);
    EXPECT_EQ(HitCaptionButton(735, 18), 0);
    EXPECT_EQ(HitCaptionButton(736, 10), -1);
    EXPECT_EQ(HitCaptionButton(760, 19), -1);
    EXPECT_EQ(HitCaptionButton(755, 4), 1);
    EXPECT_STREQ(CaptionButtons()[0].name, "Minimize");
    EXPECT_STREQ(CaptionButtons()[1].name, "Close");
}

TEST(SkinPalette, EightBitSkinGetsExactlyItsOwnColours) {
    std::vector<PaletteColour> table(256);
    for (int i = 0; i < 256; ++i)
        table[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), 7,
                                              static_cast<std::uint8_t>(255 - i)};
    const SkinPalette full = BuildSkinPalette(8, 0, table);  // 0 colours used: 2^8
    EXPECT_FALSE(full.halftone);
    EXPECT_EQ(full.colours, table);
    const SkinPalette used = BuildSkinPalette(8, 16, table);
    ASSERT_EQ(used.colours.size(), 16u);
    EXPECT_EQ(used.colours[15], table[15]);
    const SkinPalette four = BuildSkinPalette(4, 0, table);
    EXPECT_EQ(four.colours.size(), 16u);
}

// A stored position among monitor layouts: the window (775 x 168) reopens on the monitor it was
// left on, a monitor that is gone hands it to the nearest one, and the first run stays on the
// primary (listed first).
TEST(WindowPlacement, StoredPositionReopensOnItsMonitorOrTheNearest) {
    const Rect primary{0, 0, 1024, 768};
    const Rect primaryWork{0, 0, 1024, 728};  // a task bar 40 high at the bottom
    const Rect right{1024, 0, 2304, 1024};    // a second monitor to the right
    const Rect left{-1280, -200, 0, 824};     // one to the left, above the primary's top
    const Rect topBar{1024, 30, 2304, 1024};  // the right one with a bar at its top
    const struct {
        const char* layout;
        std::vector<Rect> areas;
        bool configured;
        int x, y;
        WindowPosition expected;
    } kRows[] = {
        {"on the second monitor", {primary, right}, true, 1500, 700, {1500, 700}},
        {"across the seam, mostly right", {primary, right}, true, 1000, 100, {1024, 100}},
        {"across the seam, mostly left", {primary, right}, true, 500, 100, {249, 100}},
        {"below the second monitor's edge", {primary, right}, true, 2000, 1100, {1529, 856}},
        {"second monitor gone", {primary}, true, 1500, 700, {249, 600}},
        {"left monitor, negative place", {primary, left}, true, -900, -150, {-900, -150}},
        {"left monitor, beyond its corner", {primary, left}, true, -1400, -400, {-1280, -200}},
        {"left monitor gone", {primary, right}, true, -900, -150, {0, 0}},
        {"never stored: the primary's corner", {primaryWork, right}, true, -1, -1, {0, 0}},
        {"off every monitor, nearest is right", {primary, right}, true, 2500, 300, {1529, 300}},
        {"under the primary's task bar", {primaryWork, right}, true, 100, 700, {100, 560}},
        {"above the right monitor's top bar", {primary, topBar}, true, 1200, 0, {1200, 30}},
        {"first run on the primary", {right, primary}, false, 10, 10, {1276, 57}},
        {"no monitor reported", {}, true, 300, 40, {0, 0}},
    };
    for (const auto& row : kRows) {
        const WindowPosition at =
            PlaceWindowOnMonitors(row.configured, row.x, row.y, 775, 168, row.areas, 1);
        EXPECT_EQ(at.x, row.expected.x) << row.layout;
        EXPECT_EQ(at.y, row.expected.y) << row.layout;
    }
}

TEST(SkinPalette, DeeperSkinsGetTheHalftonePalette) {
    for (int bits : {16, 24, 32}) {
        const SkinPalette p = BuildSkinPalette(bits, 0, {});
        EXPECT_TRUE(p.halftone) << bits;
        EXPECT_TRUE(p.colours.empty());
    }
    EXPECT_TRUE(BuildSkinPalette(8, 300, {}).halftone);
    // A table shorter than it claims yields what it has.
    EXPECT_EQ(BuildSkinPalette(8, 0, std::vector<PaletteColour>(10)).colours.size(), 10u);
}

}  // namespace
}  // namespace r512
