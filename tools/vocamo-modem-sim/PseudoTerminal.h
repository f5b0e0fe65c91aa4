#pragma once

#include <string>

namespace vocamo {

// A pseudo-terminal in raw mode standing in for a modem's serial port: the
// program opens `path`, the modem's side reads and writes `master`
// (non-blocking). The slave is held open too, which keeps the master
// readable while no program has the port open, as a real modem stays
// powered between uses.
struct PseudoTerminal {
    int master = -1;
    int slave = -1;
    std::string path;
};

// False (with every descriptor closed) when the system has no pty to give.
bool OpenPseudoTerminal(PseudoTerminal &pty);
void ClosePseudoTerminal(PseudoTerminal &pty);

} // namespace vocamo
