#pragma once

#include <string>
#include <vector>

#include "mqtt/RegisterTopics.h"

namespace r512::mqtt {

// The topics of one bridge.
struct TopicNames {
    std::string prefix;  // the bridge's own topics: <prefix>/<leaf>, <prefix>/<leaf>/set
    std::string State(const std::string& leaf) const { return prefix + "/" + leaf; }
    std::string Command(const std::string& leaf) const { return prefix + "/" + leaf + "/set"; }
    std::string Availability() const { return prefix + "/availability"; }
    std::string Key() const { return prefix + "/key"; }
    std::string Refresh() const { return prefix + "/refresh"; }
    std::string DisplayLine(int line) const {
        return prefix + "/display/line" + std::to_string(line + 1);
    }
};

// What Home Assistant is told of the device.
struct DiscoveryContext {
    TopicNames topics;
    std::string discoveryPrefix;
    std::string nodeId;  // identifies the device and prefixes every entity's unique id
    std::string version;
    int maxVolume = 15;
    SourceNames names;
};

struct RetainedMessage {
    std::string topic;
    std::string payload;
};

// A node id for Home Assistant from a client id: letters, digits, "_" and "-" kept, every
// other byte "_".
std::string NodeIdOf(const std::string& clientId);

// One retained config message per entity: the switches, numbers, selects, sensors, binary
// sensors and the refresh button, each with its unique id, state and command topics, the
// device block and the availability topic.
std::vector<RetainedMessage> DiscoveryConfigs(const DiscoveryContext& context);

// The same topics with empty payloads: Home Assistant removes the entities.
std::vector<RetainedMessage> DiscoveryRemovals(const DiscoveryContext& context);

}  // namespace r512::mqtt
