#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vocamo {

// One piece of what a V.253 modem says: a text line (result code, caller-ID
// tag, information text, echo) or a DLE-shielded event code such as 'R'
// (ring), 'b' (busy tone), 'd' (dial tone), 'l' (loop current broken).
struct ModemOutput {
    enum Kind { Line, Dle };
    Kind kind = Line;
    std::string text; // Line: without CR/LF and surrounding blanks
    char code = 0;    // Dle: the byte after DLE
};

// What a line means; results are matched by prefix.
enum class ModemResult {
    Other, // information text (class lists and the like)
    Echo,  // a command echoed back
    Ok,
    Error,
    Connect,
    Vcon,
    Ring,
    Ringing,
    Busy,
    NoAnswer,
    NoDialtone,
    NoCarrier,
    CallerId, // TAG = value
};

constexpr char DLE = 0x10;

// Turns the modem's byte stream, cut anywhere, into lines and DLE events.
// Pure: no I/O, no clock. Lines longer than kMaxLine are dropped whole, NULs
// and other control bytes are ignored, and so are terminal escape sequences
// (ESC [ parameters final byte) as a whole.
class CModemOutputParser {
public:
    static constexpr size_t kMaxLine = 512;

    void Feed(std::string_view bytes, const std::function<void(const ModemOutput &)> &emit);
    void Reset();

private:
    std::string m_line;
    bool m_afterDle = false;
    bool m_overlong = false;
    enum class Escape { None, Started, Sequence } m_escape = Escape::None;
};

ModemResult ClassifyModemLine(std::string_view line);

// "NMBR = 5551234", "NMBR=5551234", "DDN_NMBR = ..." -> tag and value.
// The tag is upper case letters, digits and underscores; the value trimmed.
bool ParseCallerIdLine(std::string_view line, std::string &tag, std::string &value);

// Numbers in a capability reply: "0,1,8", "(0-2,8)", or V.253 label lines
// ('7,"ST",...' counts as 7). Ranges are expanded up to 255.
std::vector<int> ParseCapabilityList(const std::vector<std::string> &lines);

} // namespace vocamo
