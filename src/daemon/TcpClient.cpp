#include "daemon/TcpClient.h"

#include <iostream>

#include <boost/asio/write.hpp>

namespace r512::daemon {

TcpClient::TcpClient(boost::asio::ip::tcp::socket socket, std::string tag, std::size_t queueLimit)
    : socket_(std::move(socket)), tag_(std::move(tag)), queueLimit_(queueLimit) {}

void TcpClient::Start(ClosedHandler closed) {
    closedHandler_ = std::move(closed);
    boost::system::error_code ec;
    socket_.set_option(boost::asio::ip::tcp::no_delay(true), ec);
    ReadMore();
}

void TcpClient::ReadMore() {
    auto self = shared_from_this();
    socket_.async_read_some(boost::asio::buffer(input_),
                            [this, self](const boost::system::error_code& ec, std::size_t n) {
                                if (closed_) return;
                                if (ec) {
                                    Disconnect("");
                                    return;
                                }
                                OnBytes(input_.data(), n);
                                if (!closed_) ReadMore();
                            });
}

void TcpClient::Write(std::string bytes) {
    if (closed_ || bytes.empty()) return;
    queued_ += bytes.size();
    if (queued_ > queueLimit_) {
        Disconnect("does not read what it is sent (" + std::to_string(queued_) +
                   " bytes waiting): disconnected");
        return;
    }
    queue_.push_back(std::move(bytes));
    if (writing_.empty()) WriteMore();
}

void TcpClient::WriteMore() {
    if (closed_ || queue_.empty()) return;
    // Everything waiting goes out in one write.
    std::vector<boost::asio::const_buffer> buffers;
    while (!queue_.empty()) {
        writing_.push_back(std::move(queue_.front()));
        queue_.pop_front();
    }
    buffers.reserve(writing_.size());
    for (const std::string& piece : writing_) buffers.emplace_back(piece.data(), piece.size());
    auto self = shared_from_this();
    boost::asio::async_write(socket_, buffers,
                             [this, self](const boost::system::error_code& ec, std::size_t n) {
                                 if (closed_) return;
                                 if (ec) {
                                     Disconnect("");
                                     return;
                                 }
                                 queued_ -= n;
                                 writing_.clear();
                                 WriteMore();
                             });
}

void TcpClient::Disconnect(const std::string& why) {
    if (closed_) return;
    closed_ = true;
    if (!why.empty()) std::cerr << "r512d: " << tag_ << " " << why << std::endl;
    boost::system::error_code ec;
    socket_.shutdown(boost::asio::ip::tcp::socket::shutdown_both, ec);
    socket_.close(ec);
    queue_.clear();
    OnClosed();
    if (closedHandler_) {
        ClosedHandler handler = std::move(closedHandler_);
        handler(*this);
    }
}

}  // namespace r512::daemon
