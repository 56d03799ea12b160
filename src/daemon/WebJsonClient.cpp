#include "daemon/WebJsonClient.h"

namespace r512::daemon {

WebJsonClient::WebJsonClient(JsonService& service, http::JsonMessageSink& socket,
                             const std::string& peer)
    : socket_(socket), session_(service.Attach(*this, "web " + peer)) {}

WebJsonClient::~WebJsonClient() { session_->Detach(); }

void WebJsonClient::Receive(std::string_view message) {
    // Kept alive through its own handling, as for a client on the JSON port.
    const std::shared_ptr<JsonSession> session = session_;
    session->Receive(message);
}

}  // namespace r512::daemon
