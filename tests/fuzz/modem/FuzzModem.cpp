// What a modem may say, cut anywhere: the output parser, the result and
// caller-ID readers, and the line's mapping of it all to call states, with
// the application's requests mixed in. The first byte sets the cut length.

#include "platform/tapi/DialString.h"
#include "platform/tapi/ModemLine.h"
#include "platform/tapi/ModemOutputParser.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace vocamo;

namespace {

void CheckCallInfo(CModemLine &line, HCALL call)
{
    std::vector<DWORD> buffer(1348 / 4, 0);
    buffer[0] = 1348;
    auto *info = reinterpret_cast<LINECALLINFO *>(buffer.data());
    if (line.GetCallInfo(call, info) != 0)
        return;
    if (info->dwUsedSize > info->dwTotalSize)
        std::abort();
    if (info->dwCallerIDSize != 0) {
        if (uint64_t{info->dwCallerIDOffset} + info->dwCallerIDSize > info->dwTotalSize)
            std::abort();
        const char *text = reinterpret_cast<const char *>(buffer.data()) + info->dwCallerIDOffset;
        if (text[info->dwCallerIDSize - 1] != '\0')
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t step = 1 + data[0] % 16;
    const std::string_view bytes(reinterpret_cast<const char *>(data) + 1, size - 1);

    ModemTimeouts timeouts;
    timeouts.command = std::chrono::milliseconds(1);
    // A port that was never opened: every write fails at once.
    auto port = std::make_shared<CModemPort>("/nonexistent/modem");
    auto queue = std::make_shared<CLineMessageQueue>();
    DWORD nextHandle = 100;
    CModemLine line(
        port, 1, 0, 1, queue, [&] { return ++nextHandle; }, timeouts);
    line.SetStatusMessages(LINEDEVSTATE_ALL);

    CModemOutputParser parser;
    std::vector<std::string> lines;
    const auto emit = [&](const ModemOutput &out) {
        if (out.kind == ModemOutput::Line) {
            if (out.text.size() > CModemOutputParser::kMaxLine || out.text.empty())
                std::abort();
            std::string tag, value;
            ParseCallerIdLine(out.text, tag, value);
            lines.push_back(out.text);
            line.OnModemLine(out.text, ClassifyModemLine(out.text));
            return;
        }
        HCALL call = nextHandle;
        switch (out.code) {
        case 'A':
            line.Answer(call, 1);
            break;
        case 'D':
            line.Drop(call, 1);
            break;
        case 'M':
            line.MakeCall("5551234", &call, 1);
            break;
        default:
            line.OnModemDle(out.code);
            break;
        }
    };
    for (size_t i = 0; i < bytes.size(); i += step)
        parser.Feed(bytes.substr(i, step), emit);
    line.OnDeadline();

    ParseCapabilityList(lines);
    if (auto digits = FilterDialString(bytes)) {
        if (digits->empty() || digits->size() > kMaxDialDigits ||
            digits->find_first_of(";\r\nAaDd") != std::string::npos)
            std::abort();
    }
    for (HCALL call = 100; call <= nextHandle; ++call)
        CheckCallInfo(line, call);
    LINEMESSAGE message{};
    while (queue->Wait(message, 0) == CLineMessageQueue::WaitResult::Message) {
    }
    line.Close();
    return 0;
}
