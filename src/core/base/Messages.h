#pragma once

#include <functional>
#include <string>

namespace r512 {

// The program's string table: the messages a user must see, by id.
enum MessageId : int {
    IDS_PORT_OPEN_FAILED = 1024,
    IDS_PORT_CONFIGURE_FAILED = 1025,
    IDS_THREAD_FAILED = 1026,
    IDS_FIRST_RUN = 1040,
    IDS_NAMES_READ_FAILED = 1041,
    IDS_NAMES_WRITE_FAILED = 1042,
    IDS_NAMES_CONNECTION_LOST = 1043,
};

// The text of a message id; empty for an id that the table doesn't hold.
const char* MessageText(int id);

// Shows a message to the user (an OK box in the program). Where it goes is set by the program
// with SetMessageSink; without a sink the text goes to standard error.
using MessageSink = std::function<void(int id, const std::string& text)>;
void SetMessageSink(MessageSink sink);
void ShowMessage(int id);

}  // namespace r512
