// R512: the remote control program for the R512 surround processor.
#include <QApplication>

#include "qt/RemoteApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    r512::RemoteApp remote;
    if (!remote.InitInstance()) return 0;
    return QApplication::exec();
}
