// The real r512-mqtt between the simulated device on a pseudo-terminal and a real mosquitto on
// the loopback address: discovery, state, commands, a lost device, a lost broker, a password, TLS.
#include <gtest/gtest.h>

#include <boost/json/src.hpp>
#include <fstream>
#include <iterator>
#include <set>

#include "mqtt/MqttHarness.h"

namespace r512::test {
namespace {

struct Bridge {
    Bridge(const ScratchDir& dir, const std::string& port, std::vector<std::string> extra)
        : dir_(dir) {
        std::vector<std::string> argv{R512_MQTT_PATH, "--port", port};
        argv.insert(argv.end(), extra.begin(), extra.end());
        process = std::make_unique<Child>(argv, false, "/dev/null", dir.File("bridge.log"));
    }
    std::string Log() const {
        std::ifstream file(dir_.File("bridge.log"));
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    const ScratchDir& dir_;
    std::unique_ptr<Child> process;
};

class MqttBridgeTest : public ::testing::Test {
protected:
    void Start(const std::string& brokerConfig = "", std::vector<std::string> bridgeArgs = {},
               Subscriber::Options subscriber = {}, bool tcp = false,
               const std::string& names = "") {
        if (port_ == 0) port_ = FreeLoopbackPort();
        broker_ = std::make_unique<Broker>(dir_, port_, brokerConfig);
        sim_ = std::make_unique<Simulator>(dir_, tcp);
        if (!names.empty()) {
            // The device's own names memory, written as the Names dialog would.
            dir_.Write("names.txt", names);
            ASSERT_TRUE(RunShell(std::string(R512CTL_PATH) + " --port " + sim_->port +
                                 " names set " + dir_.File("names.txt") + " >/dev/null"));
        }
        if (subscriber.uri.empty()) subscriber.uri = "tcp://127.0.0.1:" + std::to_string(port_);
        subscriber_ = std::make_unique<Subscriber>(subscriber);
        ASSERT_TRUE(subscriber_->Connected());
        if (bridgeArgs.empty())
            bridgeArgs = {"--broker", "mqtt://127.0.0.1:" + std::to_string(port_)};
        bridge_ = std::make_unique<Bridge>(dir_, sim_->port, bridgeArgs);
        ASSERT_TRUE(subscriber_->WaitFor("r512/availability", "online", 10s)) << bridge_->Log();
        ASSERT_TRUE(subscriber_->WaitFor("r512/volume", "-35")) << bridge_->Log();
    }

    std::map<std::string, boost::json::object> Configs() {
        std::map<std::string, boost::json::object> configs;
        for (const auto& [topic, payload] : subscriber_->Snapshot()) {
            if (topic.rfind("homeassistant/", 0) != 0 || payload.empty()) continue;
            boost::system::error_code error;
            const boost::json::value value = boost::json::parse(payload, error);
            EXPECT_FALSE(error) << topic << ": " << payload;
            if (!error && value.is_object()) configs[topic] = value.as_object();
        }
        return configs;
    }

