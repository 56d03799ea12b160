#pragma once
// The real programs of an MQTT test: a mosquitto of the test's own on a free loopback port,
// r512-sim on a pseudo-terminal, r512-mqtt, and a subscriber that keeps the last message of
// every topic.
#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <mqtt/async_client.h>

namespace r512::test {

using namespace std::chrono_literals;

// A started program; killed and reaped on destruction if it still runs.
class Child {
public:
    // Starts argv[0] with the arguments; `stdinPipe` keeps a pipe to its standard input,
    // `stdoutFile` sends its standard output there.
    Child(const std::vector<std::string>& argv, bool stdinPipe = false,
          const std::string& stdoutFile = "/dev/null", const std::string& stderrFile = "");
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t Pid() const { return pid_; }
    void Signal(int signal) const;
    // The exit status once it has ended within `timeout`, -1 if it still runs.
    int Wait(std::chrono::milliseconds timeout);
    void WriteLine(const std::string& line) const;

private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    bool reaped_ = false;
};

// A scratch folder, removed with its files.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    void Write(const std::string& name, const std::string& text) const;

private:
    std::string path_;
};

int FreeLoopbackPort();
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
// Runs a command line through the shell; true when it exits 0.
bool RunShell(const std::string& command);

// mosquitto with the given extra configuration lines, on `port` of 127.0.0.1.
class Broker {
public:
    Broker(const ScratchDir& dir, int port, const std::string& extraConfig = "");
    int Port() const { return port_; }
    // Stops it (SIGTERM) and starts it again on the same port: its retained messages are gone.
    void Restart();
    void Stop();

private:
    void Start();
    const ScratchDir& dir_;
    int port_;
    std::string config_;
    std::unique_ptr<Child> process_;
};

// A subscriber to the bridge's and Home Assistant's topics; keeps the last payload of each
// topic and the order of the messages.
class Subscriber {
public:
    struct Options {
        std::string uri;
        std::string username;
        std::string password;
        std::string caFile;
    };
    explicit Subscriber(const Options& options);
    ~Subscriber();
    bool Connected() const;

    // The last payload of `topic` once it is `payload` (within `timeout`).
    bool WaitFor(const std::string& topic, const std::string& payload,
                 std::chrono::milliseconds timeout = 5s);
    bool WaitForTopic(const std::string& topic, std::chrono::milliseconds timeout = 5s);
    std::map<std::string, std::string> Snapshot();
    std::string Last(const std::string& topic);
    void Forget();  // forgets every payload seen so far
    void Publish(const std::string& topic, const std::string& payload);

private:
    std::unique_ptr<::mqtt::async_client> client_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::map<std::string, std::string> last_;
};

// r512-sim on a pseudo-terminal reached through a link in `dir`, or serving TCP on the
// loopback address (`port` is then its socket:// name); keys on its standard input.
struct Simulator {
    explicit Simulator(const ScratchDir& dir, bool tcp = false, double replugAfter = 1.0);
    std::string port;
    std::unique_ptr<Child> process;
};

}  // namespace r512::test
