#include "daemon/DaemonOptions.h"

#include <charconv>

namespace r512::daemon {

namespace {

bool ParseInt(const std::string& text, int low, int high, int& out) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < low || value > high) return false;
    out = value;
    return true;
}

}  // namespace

bool SplitHostPort(const std::string& text, std::string& host, unsigned short& port) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    int number = 0;
    if (!ParseInt(text.substr(colon + 1), 0, 65535, number)) return false;
    port = static_cast<unsigned short>(number);
    return !host.empty();
}

std::string DaemonUsage() {
    return "usage: r512d [--port NAME] [--speed 12000|9600] [--listen HOST:PORT]...\n"
           "             [--json HOST:PORT]... [--http HOST:PORT]... [--http-token-file FILE]\n"
           "             [--max-volume DB] [--max-zone-volume DB] [--max-clients N]\n"
           "             [--allow CIDR]... [--client-queue BYTES] [--trace FILE]\n"
           "Owns the R512's port and shares it: raw clients (the desktop programs and r512ctl\n"
           "with socket://HOST:PORT) on --listen, default 127.0.0.1:5120; JSON clients, one\n"
           "object a line, on --json. The port and speed default to the desktop program's\n"
           "saved settings. Without --allow only loopback addresses may connect.\n"
           "--http serves the web remote (a page and its WebSocket at /ws); on an address\n"
           "other than loopback it needs --http-token-file.\n";
}

bool ParseDaemonOptions(const std::vector<std::string>& args, DaemonOptions& options,
                        std::string* error) {
    auto fail = [&](const std::string& what) {
        if (error) *error = what;
        return false;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        if (i + 1 >= args.size()) return fail("unknown option or missing value: " + arg);
        const std::string& value = args[++i];
        std::string host;
        unsigned short port = 0;
        int number = 0;
        if (arg == "--port") {
            options.port = value;
        } else if (arg == "--speed") {
            if (!ParseInt(value, 0, 1000000, number) || (number != 12000 && number != 9600))
                return fail("--speed takes 12000 or 9600");
            options.speed = number;
        } else if (arg == "--listen" || arg == "--json" || arg == "--http") {
            if (!SplitHostPort(value, host, port))
                return fail(arg + " takes HOST:PORT, e.g. 127.0.0.1:5120");
            (arg == "--listen" ? options.listen
             : arg == "--json" ? options.json
                               : options.http)
                .push_back(value);
        } else if (arg == "--http-token-file") {
            options.httpTokenFile = value;
        } else if (arg == "--max-volume" || arg == "--max-zone-volume") {
            if (!ParseInt(value, -90, 15, number))
                return fail(arg + " takes a level in dB from -90 to 15");
            (arg == "--max-volume" ? options.policy.maxVolume : options.policy.maxZoneVolume) =
                number;
        } else if (arg == "--max-clients") {
            if (!ParseInt(value, 1, 10000, number))
                return fail("--max-clients takes a number from 1 to 10000");
            options.policy.maxClients = number;
        } else if (arg == "--client-queue") {
            if (!ParseInt(value, 1024, 64 * 1024 * 1024, number))
                return fail("--client-queue takes a number of bytes from 1024 to 67108864");
            options.policy.outputQueueBytes = static_cast<std::size_t>(number);
        } else if (arg == "--allow") {
            options.policy.allow.push_back(value);
        } else if (arg == "--trace") {
            options.trace = value;
        } else {
            return fail("unknown option: " + arg);
        }
    }
    if (options.listen.empty()) options.listen.push_back("127.0.0.1:5120");
    return true;
}

}  // namespace r512::daemon
