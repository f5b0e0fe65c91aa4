#include "app/LineStates.h"

#include <algorithm>

namespace vocamo {

namespace {
constexpr size_t kDialStringMax = 23;

int32_t OtherLine(int32_t line)
{
    return line == LINE_SKYPE ? LINE_MODEM : LINE_SKYPE;
}
} // namespace

CLineStates::Line &CLineStates::Of(int32_t line)
{
    return m_lines[line == LINE_SKYPE ? 1 : line == LINE_MODEM ? 2 : 0];
}

const CLineStates::Line &CLineStates::Of(int32_t line) const
{
    return m_lines[line == LINE_SKYPE ? 1 : line == LINE_MODEM ? 2 : 0];
}

void CLineStates::SetLineState(int32_t line, int32_t state)
{
    if (line == LINE_SKYPE || line == LINE_MODEM)
        Of(line).state = state;
}

int32_t CLineStates::LineState(int32_t line) const
{
    return Of(line).state;
}

bool CLineStates::IsUsable(int32_t line) const
{
    const int32_t state = LineState(line);
    return state >= NORMAL && state <= ANSWERING;
}

void CLineStates::UpdateWindowState(int32_t source, int32_t newState)
{
    switch (newState) {
    case INIT: {
        m_windowState = INIT;
        // The lost line gives up its call first, or the other line's NORMAL
        // below would be taken for a line going idle beside that call.
        if (m_callOwner == source)
            m_callOwner = LINE_NONE;
        const int32_t other = OtherLine(source);
        if (LineState(other) != INIT)
            UpdateWindowState(other, LineState(other));
        break;
    }
    case NORMAL:
        // A line going idle while the other one holds a call (Skype reports
        // its status every few seconds) must not hide that call.
        if (m_callOwner != LINE_NONE && m_callOwner != source)
            break;
        m_windowState = NORMAL;
        if (m_callOwner == source)
            m_callOwner = LINE_NONE;
        break;
    case DIALING:
    case RINGING:
    case ANSWERING:
        // Whatever party an earlier call left is not this call's.
        if (m_callOwner != source)
            ClearParty();
        m_windowState = newState;
        m_callOwner = source;
        break;
    default:
        break;
    }
}

bool CLineStates::MayShow(int32_t line) const
{
    const int32_t state = LineState(line);
    if (m_callOwner == line)
        return true;
    if (m_callOwner == LINE_NONE)
        return state == INIT || IsUsable(line);
    if (m_callOwner == OtherLine(line))
        return state == INIT || state == NORMAL;
    return false;
}

void CLineStates::MakeLineActive(int32_t line)
{
    m_activeLine = line;
    Of(line).dialString.clear();
}

const std::string &CLineStates::DialString(int32_t line) const
{
    return Of(line).dialString;
}

bool CLineStates::TakesDigits(int32_t line) const
{
    return !IsCallInProgress(LineState(line));
}

void CLineStates::SetDialString(int32_t line, std::string text)
{
    if (TakesDigits(line))
        Of(line).dialString = std::move(text);
}

void CLineStates::AppendDigit(char digit)
{
    std::string &text = Of(m_activeLine).dialString;
    if (TakesDigits(m_activeLine) && text.size() < kDialStringMax)
        text.push_back(digit);
}

void CLineStates::Back()
{
    std::string &text = Of(m_activeLine).dialString;
    if (!text.empty())
        text.pop_back();
}

void CLineStates::Clear()
{
    Of(m_activeLine).dialString.clear();
}

void CLineStates::Plus()
{
    std::string &text = Of(m_activeLine).dialString;
    if (TakesDigits(m_activeLine) && text.empty())
        text.push_back('+');
}

const std::string &CLineStates::Selection(int32_t line) const
{
    return Of(line).selection;
}

void CLineStates::Select(int32_t line, std::string record)
{
    if (line == LINE_SKYPE || line == LINE_MODEM)
        Of(line).selection = std::move(record);
}

const std::string &CLineStates::Reselect(int32_t line, const std::vector<std::string> &records)
{
    const std::string &selected = Selection(line);
    if (selected.empty() || std::find(records.begin(), records.end(), selected) == records.end())
        Select(line, records.empty() ? std::string() : records.front());
    return Selection(line);
}

void CLineStates::SetParty(std::string number, std::string name)
{
    m_partyNumber = std::move(number);
    m_partyName = std::move(name);
}

void CLineStates::ClearParty()
{
    m_partyNumber.clear();
    m_partyName.clear();
}

} // namespace vocamo
