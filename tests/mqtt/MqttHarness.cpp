#include "mqtt/MqttHarness.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace r512::test {

Child::Child(const std::vector<std::string>& argv, bool stdinPipe, const std::string& stdoutFile,
             const std::string& stderrFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipeEnds[2] = {-1, -1};
    if (stdinPipe) {
        if (pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, stdoutFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!stderrFile.empty())
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, stderrFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    // The child starts with no signal blocked, whatever the test's threads do.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const int failed = posix_spawn(&pid_, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (stdinPipe) {
        close(pipeEnds[0]);
        stdin_ = pipeEnds[1];
    }
    if (failed != 0) throw std::runtime_error("can't start " + argv[0]);
}

Child::~Child() {
    if (stdin_ >= 0) close(stdin_);
    if (Wait(0ms) < 0) {
        Signal(SIGKILL);
        Wait(5s);
    }
}

void Child::Signal(int signal) const {
    if (!reaped_) kill(pid_, signal);
}

int Child::Wait(std::chrono::milliseconds timeout) {
    if (reaped_) return 0;
    const auto until = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            reaped_ = true;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= until) return -1;
        std::this_thread::sleep_for(10ms);
    }
}

void Child::WriteLine(const std::string& line) const {
    const std::string text = line + "\n";
    if (write(stdin_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        throw std::runtime_error("write to child");
}

ScratchDir::ScratchDir() {
    char pattern[] = "/tmp/r512-mqtt-test-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp");
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void ScratchDir::Write(const std::string& name, const std::string& text) const {
    std::ofstream(File(name), std::ios::binary) << text;
}

int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

bool RunShell(const std::string& command) { return std::system(command.c_str()) == 0; }

namespace {

bool Accepts(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

}  // namespace

Broker::Broker(const ScratchDir& dir, int port, const std::string& extraConfig)
    : dir_(dir), port_(port) {
    config_ = dir.File("mosquitto-" + std::to_string(port) + ".conf");
    std::ofstream(config_) << "listener " << port << " 127.0.0.1\n"
                           << "persistence false\n"
                           << (extraConfig.empty() ? "allow_anonymous true\n" : extraConfig);
    Start();
}

void Broker::Start() {
    // mosquitto started by root runs as its own user, which must read the test's files.
    std::filesystem::permissions(
        dir_.Path(),
        std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
            std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
        std::filesystem::perm_options::add);
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::others_read,
                                     std::filesystem::perm_options::add);
    }
    process_ =
        std::make_unique<Child>(std::vector<std::string>{"/usr/sbin/mosquitto", "-c", config_},
                                false, "/dev/null", dir_.File("mosquitto.log"));
    if (!WaitUntil([&] { return Accepts(port_); }, 5s)) {
        std::ifstream log(dir_.File("mosquitto.log"));
        throw std::runtime_error("mosquitto did not start: " +
                                 std::string(std::istreambuf_iterator<char>(log), {}));
    }
}

void Broker::Stop() {
    if (!process_) return;
    process_->Signal(SIGTERM);
    process_->Wait(5s);
    process_.reset();
}

void Broker::Restart() {
    Stop();
    Start();
}

Subscriber::Subscriber(const Options& options) {
    client_ = std::make_unique<::mqtt::async_client>(options.uri,
                                                     "test-subscriber-" + std::to_string(getpid()));
    client_->set_message_callback([this](::mqtt::const_message_ptr message) {
        std::lock_guard<std::mutex> guard(lock_);
        last_[message->get_topic()] = message->to_string();
        changed_.notify_all();
    });
    auto connect = ::mqtt::connect_options_builder().clean_session(true).automatic_reconnect(
        std::chrono::milliseconds(100), std::chrono::milliseconds(500));
    if (!options.username.empty()) connect.user_name(options.username).password(options.password);
    if (!options.caFile.empty())
        connect.ssl(::mqtt::ssl_options_builder().trust_store(options.caFile).finalize());
    // Subscriptions again after each reconnect (a restarted broker forgets them).
    client_->set_connected_handler([this](const std::string&) { client_->subscribe("#", 1); });
    client_->connect(connect.finalize())->wait_for(5s);
}

Subscriber::~Subscriber() {
    try {
        client_->disconnect()->wait_for(2s);
    } catch (const ::mqtt::exception&) {
    }
}

bool Subscriber::Connected() const { return client_->is_connected(); }

bool Subscriber::WaitFor(const std::string& topic, const std::string& payload,
                         std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, timeout, [&] {
        auto found = last_.find(topic);
        return found != last_.end() && found->second == payload;
    });
}

bool Subscriber::WaitForTopic(const std::string& topic, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, timeout, [&] { return last_.count(topic) != 0; });
}

std::map<std::string, std::string> Subscriber::Snapshot() {
    std::lock_guard<std::mutex> guard(lock_);
    return last_;
}

std::string Subscriber::Last(const std::string& topic) {
    std::lock_guard<std::mutex> guard(lock_);
    auto found = last_.find(topic);
    return found == last_.end() ? "<none>" : found->second;
}

void Subscriber::Forget() {
    std::lock_guard<std::mutex> guard(lock_);
    last_.clear();
}

void Subscriber::Publish(const std::string& topic, const std::string& payload) {
    client_->publish(topic, payload.data(), payload.size(), 1, false)->wait_for(2s);
}

Simulator::Simulator(const ScratchDir& dir, bool tcp, double replugAfter) {
    std::vector<std::string> argv{R512_SIM_PATH, "--replug-after", std::to_string(replugAfter)};
    if (tcp) {
        argv.insert(argv.end(), {"--tcp", "127.0.0.1:0"});
    } else {
        port = dir.File("tty");
        argv.insert(argv.end(), {"--link", port});
    }
    process = std::make_unique<Child>(argv, true, dir.File("sim.out"), dir.File("sim.log"));
    // The simulator prints its port's name when it is ready.
    const bool ready = WaitUntil(
        [&] {
            std::ifstream out(dir.File("sim.out"));
            std::string line;
            if (!std::getline(out, line) || out.eof()) return false;
            if (tcp) port = line;
            return true;
        },
        5s);
    if (!ready) throw std::runtime_error("r512-sim did not start");
}

}  // namespace r512::test
