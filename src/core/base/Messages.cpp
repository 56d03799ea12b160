#include "base/Messages.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace r512 {

namespace {

struct Entry {
    int id;
    const char* text;
};

// The texts stand as the program has always shown them, spelling included.
constexpr Entry kStringTable[] = {
    {IDS_PORT_OPEN_FAILED,
     "Could not open serial port.\n\nPlease make sure the correct port is selected and that no "
     "other application is already using the port."},
    {IDS_PORT_CONFIGURE_FAILED,
     "Could not configure serial port.\n\nYou may want to try using a different port."},
    {IDS_THREAD_FAILED, "Error creating communications thread."},
    {IDS_FIRST_RUN,
     "Since this is the first time the R512 Control Software has been run on this PC, the "
     "Program Configuration window will be opened to allow you to select the port the R512 is "
     "connected to.\n\nTo return to the configuration window at a later time, right click on "
     "any unused silver portion of the window and choose \"Configure\"."},
    {IDS_NAMES_READ_FAILED, "Could not retreive the current names from the R512."},
    {IDS_NAMES_WRITE_FAILED,
     "Could not update names.\n\nThe names may contain invalid characters."},
    // Added for an upload cut short by a failed port, in the voice of the others.
    {IDS_NAMES_CONNECTION_LOST,
     "Could not update names.\n\nThe connection to the R512 was lost while the names were "
     "being written. Please make sure the R512 is connected and switched on, then try again."},
};

std::mutex& SinkLock() {
    static std::mutex lock;
    return lock;
}

MessageSink& Sink() {
    static MessageSink sink;
    return sink;
}

}  // namespace

const char* MessageText(int id) {
    for (const Entry& entry : kStringTable) {
        if (entry.id == id) return entry.text;
    }
    return "";
}

void SetMessageSink(MessageSink sink) {
    std::lock_guard<std::mutex> guard(SinkLock());
    Sink() = std::move(sink);
}

void ShowMessage(int id) {
    MessageSink sink;
    {
        std::lock_guard<std::mutex> guard(SinkLock());
        sink = Sink();
    }
    const std::string text = MessageText(id);
    if (sink) {
        sink(id, text);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

}  // namespace r512
