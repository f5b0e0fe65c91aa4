#include "tools/vocamo-modem-sim/PseudoTerminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace vocamo {

bool OpenPseudoTerminal(PseudoTerminal &pty)
{
    pty.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (pty.master < 0 || ::grantpt(pty.master) != 0 || ::unlockpt(pty.master) != 0 ||
        ::ptsname_r(pty.master, name, sizeof name) != 0) {
        ClosePseudoTerminal(pty);
        return false;
    }
    pty.slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.slave < 0) {
        ClosePseudoTerminal(pty);
        return false;
    }
    pty.path = name;
    termios tio{};
    ::tcgetattr(pty.slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(pty.slave, TCSANOW, &tio);
    ::fcntl(pty.master, F_SETFL, ::fcntl(pty.master, F_GETFL) | O_NONBLOCK);
    return true;
}

void ClosePseudoTerminal(PseudoTerminal &pty)
{
    for (int *fd : {&pty.master, &pty.slave}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

} // namespace vocamo
