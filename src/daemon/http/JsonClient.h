#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace r512::http {

// The seam between the WebSocket and r512d's JSON service: a WebSocket client is a JSON client
// like one on the daemon's JSON port, its text messages being the lines.

// Where the JSON service writes to one client: one JSON object per call, without a newline.
class JsonMessageSink {
public:
    virtual ~JsonMessageSink() = default;
    virtual void SendMessage(std::string message) = 0;
    // The client broke the protocol: its connection ends (not within this call).
    virtual void CloseConnection() = 0;
};

// One attached client of the JSON service. Destroying it detaches the client: no message goes
// to its sink after that.
class JsonClient {
public:
    virtual ~JsonClient() = default;
    virtual void Receive(std::string_view message) = 0;
};

// Attaches a client that writes to `sink` (which outlives the client) and is known in the
// daemon's log as `peer` ("127.0.0.1:53122").
using JsonClientFactory =
    std::function<std::unique_ptr<JsonClient>(JsonMessageSink& sink, const std::string& peer)>;

}  // namespace r512::http
