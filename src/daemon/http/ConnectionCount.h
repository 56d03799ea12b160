#pragma once

#include <memory>

namespace r512::http {

// How many connections the server holds, shared by the server and its sessions (which may
// outlive the server until the io_context lets go of them).
struct ConnectionCount {
    int open = 0;
};

// One connection's place in the count, held for as long as the connection lives.
class ConnectionSlot {
public:
    explicit ConnectionSlot(std::shared_ptr<ConnectionCount> count) : count_(std::move(count)) {
        ++count_->open;
    }
    ~ConnectionSlot() {
        if (count_) --count_->open;
    }
    ConnectionSlot(ConnectionSlot&& other) noexcept = default;  // the moved-from slot holds none
    ConnectionSlot& operator=(ConnectionSlot&&) = delete;
    ConnectionSlot(const ConnectionSlot&) = delete;
    ConnectionSlot& operator=(const ConnectionSlot&) = delete;

private:
    std::shared_ptr<ConnectionCount> count_;
};

}  // namespace r512::http
