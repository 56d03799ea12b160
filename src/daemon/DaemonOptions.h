#pragma once

#include <optional>
#include <string>
#include <vector>

#include "daemon/Policy.h"

namespace r512::daemon {

// r512d's command line.
struct DaemonOptions {
    std::string port;  // empty: the desktop program's saved settings, as r512ctl reads them
    int speed = 0;     // 0: the saved one
    std::vector<std::string> listen;  // raw clients, HOST:PORT; none given: 127.0.0.1:5120
    std::vector<std::string> json;    // JSON clients, HOST:PORT
    // The web remote (HTTP and WebSocket at /ws) and the file holding its token.
    std::vector<std::string> http;
    std::string httpTokenFile;
    std::string trace;
    PolicySettings policy;
    bool help = false;
    bool version = false;
};

// False with `error` set (one line) for an option it does not know or a value it can't take.
bool ParseDaemonOptions(const std::vector<std::string>& args, DaemonOptions& options,
                        std::string* error);

std::string DaemonUsage();

// "HOST:PORT" or "[V6]:PORT" into its parts; false when it is neither.
bool SplitHostPort(const std::string& text, std::string& host, unsigned short& port);

}  // namespace r512::daemon
