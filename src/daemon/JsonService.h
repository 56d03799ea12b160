#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

#include "daemon/DeviceHub.h"

namespace r512::daemon {

// Where a JSON session's lines go: a TCP connection (one object a line) or a WebSocket (one
// object a text message). Called on the event loop's thread.
class JsonSink {
public:
    virtual ~JsonSink() = default;
    // One JSON object, without a line end.
    virtual void Send(std::string line) = 0;
    // The session ends the connection (a client that abuses the protocol).
    virtual void Close() = 0;
};

class JsonService;

// One JSON client: its requests, its replies and, after "watch", its events. The transport
// hands it every complete line (message) with Receive and calls Detach when the connection has
// gone; after Detach the session never touches its sink again.
class JsonSession final : public std::enable_shared_from_this<JsonSession>, private HubListener {
public:
    JsonSession(DeviceHub& hub, JsonSink& sink, std::string peer);
    ~JsonSession() override;

    void Receive(std::string_view line);
    void Detach();
    const std::string& Peer() const { return peer_; }

    // More requests than this within a second are answered with too-fast and not acted on.
    static constexpr int kRequestsPerSecond = 50;

private:
    void OnFrame(const RegisterFrame& frame) override;
    void OnLink(bool open) override;
    void OnDisplay(const std::string& top, const std::string& bottom) override;

    void Reply(const std::string& id, std::string body);
    void Error(const std::string& id, const char* word, const std::string& reason);
    std::string StatusBody() const;

    void DoKey(const std::string& id, const std::string& key, int repeat);
    void DoSet(const std::string& id, const std::string& target, const std::string& value);
    void DoNamesGet(const std::string& id);
    void DoNamesSet(const std::string& id, std::string fieldsJson);
    void Watch(bool on);

    DeviceHub& hub_;
    JsonSink* sink_;
    std::string peer_;
    bool watching_ = false;
    std::deque<std::chrono::steady_clock::time_point> recent_;

    friend class SetRun;
};

// The JSON protocol's one implementation, shared by every transport that carries it.
class JsonService {
public:
    explicit JsonService(DeviceHub& hub) : hub_(hub) {}
    std::shared_ptr<JsonSession> Attach(JsonSink& sink, std::string peer);

private:
    DeviceHub& hub_;
};

}  // namespace r512::daemon
