// r512d: owns the R512's port and serves every client at once. See Daemon.h for the places
// where the web remote plugs in, and README.md beside this file for the layout.
#include <iostream>
#include <string>
#include <vector>

#include "base/Messages.h"
#include "ctl/SavedPort.h"
#include "daemon/Daemon.h"

int main(int argc, char** argv) {
    using namespace r512;
    std::vector<std::string> args(argv + 1, argv + argc);
    daemon::DaemonOptions options;
    std::string error;
    if (!daemon::ParseDaemonOptions(args, options, &error)) {
        std::cerr << "r512d: " << error << "\n" << daemon::DaemonUsage();
        return 2;
    }
    if (options.help) {
        std::cout << daemon::DaemonUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "r512d 1.0\n";
        return 0;
    }
    // What the core would show in a message box goes to the log.
    SetMessageSink([](int, const std::string& text) {
        std::string line = text;
        for (char& c : line) c = c == '\n' ? ' ' : c;
        std::cerr << "r512d: " << line << std::endl;
    });
    daemon::DeviceHub::Port port;
    const ctl::SavedPort saved = ctl::ReadSavedPort();
    port.name = options.port.empty() ? saved.port : options.port;
    port.speed = options.speed != 0 ? options.speed : saved.speed;
    std::cerr << "r512d: port " << port.name << " at " << port.speed << std::endl;
    daemon::Daemon daemon(options, port);
    return daemon.Run();
}
