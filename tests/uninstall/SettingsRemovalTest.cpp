// The main program's settings in a registry sandbox.
#include <gtest/gtest.h>

#include "SettingsRemoval.h"
#include "support/RegistrySandbox.h"

namespace {

using namespace r512;

const std::string kApplication = "Software\\ZEL\\R512 Control Software";

class SettingsRemovalTest : public ::testing::Test {
protected:
    void SetUp() override {
        testkit::WriteText(registry.User(), kApplication + "\\Config", "Port", "COM1");
        testkit::WriteText(registry.User(), kApplication + "\\Position", "main.x", "10");
        testkit::WriteText(registry.User(), "Software\\Someone Else", "kept", "yes");
    }
    testkit::RegistrySandbox registry;
};

TEST_F(SettingsRemovalTest, RemovesSectionsApplicationAndEmptyMakerKey) {
    uninstall::RemoveSettings(registry.User());

    EXPECT_FALSE(testkit::KeyExists(registry.User(), kApplication));
    EXPECT_FALSE(testkit::KeyExists(registry.User(), "Software\\ZEL"));
    EXPECT_EQ(testkit::ReadText(registry.User(), "Software\\Someone Else", "kept"), "yes");
}

TEST_F(SettingsRemovalTest, TheMakerKeyStaysForAnotherProduct) {
    testkit::WriteText(registry.User(), "Software\\ZEL\\Other Product", "x", "1");
    uninstall::RemoveSettings(registry.User());

    EXPECT_FALSE(testkit::KeyExists(registry.User(), kApplication));
    EXPECT_TRUE(testkit::KeyExists(registry.User(), "Software\\ZEL\\Other Product"));
}

TEST_F(SettingsRemovalTest, AnUnknownSectionKeepsTheApplicationKey) {
    // Only "Config" and "Position" are the program's: a key with another subkey can't go.
    testkit::CreateKey(registry.User(), kApplication + "\\Unknown");
    uninstall::RemoveSettings(registry.User());

    EXPECT_FALSE(testkit::KeyExists(registry.User(), kApplication + "\\Config"));
    EXPECT_FALSE(testkit::KeyExists(registry.User(), kApplication + "\\Position"));
    EXPECT_TRUE(testkit::KeyExists(registry.User(), kApplication + "\\Unknown"));
    EXPECT_TRUE(testkit::KeyExists(registry.User(), "Software\\ZEL"));
}

TEST(SettingsRemoval, MissingKeysArePassedOver) {
    testkit::RegistrySandbox registry;
    uninstall::RemoveSettings(registry.User());  // nothing there: must simply return
    testkit::CreateKey(registry.User(), "Software\\ZEL");
    uninstall::RemoveSettings(registry.User());  // maker's key without the application's
    EXPECT_FALSE(testkit::KeyExists(registry.User(), "Software\\ZEL"));
    EXPECT_TRUE(testkit::KeyExists(registry.User(), "Software"));
}

}  // namespace
