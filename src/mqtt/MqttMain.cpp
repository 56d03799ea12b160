// r512-mqtt: the R512 on an MQTT broker, with Home Assistant discovery, until SIGTERM or SIGINT.
#include <pthread.h>
#include <signal.h>

#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "mqtt/Bridge.h"

#ifndef R512_VERSION
#define R512_VERSION "0"
#endif

namespace {

// The password is the file's first line; a file that can't be read is an error, not an empty
// password.
bool ReadPassword(const std::string& path, std::string& password) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::getline(file, password);
    if (!password.empty() && password.back() == '\r') password.pop_back();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace r512::mqtt;
    const std::vector<std::string> args(argv + 1, argv + argc);
    BridgeOptions options;
    std::string error;
    if (!ParseBridgeOptions(args, options, &error)) {
        std::cerr << "r512-mqtt: " << error << std::endl;
        return 2;
    }
    if (options.help) {
        std::cout << UsageText();
        return 0;
    }
    if (options.version) {
        std::cout << "r512-mqtt " << R512_VERSION << std::endl;
        return 0;
    }
    std::string password;
    if (!options.passwordFile.empty() && !ReadPassword(options.passwordFile, password)) {
        std::cerr << "r512-mqtt: " << options.passwordFile << ": can't be read" << std::endl;
        return 2;
    }
    if (!options.caFile.empty() && !std::ifstream(options.caFile)) {
        std::cerr << "r512-mqtt: " << options.caFile << ": can't be read" << std::endl;
        return 2;
    }

    // The stop signals are taken by one thread of their own, blocked in every other (the MQTT
    // library's and the link's threads inherit the mask).
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    Bridge bridge(options, password);
    if (options.removeDiscovery) return bridge.RemoveDiscovery();
    std::thread([&bridge, signals] {
        int signal = 0;
        sigwait(&signals, &signal);
        bridge.Stop();
    }).detach();
    return bridge.Run();
}
