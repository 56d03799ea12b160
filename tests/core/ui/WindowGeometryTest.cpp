// Where the windows open, what the pointer hits, and the skin's palette.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/MemoryProfile.h"
#include "ui/HotSpotTable.h"
#include "ui/SkinPalette.h"
#include "ui/WindowPlacement.h"

namespace r512 {
namespace {

// The first run centres a window horizontally on the primary and puts it some fifteenths of the
// free height down (the division first, truncating toward 0): the remote window 1, the Control
// Panel 13. No clamping: a desktop smaller than the window gives negative places.
TEST(WindowPlacement, FirstRunCentresNearTheTopOrNearTheBottom) {
    const struct {
        const char* row;
        PlacedWindow window;
        WindowSize size;
        Rect desktop;
        WindowPosition expected;
    } kRows[] = {
        // (1024 - 775) / 2 = 124, (768 - 168) / 15 = 40.
        {"remote window", PlacedWindow::Remote, {775, 168}, {0, 0, 1024, 768}, {124, 40}},
        // 600 / 15 = 40, x 13.
        {"Control Panel", PlacedWindow::ControlPanel, {300, 168}, {0, 0, 1024, 768}, {362, 520}},
        {"desktop smaller than the window",
         PlacedWindow::Remote,
         {775, 168},
         {0, 0, 700, 150},
         {-37, -1}},
        {"primary not at the origin",
         PlacedWindow::ControlPanel,
         {300, 168},
         {100, 50, 1124, 818},
         {462, 570}},
    };
    for (const auto& row : kRows) {
        // Whatever corner it holds: the first run does not look at it.
        const StoredPlacement stored{row.window, true, {500, 500}};
        const WindowPosition at = PlaceOnMonitors(stored, row.size, {row.desktop});
        EXPECT_EQ(at.x, row.expected.x) << row.row;
        EXPECT_EQ(at.y, row.expected.y) << row.row;
    }
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
// left on, pulled back to lie on it; a monitor that is gone hands it to the nearest one, and the
// first run stays on the primary (listed first).
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
        {"where it was left", {primary}, true, 100, 200, {100, 200}},
        {"beyond a smaller desktop", {primary}, true, 1800, 1100, {249, 600}},
        {"desktop smaller than the window", {{0, 0, 640, 100}}, true, 50, 50, {0, 0}},
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
        const StoredPlacement stored{PlacedWindow::Remote, !row.configured, {row.x, row.y}};
        const WindowPosition at = PlaceOnMonitors(stored, {775, 168}, row.areas);
        EXPECT_EQ(at.x, row.expected.x) << row.layout;
        EXPECT_EQ(at.y, row.expected.y) << row.layout;
    }
}

// What each window reads from the profile: its own corner only once the program is configured
// (a missing value is -1), the Control Panel's "control.visible" also on the first run.
TEST(WindowPlacement, LoadReadsTheWindowsOwnKeys) {
    const struct {
        const char* row;
        std::map<std::string, int> stored;
        PlacedWindow window;
        StoredPlacement expected;
    } kRows[] = {
        {"first run: no corner",
         {{"Position/main.x", 5}},
         PlacedWindow::Remote,
         {PlacedWindow::Remote, true, {-1, -1}, true}},
        {"first run: visibility read",
         {{"Position/control.x", 5}, {"Position/control.visible", 1}},
         PlacedWindow::ControlPanel,
         {PlacedWindow::ControlPanel, true, {-1, -1}, true}},
        {"panel never stored",
         {{"Config/Configured", 1}},
         PlacedWindow::ControlPanel,
         {PlacedWindow::ControlPanel, false, {-1, -1}, false}},
        {"main window's keys",
         {{"Config/Configured", 1},
          {"Position/main.x", 12},
          {"Position/main.y", 7},
          {"Position/control.x", 99},
          {"Position/control.y", 98}},
         PlacedWindow::Remote,
         {PlacedWindow::Remote, false, {12, 7}, true}},
        {"panel's keys, no y",
         {{"Config/Configured", 1},
          {"Position/main.x", 12},
          {"Position/control.x", 33},
          {"Position/control.visible", 1}},
         PlacedWindow::ControlPanel,
         {PlacedWindow::ControlPanel, false, {33, -1}, true}},
    };
    for (const auto& row : kRows) {
        test::MemoryProfile profile;
        profile.ints = row.stored;
        const StoredPlacement loaded = LoadPlacement(profile, row.window);
        EXPECT_EQ(loaded.window, row.expected.window) << row.row;
        EXPECT_EQ(loaded.firstRun, row.expected.firstRun) << row.row;
        EXPECT_EQ(loaded.corner.x, row.expected.corner.x) << row.row;
        EXPECT_EQ(loaded.corner.y, row.expected.corner.y) << row.row;
        EXPECT_EQ(loaded.visible, row.expected.visible) << row.row;
    }
}

// Each window writes its own keys, the visibility only the Control Panel; the next start reads
// what was stored.
TEST(WindowPlacement, SaveWritesTheWindowsOwnKeysForTheNextStart) {
    test::MemoryProfile profile;
    profile.ints = {{"Config/Configured", 1}};
    SavePlacement(profile, PlacedWindow::Remote, {-300, 25}, false);
    SavePlacement(profile, PlacedWindow::ControlPanel, {40, 600}, false);
    EXPECT_EQ(profile.ints, (std::map<std::string, int>{{"Config/Configured", 1},
                                                        {"Position/main.x", -300},
                                                        {"Position/main.y", 25},
                                                        {"Position/control.x", 40},
                                                        {"Position/control.y", 600},
                                                        {"Position/control.visible", 0}}));
    SavePlacement(profile, PlacedWindow::ControlPanel, {41, 601}, true);
    const StoredPlacement panel = LoadPlacement(profile, PlacedWindow::ControlPanel);
    EXPECT_EQ(panel.corner.x, 41);
    EXPECT_EQ(panel.corner.y, 601);
    EXPECT_TRUE(panel.visible);
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
