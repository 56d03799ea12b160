#include "mqtt/Discovery.h"

#include <cctype>

#include "device/Protocol.h"
#include "device/RegisterJson.h"

namespace r512::mqtt {

namespace {

// One config object, written field by field.
class ConfigJson {
public:
    ConfigJson& Text(const char* key, const std::string& value) {
        return Raw(key, JsonQuote(value));
    }
    ConfigJson& Number(const char* key, int value) { return Raw(key, std::to_string(value)); }
    ConfigJson& List(const char* key, const std::vector<std::string>& values) {
        std::string list = "[";
        for (const std::string& value : values) {
            if (list.size() > 1) list += ',';
            list += JsonQuote(value);
        }
        return Raw(key, list + "]");
    }
    ConfigJson& Raw(const char* key, const std::string& json) {
        text_ += text_.empty() ? "{" : ",";
        text_ += JsonQuote(key) + ":" + json;
        return *this;
    }
    std::string Done() const { return text_ + "}"; }

private:
    std::string text_;
};

struct Entity {
    std::string component;
    std::string leaf;
    ConfigJson config;
};

std::string DeviceBlock(const DiscoveryContext& context) {
    return ConfigJson()
        .List("identifiers", {context.nodeId})
        .Text("name", "R512")
        .Text("model", "R512 surround processor")
        .Text("manufacturer", "ZEL")
        .Text("sw_version", context.version)
        .Done();
}

Entity Begin(const DiscoveryContext& context, const char* component, const std::string& leaf,
             const std::string& title) {
    Entity entity{component, leaf, {}};
    entity.config.Text("name", title)
        .Text("unique_id", context.nodeId + "_" + leaf)
        .Text("object_id", context.nodeId + "_" + leaf)
        .Text("availability_topic", context.topics.Availability())
        .Text("payload_available", "online")
        .Text("payload_not_available", "offline")
        .Raw("device", DeviceBlock(context));
    return entity;
}

Entity RegisterEntity(const DiscoveryContext& context, const RegisterTopic& topic) {
    const bool commanded = topic.target != nullptr;
    const char* component = "sensor";
    if (topic.kind == TopicKind::Switch) component = commanded ? "switch" : "binary_sensor";
    if (commanded && topic.kind == TopicKind::Level) component = "number";
    if (commanded && (topic.kind == TopicKind::Source || topic.kind == TopicKind::Choice))
        component = "select";
    Entity entity = Begin(context, component, topic.leaf, topic.title);
    entity.config.Text("state_topic", context.topics.State(topic.leaf));
    if (commanded) entity.config.Text("command_topic", context.topics.Command(topic.leaf));
    if (topic.kind == TopicKind::Switch)
        entity.config.Text("payload_on", "ON").Text("payload_off", "OFF");
    if (topic.kind == TopicKind::Level) {
        const bool volume = topic.code == RS_VOLUME || topic.code == RS_ZONE_VOLUME;
        entity.config.Text("unit_of_measurement", "dB");
        if (commanded) {
            entity.config.Number("min", volume ? -90 : -12)
                .Number("max", volume ? context.maxVolume : 12)
                .Number("step", 1)
                .Text("mode", "slider");
        }
    }
    if (topic.kind == TopicKind::Source && commanded) {
        entity.config.List("options", topic.code == RS_AUDIO_SOURCE
                                          ? SourceOptions(context.names)
                                          : ZoneSourceOptions(context.names));
    }
    if (topic.kind == TopicKind::Choice && commanded)
        entity.config.List("options", ChoiceOptions(topic));
    if (topic.kind == TopicKind::Number) entity.config.Text("entity_category", "diagnostic");
    return entity;
}

std::vector<Entity> Entities(const DiscoveryContext& context) {
    std::vector<Entity> entities;
    for (const RegisterTopic& topic : RegisterTopics())
        entities.push_back(RegisterEntity(context, topic));
    for (int line = 0; line < 2; ++line) {
        const std::string leaf = "display_line" + std::to_string(line + 1);
        Entity entity = Begin(context, "sensor", leaf, "Display line " + std::to_string(line + 1));
        entity.config.Text("state_topic", context.topics.DisplayLine(line));
        entities.push_back(std::move(entity));
    }
    Entity refresh = Begin(context, "button", "refresh", "Refresh");
    refresh.config.Text("command_topic", context.topics.Refresh()).Text("payload_press", "PRESS");
    entities.push_back(std::move(refresh));
    return entities;
}

std::string ConfigTopic(const DiscoveryContext& context, const Entity& entity) {
    return context.discoveryPrefix + "/" + entity.component + "/" + context.nodeId + "/" +
           entity.leaf + "/config";
}

}  // namespace

std::string NodeIdOf(const std::string& clientId) {
    std::string id;
    for (const char c : clientId) {
        const bool kept = std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '-';
        id += kept ? c : '_';
    }
    return id.empty() ? "r512" : id;
}

std::vector<RetainedMessage> DiscoveryConfigs(const DiscoveryContext& context) {
    std::vector<RetainedMessage> messages;
    for (const Entity& entity : Entities(context))
        messages.push_back({ConfigTopic(context, entity), entity.config.Done()});
    return messages;
}

std::vector<RetainedMessage> DiscoveryRemovals(const DiscoveryContext& context) {
    std::vector<RetainedMessage> messages = DiscoveryConfigs(context);
    for (RetainedMessage& message : messages) message.payload.clear();
    return messages;
}

}  // namespace r512::mqtt
