#include "mqtt/BridgeOptions.h"

#include "base/NumberText.h"

namespace r512::mqtt {

std::optional<std::string> BrokerUri(const std::string& broker) {
    const bool tls = BrokerUsesTls(broker);
    const std::string scheme = tls ? "mqtts://" : "mqtt://";
    if (broker.rfind(scheme, 0) != 0) return std::nullopt;
    std::string rest = broker.substr(scheme.size());
    if (!rest.empty() && rest.back() == '/') rest.pop_back();
    if (rest.empty() || rest.find_first_of("/?#@ ") != std::string::npos) return std::nullopt;
    const std::size_t colon = rest.rfind(':');
    const bool bracketed = rest.front() == '[';
    const bool hasPort = colon != std::string::npos && (!bracketed || rest[colon - 1] == ']');
    if (hasPort) {
        int port = 0;
        if (colon == 0 || !ParseIntInRange(rest.substr(colon + 1), 1, 65535, port))
            return std::nullopt;
    } else {
        rest += tls ? ":8883" : ":1883";
    }
    return (tls ? "ssl://" : "tcp://") + rest;
}

bool BrokerUsesTls(const std::string& broker) { return broker.rfind("mqtts://", 0) == 0; }

bool ValidTopicPrefix(const std::string& prefix) {
    return !prefix.empty() && prefix.find_first_of("+#") == std::string::npos &&
           prefix.front() != '/' && prefix.back() != '/';
}

bool ParseBridgeOptions(const std::vector<std::string>& args, BridgeOptions& options,
                        std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool inlineValue = false;
        if (const std::size_t equals = arg.find('=');
            arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
            inlineValue = true;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        if (arg == "--remove-discovery") {
            options.removeDiscovery = true;
            continue;
        }
        static const char* const kValued[] = {"--port",      "--speed",        "--broker",
                                              "--ca-file",   "--username",     "--password-file",
                                              "--client-id", "--topic-prefix", "--discovery-prefix",
                                              "--max-volume"};
        bool known = false;
        for (const char* name : kValued) known |= arg == name;
        if (!known) return fail("unknown option '" + arg + "' (see r512-mqtt --help)");
        if (!inlineValue) {
            if (i + 1 >= args.size()) return fail(arg + " needs a value");
            value = args[++i];
        }
        if (arg == "--port") {
            if (value.empty()) return fail("--port needs a port name");
            options.port = value;
        } else if (arg == "--speed") {
            int speed = 0;
            if (!ParseIntInRange(value, 9600, 9600, speed) &&
                !ParseIntInRange(value, 12000, 12000, speed))
                return fail("--speed is 12000 or 9600, not '" + value + "'");
            options.speed = speed;
        } else if (arg == "--broker") {
            if (!BrokerUri(value))
                return fail("--broker is mqtt://HOST:PORT or mqtts://HOST:PORT, not '" + value +
                            "'");
            options.broker = value;
        } else if (arg == "--ca-file") {
            options.caFile = value;
        } else if (arg == "--username") {
            options.username = value;
        } else if (arg == "--password-file") {
            options.passwordFile = value;
        } else if (arg == "--client-id") {
            if (value.empty()) return fail("--client-id may not be empty");
            options.clientId = value;
        } else if (arg == "--topic-prefix") {
            if (!ValidTopicPrefix(value))
                return fail("--topic-prefix '" + value + "' is no topic prefix");
            options.topicPrefix = value;
        } else if (arg == "--discovery-prefix") {
            if (!ValidTopicPrefix(value))
                return fail("--discovery-prefix '" + value + "' is no topic prefix");
            options.discoveryPrefix = value;
        } else if (arg == "--max-volume") {
            if (!ParseIntInRange(value, -90, 15, options.maxVolume))
                return fail("--max-volume is a number of dB from -90 to 15, not '" + value + "'");
        }
    }
    if (!options.caFile.empty() && !BrokerUsesTls(options.broker))
        return fail("--ca-file needs a broker mqtts://HOST:PORT");
    return true;
}

std::string UsageText() {
    return "usage: r512-mqtt [--port NAME] [--speed 12000|9600] [--broker mqtt://HOST:PORT]\n"
           "                 [--ca-file FILE] [--username NAME] [--password-file FILE]\n"
           "                 [--client-id ID] [--topic-prefix PREFIX]\n"
           "                 [--discovery-prefix PREFIX] [--max-volume DB] [--remove-discovery]\n"
           "Bridges the R512 to an MQTT broker: its registers as retained state under\n"
           "PREFIX (default r512), commands on PREFIX/<name>/set and PREFIX/key, the\n"
           "availability on PREFIX/availability, and Home Assistant discovery under the\n"
           "discovery prefix (default homeassistant). The port and speed default to the\n"
           "desktop program's saved ones; NAME may be socket://HOST:PORT (r512d).\n"
           "mqtts:// brokers are checked against --ca-file (else the system's CAs).\n"
           "--max-volume caps the main and second-zone volume (dB, default 15).\n"
           "--remove-discovery removes the Home Assistant entities and ends.\n";
}

}  // namespace r512::mqtt