    ScratchDir dir_;
    int port_ = 0;
    std::unique_ptr<Broker> broker_;
    std::unique_ptr<Simulator> sim_;
    std::unique_ptr<Subscriber> subscriber_;
    std::unique_ptr<Bridge> bridge_;
};

std::string Text(const boost::json::object& object, const char* key) {
    const auto* value = object.if_contains(key);
    return value != nullptr && value->is_string() ? std::string(value->as_string()) : "";
}

TEST_F(MqttBridgeTest, DiscoveryDescribesEveryEntityForHomeAssistant) {
    Start();
    ASSERT_TRUE(subscriber_->WaitForTopic("homeassistant/button/r512/refresh/config"));
    ASSERT_TRUE(subscriber_->WaitForTopic("r512/display/line2"));
    const auto configs = Configs();
    ASSERT_GE(configs.size(), 29u);
    std::set<std::string> uniqueIds;
    const auto snapshot = subscriber_->Snapshot();
    for (const auto& [topic, config] : configs) {
        SCOPED_TRACE(topic);
        const std::string component = topic.substr(14, topic.find('/', 14) - 14);
        EXPECT_TRUE(uniqueIds.insert(Text(config, "unique_id")).second);
        EXPECT_EQ(Text(config, "availability_topic"), "r512/availability");
        ASSERT_TRUE(config.contains("device"));
        const auto& device = config.at("device").as_object();
        EXPECT_EQ(device.at("identifiers").as_array().at(0).as_string(), "r512");
        EXPECT_FALSE(Text(device, "sw_version").empty());
        EXPECT_FALSE(Text(device, "model").empty());
        const bool commanded = component == "switch" || component == "number" ||
                               component == "select" || component == "button";
        EXPECT_EQ(config.contains("command_topic"), commanded);
        if (component != "button") {
            // Every state topic carries a retained state.
            EXPECT_TRUE(snapshot.count(Text(config, "state_topic"))) << Text(config, "state_topic");
        }
    }
    const auto& volume = configs.at("homeassistant/number/r512/volume/config");
    EXPECT_EQ(volume.at("max").as_int64(), 15);
    EXPECT_EQ(Text(volume, "unit_of_measurement"), "dB");
    const auto& source = configs.at("homeassistant/select/r512/source/config");
    EXPECT_EQ(source.at("options").as_array().size(), 10u);
    EXPECT_TRUE(configs.count("homeassistant/sensor/r512/display_line1/config"));
    EXPECT_TRUE(configs.count("homeassistant/select/r512/zone_source/config"));
}

TEST_F(MqttBridgeTest, CommandsMoveTheDeviceAndItsStateComesBack) {
    Start();
    struct Case {
        const char* topic;
        const char* payload;
        const char* stateTopic;
        const char* state;
    };
    const Case cases[] = {
        {"r512/volume/set", "-20.0", "r512/volume", "-20"},
        {"r512/volume/set", "-41", "r512/volume", "-41"},
        {"r512/mute/set", "ON", "r512/mute", "ON"},
        {"r512/mute/set", "OFF", "r512/mute", "OFF"},
        {"r512/source/set", "Tuner", "r512/source", "Tuner"},
        {"r512/source/set", "Ext 5.1", "r512/source", "Ext 5.1"},
        {"r512/mode/set", "Bypass", "r512/mode", "Bypass"},
        {"r512/zone_source/set", "Video 2", "r512/zone_source", "Video 2"},
        {"r512/zone_volume/set", "-25", "r512/zone_volume", "-25"},
        {"r512/treble/set", "3", "r512/treble", "3"},
        {"r512/subwoofer/set", "-2", "r512/subwoofer", "-2"},
        {"r512/late_night/set", "ON", "r512/late_night", "ON"},
        {"r512/key", "volume-down", "r512/volume", "-42"},
        {"r512/power/set", "OFF", "r512/power", "OFF"},
        {"r512/power/set", "ON", "r512/power", "ON"},
    };
    for (const Case& c : cases) {
        subscriber_->Publish(c.topic, c.payload);
        EXPECT_TRUE(subscriber_->WaitFor(c.stateTopic, c.state))
            << c.topic << " " << c.payload << ": " << subscriber_->Last(c.stateTopic) << "\n"
            << bridge_->Log();
    }
    // The display follows: the source's name on the top line.
    EXPECT_TRUE(WaitUntil(
        [&] { return subscriber_->Last("r512/display/line1").rfind("Ext 5.1", 0) == 0; }, 5s))
        << subscriber_->Last("r512/display/line1");
}

TEST_F(MqttBridgeTest, KeysOnTheDeviceItselfAreFollowed) {
    Start();
    sim_->process->WriteLine("volume-up");
    EXPECT_TRUE(subscriber_->WaitFor("r512/volume", "-34"));
    sim_->process->WriteLine("mute");
    EXPECT_TRUE(subscriber_->WaitFor("r512/mute", "ON"));
}

TEST_F(MqttBridgeTest, TheVolumeCapHolds) {
    Start();
    bridge_->process->Signal(SIGTERM);
    ASSERT_EQ(bridge_->process->Wait(5s), 0);
    subscriber_->Forget();
    bridge_ = std::make_unique<Bridge>(
        dir_, sim_->port,
        std::vector<std::string>{"--broker", "mqtt://127.0.0.1:" + std::to_string(port_),
                                 "--max-volume", "-30"});
    ASSERT_TRUE(subscriber_->WaitFor("r512/availability", "online", 10s)) << bridge_->Log();
    ASSERT_TRUE(subscriber_->WaitForTopic("homeassistant/number/r512/volume/config"));
    EXPECT_EQ(Configs().at("homeassistant/number/r512/volume/config").at("max").as_int64(), -30);
    subscriber_->Publish("r512/volume/set", "10");
    EXPECT_TRUE(subscriber_->WaitFor("r512/volume", "-30")) << subscriber_->Last("r512/volume");
    subscriber_->Publish("r512/key", "volume-up");
    subscriber_->Publish("r512/volume/set", "-31");
    EXPECT_TRUE(subscriber_->WaitFor("r512/volume", "-31")) << subscriber_->Last("r512/volume");
    EXPECT_NE(bridge_->Log().find("at the cap"), std::string::npos) << bridge_->Log();
}

TEST_F(MqttBridgeTest, TheDevicesOwnSourceNamesAreTheChoices) {
    Start("", {}, {}, false, "source-1 = \"DVD\"\nsource-8 = \"Phono\"\n");
    ASSERT_TRUE(subscriber_->WaitForTopic("homeassistant/select/r512/source/config"));
    const auto configs = Configs();
    const auto& options = configs.at("homeassistant/select/r512/source/config").at("options");
    EXPECT_EQ(options.as_array().at(0).as_string(), "DVD");
    EXPECT_EQ(options.as_array().at(7).as_string(), "Phono");
    EXPECT_EQ(options.as_array().at(9).as_string(), "Ext 5.1");
    subscriber_->Publish("r512/source/set", "Phono");
    EXPECT_TRUE(subscriber_->WaitFor("r512/source", "Phono")) << bridge_->Log();
    subscriber_->Publish("r512/zone_source/set", "DVD");
    EXPECT_TRUE(subscriber_->WaitFor("r512/zone_source", "DVD")) << bridge_->Log();
}

// The adapter pulled out and put back (a serial port), and the connection dropped by the
// other end (socket://, as when r512d restarts).
class MqttUnplugTest : public MqttBridgeTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MqttUnplugTest, AnUnpluggedDeviceIsOfflineUntilItIsBack) {
    Start("", {}, {}, GetParam());
    subscriber_->Forget();
    sim_->process->Signal(SIGUSR1);  // the adapter pulled out; back after a second
    EXPECT_TRUE(subscriber_->WaitFor("r512/availability", "offline", 5s)) << bridge_->Log();
    EXPECT_TRUE(subscriber_->WaitFor("r512/availability", "online", 10s)) << bridge_->Log();
    // Forgotten before the unplug: only a fresh report brings it back.
    EXPECT_TRUE(subscriber_->WaitFor("r512/volume", "-35"))
        << "no fresh state: " << subscriber_->Last("r512/volume") << "\n"
        << bridge_->Log();
}

INSTANTIATE_TEST_SUITE_P(Transports, MqttUnplugTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Socket" : "SerialPort"; });

TEST_F(MqttBridgeTest, ARestartedBrokerGetsTheRetainedStateAgain) {
    Start();
    broker_->Restart();
    subscriber_->Forget();
    EXPECT_TRUE(subscriber_->WaitFor("r512/availability", "online", 10s)) << bridge_->Log();
    EXPECT_TRUE(subscriber_->WaitFor("r512/volume", "-35"));
    EXPECT_TRUE(subscriber_->WaitForTopic("homeassistant/switch/r512/power/config"));
    // The retained state is on the broker itself: a new subscriber gets it.
    Subscriber late({"tcp://127.0.0.1:" + std::to_string(port_), "", "", ""});
    EXPECT_TRUE(late.WaitFor("r512/power", "ON"));
}

TEST_F(MqttBridgeTest, ABrokerThatComesLaterIsFoundWithBackOff) {
    port_ = FreeLoopbackPort();
    sim_ = std::make_unique<Simulator>(dir_);
    bridge_ = std::make_unique<Bridge>(
        dir_, sim_->port,
        std::vector<std::string>{"--broker", "mqtt://127.0.0.1:" + std::to_string(port_)});
    ASSERT_TRUE(
        WaitUntil([&] { return bridge_->Log().find("trying again") != std::string::npos; }, 5s))
        << bridge_->Log();
    broker_ = std::make_unique<Broker>(dir_, port_);
    subscriber_ = std::make_unique<Subscriber>(
        Subscriber::Options{"tcp://127.0.0.1:" + std::to_string(port_), "", "", ""});
    EXPECT_TRUE(subscriber_->WaitFor("r512/availability", "online", 10s)) << bridge_->Log();
    EXPECT_TRUE(subscriber_->WaitFor("r512/volume", "-35"));
}

TEST_F(MqttBridgeTest, APortThatAppearsLaterIsOpened) {
    port_ = FreeLoopbackPort();
    broker_ = std::make_unique<Broker>(dir_, port_);
    subscriber_ = std::make_unique<Subscriber>(
        Subscriber::Options{"tcp://127.0.0.1:" + std::to_string(port_), "", "", ""});
    // The adapter is not plugged in yet: the port's link does not exist.
    bridge_ = std::make_unique<Bridge>(
        dir_, dir_.File("tty"),
        std::vector<std::string>{"--broker", "mqtt://127.0.0.1:" + std::to_string(port_)});
    EXPECT_TRUE(subscriber_->WaitFor("r512/availability", "offline", 10s)) << bridge_->Log();
    sim_ = std::make_unique<Simulator>(dir_);
    EXPECT_TRUE(subscriber_->WaitFor("r512/availability", "online", 10s)) << bridge_->Log();
    EXPECT_TRUE(subscriber_->WaitFor("r512/volume", "-35"));
    // One message about the port, not one per retry.
    const std::string log = bridge_->Log();
    EXPECT_EQ(log.find("trying the port again"), log.rfind("trying the port again")) << log;
}

TEST_F(MqttBridgeTest, StopPublishesOfflineAndRemovalClearsTheEntities) {
    Start();
    bridge_->process->Signal(SIGTERM);
    EXPECT_EQ(bridge_->process->Wait(5s), 0);
    EXPECT_TRUE(subscriber_->WaitFor("r512/availability", "offline"));
    Child remove({R512_MQTT_PATH, "--broker", "mqtt://127.0.0.1:" + std::to_string(port_),
                  "--remove-discovery"});
    EXPECT_EQ(remove.Wait(10s), 0);
    EXPECT_TRUE(subscriber_->WaitFor("homeassistant/select/r512/source/config", ""));
    Subscriber late({"tcp://127.0.0.1:" + std::to_string(port_), "", "", ""});
    EXPECT_FALSE(late.WaitForTopic("homeassistant/select/r512/source/config", 500ms));
}

TEST_F(MqttBridgeTest, ABrokerWithAPassword) {
    ASSERT_TRUE(RunShell("mosquitto_passwd -b -c " + dir_.File("passwd") + " bridge s3cret"));
    dir_.Write("password", "s3cret\n");
    port_ = FreeLoopbackPort();
    const int port = port_;
    Start("allow_anonymous false\npassword_file " + dir_.File("passwd") + "\n",
          {"--broker", "mqtt://127.0.0.1:" + std::to_string(port), "--username", "bridge",
           "--password-file", dir_.File("password")},
          {"tcp://127.0.0.1:" + std::to_string(port), "bridge", "s3cret", ""});
    EXPECT_TRUE(subscriber_->WaitForTopic("homeassistant/switch/r512/power/config"));
    // A wrong password: refused, said so, and never online.
    dir_.Write("wrong", "nope\n");
    bridge_->process->Signal(SIGTERM);
    ASSERT_EQ(bridge_->process->Wait(5s), 0);
    bridge_ = std::make_unique<Bridge>(
        dir_, sim_->port,
        std::vector<std::string>{"--broker", "mqtt://127.0.0.1:" + std::to_string(port),
                                 "--username", "bridge", "--password-file", dir_.File("wrong")});
    EXPECT_TRUE(WaitUntil(
        [&] {
            return bridge_->Log().find("bad user name or password") != std::string::npos ||
                   bridge_->Log().find("not authorized") != std::string::npos;
        },
        5s))
        << bridge_->Log();
    EXPECT_EQ(subscriber_->Last("r512/availability"), "offline");
    // A password file that can't be read is an error at the start, not an empty password.
    Child unreadable({R512_MQTT_PATH, "--port", sim_->port, "--broker",
                      "mqtt://127.0.0.1:" + std::to_string(port), "--username", "bridge",
                      "--password-file", dir_.File("missing")});
    EXPECT_EQ(unreadable.Wait(5s), 2);
}

TEST_F(MqttBridgeTest, ABrokerWithTls) {
    const std::string d = dir_.Path();
    ASSERT_TRUE(
        RunShell("cd " + d +
                 " && openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.crt "
                 "-days 1 -subj /CN=r512-test-ca 2>/dev/null"
                 " && openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr "
                 "-subj /CN=127.0.0.1 2>/dev/null"
                 " && printf 'subjectAltName=IP:127.0.0.1\\n' > san.ext"
                 " && openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key "
                 "-CAcreateserial -out server.crt -days 1 -extfile san.ext 2>/dev/null"));
    const int tlsPort = FreeLoopbackPort();
    // A plain listener for the test's subscriber, a TLS one for the bridge.
    const std::string config = "allow_anonymous true\nlistener " + std::to_string(tlsPort) +
                               " 127.0.0.1\ncafile " + d + "/ca.crt\ncertfile " + d +
                               "/server.crt\nkeyfile " + d + "/server.key\n";
    port_ = FreeLoopbackPort();
    Start(config,
          {"--broker", "mqtts://127.0.0.1:" + std::to_string(tlsPort), "--ca-file", d + "/ca.crt"});
    EXPECT_TRUE(subscriber_->WaitForTopic("homeassistant/switch/r512/power/config"));
}

}  // namespace
}  // namespace r512::test
