// R512.exe: the remote control program for the R512 surround processor, on Windows.
#include <windows.h>

#include "win32/RemoteApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    r512::RemoteApp app(instance);
    if (!app.InitInstance()) return 0;
    return app.Run();
}
