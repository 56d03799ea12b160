// R512: the remote control program for the R512 surround processor.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "qt/RemoteApp.h"

namespace {

constexpr const char* kUsage =
    "usage: R512 [Qt options]\n"
    "Shows the R512's front panel and operates the device over its serial port (or\n"
    "socket://HOST:PORT), as chosen in Configure (right click on the panel's body).\n"
    "Settings: $XDG_CONFIG_HOME/ZEL/R512 Control Software.conf (~/.config by default).\n"
    "R512_TRACE=FILE in the environment writes a protocol trace.\n"
    "  -h, --help     this text\n"
    "  --version      the program's version\n"
    "See also: man R512, r512ctl --help.\n";

// --help and --version answer on standard output and end the program before any window system
// is asked for (so they work without a display too). Every other argument is left to Qt.
// `status`: 0, or 1 when the answer could not be written.
bool AnswerInfoOption(int argc, char** argv, int& status) {
    for (int i = 1; i < argc; ++i) {
        const char* text = nullptr;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) text = kUsage;
        if (std::strcmp(argv[i], "--version") == 0)
            text = "R512 Control Software " R512_VERSION "\n";
        if (text == nullptr) continue;
        status = std::fputs(text, stdout) < 0 || std::fflush(stdout) != 0 ? 1 : 0;
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    int status = 0;
    if (AnswerInfoOption(argc, argv, status)) return status;
    QApplication application(argc, argv);
    r512::RemoteApp remote;
    if (!remote.InitInstance()) return 0;
    return QApplication::exec();
}
