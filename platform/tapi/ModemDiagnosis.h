#pragma once

#include "platform/tapi/ModemTimeouts.h"

#include <string>
#include <vector>

namespace vocamo {

// What is behind a candidate port, as far as the program can tell.
enum class ModemVerdict {
    Missing,          // no such device
    NotSerial,        // a folder, a plain file, /dev/null
    PermissionDenied, // the user may not open it
    Busy,             // another program holds it
    OpenFailed,       // any other reason it cannot be opened
    NoAnswer,         // opened, but nothing answered ATZ in time
    DataOnly,         // a modem without voice mode
    Voice,            // a voice modem: a phone line
};

struct ModemDiagnosis {
    std::string port;
    ModemVerdict verdict = ModemVerdict::Missing;
    bool speakerphone = false;
    std::string callerIdCommand; // the command that switched caller ID on, when asked
    std::string words;           // the verdict in a few words: "permission denied"
    std::string hint;            // what the user may do about it, or empty

    bool Opened() const { return verdict >= ModemVerdict::NoAnswer; }
    bool IsVoice() const { return verdict == ModemVerdict::Voice; }
    // "port: words; hint", for a terminal.
    std::string Line() const;
};

// Opens the port and asks it what it is: ATZ, ATE0, AT+FCLASS=?, and for a
// voice modem AT+FCLASS=8, AT+VLS=? (and with askCallerId, AT+VCID=1 or
// AT#CID=1), then AT+FCLASS=0. Each command waits at most timeouts.probe,
// the whole dialogue at most twice that.
ModemDiagnosis DiagnosePort(const std::string &path, const ModemTimeouts &timeouts = {},
                            bool askCallerId = true);

// The verdict for a port that could not be opened with that errno.
ModemDiagnosis OpenFailure(const std::string &path, int error);

// What the display says when no modem line could be opened: the first port
// that is not a voice modem and why ("ttyACM0: permission denied"), or that
// no port was found; nothing when a voice modem was.
std::string NoModemWords(const std::vector<ModemDiagnosis> &tried);

} // namespace vocamo
