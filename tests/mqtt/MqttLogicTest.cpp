// What r512-mqtt makes of registers, commands, options and names, and the discovery configs.
#include <gtest/gtest.h>

#include <boost/json/src.hpp>
#include <set>

#include "device/Protocol.h"
#include "mqtt/BridgeOptions.h"
#include "mqtt/Discovery.h"
#include "mqtt/RegisterTopics.h"
#include "ui/SetPursuit.h"

namespace r512::test {
namespace {

using namespace r512::mqtt;

TEST(MqttTopics, StateIsWhatAUserReads) {
    struct Case {
        const char* leaf;
        std::uint8_t value;
        const char* payload;
    };
    const Case cases[] = {
        {"volume", 65, "-35"},     {"volume", 115, "15"},         {"zone_volume", 10, "-90"},
        {"bass", 15, "3"},         {"subwoofer", 0, "-12"},       {"mute", 2, "ON"},
        {"power", 0, "OFF"},       {"source", 7, "CD"},           {"source", 64, "Ext 5.1"},
        {"source", 0, "0"},        {"zone_source", 9, "Tuner"},   {"mode", 15, "Bypass"},
        {"thx", 2, "THX Surr EX"}, {"audio_format", 9, "Type 9"}, {"cineeq", 200, "200"},
    };
    const SourceNames names = FixedSourceNames();
    for (const Case& c : cases) {
        const RegisterTopic* topic = TopicOfLeaf(c.leaf);
        ASSERT_NE(topic, nullptr) << c.leaf;
        EXPECT_EQ(StatePayload(*topic, c.value, names), c.payload) << c.leaf << " " << int{c.value};
    }
}

TEST(MqttTopics, EveryRegisterHasOneTopic) {
    std::set<std::string> leaves;
    for (int code = kFirstRegister; code <= kLastRegister; ++code) {
        const RegisterTopic* topic = TopicOfCode(static_cast<std::uint8_t>(code));
        ASSERT_NE(topic, nullptr) << code;
        EXPECT_TRUE(leaves.insert(topic->leaf).second) << topic->leaf;
    }
}

TEST(MqttTopics, CommandsBecomeGoalsWithinTheCap) {
    struct Case {
        const char* leaf;
        const char* payload;
        int maxVolume;
        bool accepted;
        std::uint8_t value;  // the register byte aimed at
    };
    const Case cases[] = {
        {"volume", "-35.0", 15, true, 65},
        {"volume", " -20 ", 15, true, 80},
        {"volume", "10", -30, true, 70},
        {"zone_volume", "15", 0, true, 100},
        {"volume", "-95", 15, false, 0},
        {"volume", "loud", 15, false, 0},
        {"volume", "nan", 15, false, 0},
        {"treble", "12.4", 15, true, 24},
        {"mute", "ON", 15, true, 1},
        {"mute", "off", 15, true, 0},
        {"power", "maybe", 15, false, 0},
        {"source", "tuner", 15, true, 9},
        {"source", "Ext 5.1", 15, true, 64},
        {"source", "video-2", 15, true, 2},
        {"zone_source", "Ext 5.1", 15, false, 0},
        {"mode", "Bypass", 15, true, 15},
        {"thx", "THX Surr EX", 15, true, 2},
        {"audio_format", "PCM", 15, false, 0},
    };
    const SourceNames names = FixedSourceNames();
    for (const Case& c : cases) {
        SetGoal goal;
        std::string error;
        const bool accepted =
            CommandGoal(*TopicOfLeaf(c.leaf), c.payload, names, c.maxVolume, goal, &error);
        EXPECT_EQ(accepted, c.accepted) << c.leaf << " " << c.payload << ": " << error;
        if (accepted && c.accepted) {
            EXPECT_EQ(goal.value, c.value) << c.leaf << " " << c.payload;
        }
        if (!accepted) {
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(MqttTopics, TheDevicesOwnNamesChooseTheSource) {
    std::array<std::uint8_t, names_layout::kImageSize> image{};
    image.fill(' ');
    const char* const own[] = {"DVD", "", "DVD", "Sat", "Game", "PC", "CD", "Phono", "Radio"};
    for (int n = 0; n < 9; ++n) {
        std::copy(own[n], own[n] + std::strlen(own[n]),
                  image.begin() + names_layout::kSourceTableOffset + 7 * n);
    }
    const SourceNames names = SourceNamesFromImage(image);
    // An empty name and a second "DVD" keep their fixed names: every choice stays one source.
    const SourceNames expected = {"DVD", "Video 2", "Video 3", "Sat",  "Game",
                                  "PC",  "CD",      "Phono",   "Radio"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(StatePayload(*TopicOfLeaf("source"), 8, names), "Phono");
    SetGoal goal;
    ASSERT_TRUE(CommandGoal(*TopicOfLeaf("source"), "phono", names, 15, goal, nullptr));
    EXPECT_EQ(goal.value, 8);
    EXPECT_EQ(goal.key, cmd::kAux);
    ASSERT_TRUE(CommandGoal(*TopicOfLeaf("zone_source"), "Radio", names, 15, goal, nullptr));
    EXPECT_EQ(goal.value, 9);
}

TEST(MqttTopics, KeysByNameAndNoneAboveTheCap) {
    struct Case {
        const char* key;
        std::uint8_t volume, zoneVolume;
        int maxVolume;
        int code;  // -1: refused
    };
    const Case cases[] = {
        {"volume-up", 64, 64, -30, cmd::kVolumeUp},
        {"volume-up", 70, 64, -30, -1},
        {"VOLUME-DOWN", 115, 0, -30, cmd::kVolumeDown},
        {"zone-volume-up", 0, 70, -30, -1},
        {"no-such-key", 0, 0, 15, -1},
        {"knob-up", 70, 0, -30, -1},
        {"knob-up", 69, 0, -30, cmd::kKnobUp},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto code = KeyCommand(c.key, c.volume, c.zoneVolume, c.maxVolume, &error);
        EXPECT_EQ(code ? int{*code} : -1, c.code) << c.key << ": " << error;
    }
}

TEST(MqttTopics, DisplayLinesInPlainText) {
    EXPECT_EQ(DisplayPayload("CD      []Digital   "), "CD      DDDigital");
    char zeros[21] = "Tuner";
    EXPECT_EQ(DisplayPayload(zeros), "Tuner");
    EXPECT_EQ(DisplayPayload("Surround 6@         "), "Surround 6.1");
}

TEST(MqttOptions, BrokersAndOptions) {
    struct Case {
        const char* broker;
        const char* uri;  // "" for refused
    };
    const Case brokers[] = {
        {"mqtt://127.0.0.1:1884", "tcp://127.0.0.1:1884"},
        {"mqtt://broker", "tcp://broker:1883"},
        {"mqtts://broker", "ssl://broker:8883"},
        {"mqtt://[::1]:1883", "tcp://[::1]:1883"},
        {"tcp://broker:1883", ""},
        {"mqtt://broker:0", ""},
        {"mqtt://user@broker", ""},
        {"mqtt://", ""},
    };
    for (const Case& c : brokers) EXPECT_EQ(BrokerUri(c.broker).value_or(""), c.uri) << c.broker;

    struct Args {
        std::vector<std::string> args;
        bool accepted;
    };
    const Args lines[] = {
        {{"--port", "socket://127.0.0.1:4001", "--max-volume", "-20"}, true},
        {{"--max-volume=16"}, false},
        {{"--speed", "9600"}, true},
        {{"--speed", "4800"}, false},
        {{"--topic-prefix", "house/r512"}, true},
        {{"--topic-prefix", "r512/#"}, false},
        {{"--ca-file", "ca.crt"}, false},  // only with mqtts://
        {{"--broker", "mqtts://b", "--ca-file", "ca.crt"}, true},
        {{"--port"}, false},
        {{"--bogus"}, false},
    };
    for (const Args& line : lines) {
        BridgeOptions options;
        std::string error;
        EXPECT_EQ(ParseBridgeOptions(line.args, options, &error), line.accepted)
            << line.args.front() << ": " << error;
    }
}

TEST(MqttDiscovery, ConfigsAreJsonWithWhatHomeAssistantNeeds) {
    DiscoveryContext context{{"house/r512"},    "homeassistant", NodeIdOf("house/r512"), "1.0", -10,
                             FixedSourceNames()};
    const auto configs = DiscoveryConfigs(context);
    std::set<std::string> ids;
    for (const RetainedMessage& message : configs) {
        SCOPED_TRACE(message.topic);
        const boost::json::object config = boost::json::parse(message.payload).as_object();
        EXPECT_TRUE(ids.insert(std::string(config.at("unique_id").as_string())).second);
        EXPECT_EQ(config.at("availability_topic").as_string(), "house/r512/availability");
        EXPECT_EQ(message.topic.rfind("homeassistant/", 0), 0u);
        EXPECT_NE(message.topic.find("/house_r512/"), std::string::npos);
        if (config.contains("options")) {
            EXPECT_FALSE(config.at("options").as_array().empty());
        }
    }
    EXPECT_EQ(configs.size(), RegisterTopics().size() + 3);
    const auto removals = DiscoveryRemovals(context);
    ASSERT_EQ(removals.size(), configs.size());
    for (std::size_t i = 0; i < removals.size(); ++i) {
        EXPECT_EQ(removals[i].topic, configs[i].topic);
        EXPECT_TRUE(removals[i].payload.empty());
    }
}

TEST(SetPursuit, FollowsTheReportsToTheGoal) {
    using Step = SetPursuit::Step;
    const auto now = SetPursuit::Clock::now();
    struct Case {
        const char* what;
        const char* value;
        std::uint8_t from;
        std::vector<std::uint8_t> reports;  // the register's byte in each report
        Step last;                          // after the last report, or Expired with `expire`
        int keys;
        bool expire;
    };
    const Case cases[] = {
        {"volume", "-33", 65, {66, 67}, Step::Reached, 2, false},
        {"volume", "-35", 65, {}, Step::Reached, 0, false},
        // A refresh's answer repeats the value: no second key for it.
        {"subwoofer", "-2", 12, {12, 11, 11, 10}, Step::Reached, 2, false},
        {"mute", "on", 0, {0}, Step::Wait, 1, false},
        {"mute", "on", 0, {1}, Step::Reached, 1, false},
        {"zone-source", "cd", 5, {6, 7}, Step::Reached, 2, false},
        // At the end of its range the device reports the key and stays.
        {"volume", "15", 114, {114}, Step::Failed, 1, true},
        {"source", "tuner", 7, {7}, Step::Failed, 1, true},
    };
    for (const Case& c : cases) {
        SetGoal goal;
        ASSERT_EQ(ParseSetGoal(c.what, c.value, goal), SetProblem::None);
        SetPursuit pursuit;
        Step step = pursuit.Start(goal, c.from, now);
        int keys = step == Step::SendKey ? 1 : 0;
        for (const std::uint8_t report : c.reports) {
            if (step != Step::SendKey && step != Step::Wait) break;
            step = pursuit.Report(report, now);
            if (step == Step::SendKey) ++keys;
        }
        if (c.expire) step = pursuit.Expired();
        EXPECT_EQ(step, c.last) << c.what << " " << c.value << ": " << pursuit.Failure();
        EXPECT_EQ(keys, c.keys) << c.what << " " << c.value;
        if (c.last == Step::Failed) {
            EXPECT_NE(pursuit.Failure().find("does not move"), std::string::npos);
        }
    }
}

TEST(SetPursuit, ASilentDeviceEndsThePursuit) {
    SetGoal goal;
    ASSERT_EQ(ParseSetGoal("volume", "0", goal), SetProblem::None);
    SetPursuit pursuit;
    const auto now = SetPursuit::Clock::now();
    ASSERT_EQ(pursuit.Start(goal, 90, now), SetPursuit::Step::SendKey);
    EXPECT_EQ(pursuit.ReportDeadline(), now + SetPursuit::kReportWait);
    EXPECT_EQ(pursuit.Expired(), SetPursuit::Step::Failed);
    EXPECT_NE(pursuit.Failure().find("volume-up"), std::string::npos) << pursuit.Failure();
}

}  // namespace
}  // namespace r512::test
