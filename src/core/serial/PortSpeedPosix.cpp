// The kernel's termios2 interface is the only way to set a baud rate that is not one of the
// classic B-constants (the device wants 11520). Its header clashes with <termios.h>, so it is
// used in this file alone.
#include "serial/PortSpeedPosix.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace r512::posix {

bool ApplyLineSettings(int fd, const LineSettings& settings) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) return false;

    tio.c_iflag = IGNBRK;  // raw bytes: no translation, no software flow control
    tio.c_oflag = 0;
    tio.c_lflag = 0;
    tio.c_cflag &= ~(CBAUD | CIBAUD | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT);
    switch (settings.dataBits) {
        case 5:
            tio.c_cflag |= CS5;
            break;
        case 6:
            tio.c_cflag |= CS6;
            break;
        case 7:
            tio.c_cflag |= CS7;
            break;
        default:
            tio.c_cflag |= CS8;
            break;
    }
    switch (settings.parity) {
        case LineSettings::Parity::None:
            break;
        case LineSettings::Parity::Even:
            tio.c_cflag |= PARENB;
            break;
        case LineSettings::Parity::Odd:
            tio.c_cflag |= PARENB | PARODD;
            break;
        case LineSettings::Parity::Mark:
            tio.c_cflag |= PARENB | PARODD | CMSPAR;
            break;
        case LineSettings::Parity::Space:
            tio.c_cflag |= PARENB | CMSPAR;
            break;
    }
    if (settings.parity != LineSettings::Parity::None) tio.c_iflag |= INPCK;
    // Linux has no 1.5 stop bits; two is the nearest the hardware offers.
    if (settings.stopBits != LineSettings::StopBits::One) tio.c_cflag |= CSTOPB;
    tio.c_ispeed = settings.baud;
    tio.c_ospeed = settings.baud;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return ioctl(fd, TCSETS2, &tio) == 0;
}

bool ReadLineSpeed(int fd, std::uint32_t& outputBaud, std::uint32_t& inputBaud) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) return false;
    outputBaud = tio.c_ospeed;
    inputBaud = tio.c_ispeed;
    return true;
}

}  // namespace r512::posix
