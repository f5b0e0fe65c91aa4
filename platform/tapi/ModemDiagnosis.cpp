#include "platform/tapi/ModemDiagnosis.h"

#include "platform/tapi/ModemPort.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vocamo {

namespace {

std::string GroupName(gid_t gid)
{
    if (const group *g = ::getgrgid(gid))
        return g->gr_name;
    return std::to_string(gid);
}

// Who may open the port and who the user is: the usual way in is the
// port's group (dialout on most systems).
std::string PermissionHint(const std::string &path)
{
    std::string hint;
    struct stat st {};
    // A port left to root alone is usually given to dialout by a udev rule.
    const bool grouped = ::stat(path.c_str(), &st) == 0 && st.st_gid != 0;
    const std::string group = grouped ? GroupName(st.st_gid) : "dialout";
    hint = "the port is for group " + group + ": sudo usermod -aG " + group +
           " $USER, then log in again (your groups:";
    std::vector<gid_t> groups(static_cast<size_t>(std::max(::getgroups(0, nullptr), 0)));
    const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
    groups.resize(static_cast<size_t>(std::max(count, 0)));
    if (std::find(groups.begin(), groups.end(), ::getegid()) == groups.end())
        groups.insert(groups.begin(), ::getegid());
    for (gid_t gid : groups)
        hint += " " + GroupName(gid);
    return hint + ")";
}

bool Lists(const std::vector<int> &values, int wanted)
{
    return std::find(values.begin(), values.end(), wanted) != values.end();
}

} // namespace

std::string ModemDiagnosis::Line() const
{
    return port + ": " + words + (hint.empty() ? "" : "; " + hint);
}

ModemDiagnosis OpenFailure(const std::string &path, int error)
{
    ModemDiagnosis d;
    d.port = path;
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        d.verdict = ModemVerdict::Missing;
        d.words = "missing";
        break;
    case EACCES:
    case EPERM:
        d.verdict = ModemVerdict::PermissionDenied;
        d.words = "permission denied";
        d.hint = PermissionHint(path);
        break;
    case EBUSY:
        d.verdict = ModemVerdict::Busy;
        d.words = "busy";
        d.hint = "held by another process: close it, or keep ModemManager off the port (see the "
                 "README)";
        break;
    case EISDIR:
    case ENOTTY:
    case EINVAL:
        d.verdict = ModemVerdict::NotSerial;
        d.words = "not a serial port";
        break;
    default:
        d.verdict = ModemVerdict::OpenFailed;
        d.words = std::string("cannot be opened: ") + std::strerror(error);
        break;
    }
    return d;
}

ModemDiagnosis DiagnosePort(const std::string &path, const ModemTimeouts &timeouts,
                            bool askCallerId)
{
    CModemPort port(path);
    if (const int error = port.Open(); error != 0)
        return OpenFailure(path, error);
    port.Start(nullptr);
    // However the modem dawdles, the user waits no longer than this.
    const auto deadline = CModemPort::Clock::now() + 2 * timeouts.probe;
    auto ask = [&](const std::string &command) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - CModemPort::Clock::now());
        if (left.count() <= 0)
            return CModemPort::Reply{};
        return port.Command(command, std::min(left, timeouts.probe));
    };

    ModemDiagnosis d;
    d.port = path;
    if (!ask("ATZ").answered) {
        d.verdict = ModemVerdict::NoAnswer;
        d.words = "no answer";
        d.hint = "not a modem, or one that is switched off or still starting";
        return d;
    }
    ask("ATE0");
    const CModemPort::Reply classes = ask("AT+FCLASS=?");
    if (!classes.ok || !Lists(ParseCapabilityList(classes.lines), 8)) {
        d.verdict = ModemVerdict::DataOnly;
        d.words = "data only";
        d.hint = "no voice mode: a voice modem lists class 8 in AT+FCLASS=?";
        return d;
    }
    d.verdict = ModemVerdict::Voice;
    if (ask("AT+FCLASS=8").ok) {
        const CModemPort::Reply vls = ask("AT+VLS=?");
        d.speakerphone = vls.ok && Lists(ParseCapabilityList(vls.lines), 7);
        if (askCallerId) {
            for (const char *command : {"AT+VCID=1", "AT#CID=1"}) {
                if (ask(command).ok) {
                    d.callerIdCommand = command;
                    break;
                }
            }
        }
        ask("AT+FCLASS=0");
    }
    d.words =
        std::string("voice modem, ") + (d.speakerphone ? "with speakerphone" : "no speakerphone");
    if (askCallerId)
        d.words +=
            d.callerIdCommand.empty() ? ", no caller ID" : ", caller ID with " + d.callerIdCommand;
    return d;
}

std::string NoModemWords(const std::vector<ModemDiagnosis> &tried)
{
    // A voice modem was found: its line is opening, or its failure to open
    // is its latest verdict.
    if (std::any_of(tried.begin(), tried.end(), [](const auto &d) { return d.IsVoice(); }))
        return {};
    if (tried.empty())
        return "No modem found";
    // The display holds some 25 characters: the name below /dev.
    const std::string &port = tried.front().port;
    const size_t name = port.rfind("/dev/", 0) == 0 ? 5 : port.rfind('/') + 1;
    return port.substr(name) + ": " + tried.front().words;
}

} // namespace vocamo
