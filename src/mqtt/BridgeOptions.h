#pragma once

#include <optional>
#include <string>
#include <vector>

namespace r512::mqtt {

// The command line of r512-mqtt.
struct BridgeOptions {
    std::optional<std::string> port;  // the desktop program's saved port when not given
    std::optional<int> speed;
    std::string broker = "mqtt://127.0.0.1:1883";
    std::string caFile;
    std::string username;
    std::string passwordFile;
    std::string clientId;  // the topic prefix's when not given
    std::string topicPrefix = "r512";
    std::string discoveryPrefix = "homeassistant";
    int maxVolume = 15;
    bool removeDiscovery = false;
    bool help = false;
    bool version = false;
};

// Reads the arguments (program name excluded); false with `error` set for an unknown option, a
// missing or malformed value. A settings file's lines may come first: "--option value" each.
bool ParseBridgeOptions(const std::vector<std::string>& args, BridgeOptions& options,
                        std::string* error);

// The broker's address for the MQTT library: mqtt://HOST:PORT is tcp://HOST:PORT, mqtts:// is
// ssl://; the port defaults to 1883 and 8883. Nothing for any other form.
std::optional<std::string> BrokerUri(const std::string& broker);
bool BrokerUsesTls(const std::string& broker);

// A topic prefix may not hold the wildcards + and #, nor be empty.
bool ValidTopicPrefix(const std::string& prefix);

std::string UsageText();

}  // namespace r512::mqtt
