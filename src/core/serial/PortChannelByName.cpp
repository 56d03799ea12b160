#include "serial/PortChannelByName.h"

#include "serial/PortChannelSocket.h"
#include "serial/SocketPortName.h"

namespace r512 {

PortChannelByName::PortChannelByName()
    : serial_(PortChannel::CreateForPlatform()),
      socket_(std::make_unique<PortChannelSocket>()),
      active_(serial_.get()) {}

PortChannel::OpenStatus PortChannelByName::Open(const char* portName, const char* lineDefinition,
                                                const CommTimeouts& timeouts) {
    // The link opens only a closed channel (it closes the old port first), so the one that
    // served the last port has nothing left to release.
    active_->Close();
    active_ = IsSocketPortName(portName != nullptr ? portName : "") ? socket_.get() : serial_.get();
    return active_->Open(portName, lineDefinition, timeouts);
}

std::unique_ptr<PortChannel> CreatePortChannel() { return std::make_unique<PortChannelByName>(); }

}  // namespace r512
