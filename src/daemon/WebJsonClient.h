#pragma once

#include <memory>
#include <string>

#include "daemon/JsonService.h"
#include "http/JsonClient.h"

namespace r512::daemon {

// A WebSocket client of the web remote as a JSON client: each text message is one request line
// for the JSON service, each line of the service one text message.
class WebJsonClient final : public http::JsonClient, private JsonSink {
public:
    WebJsonClient(JsonService& service, http::JsonMessageSink& socket, const std::string& peer);
    ~WebJsonClient() override;

    void Receive(std::string_view message) override;

private:
    void Send(std::string line) override { socket_.SendMessage(std::move(line)); }
    void Close() override { socket_.CloseConnection(); }

    http::JsonMessageSink& socket_;
    std::shared_ptr<JsonSession> session_;
};

}  // namespace r512::daemon
