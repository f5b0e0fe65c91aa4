#pragma once

#include "core/CallState.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vocamo {

// The window's lines without the window: what each line reported last, each
// line's own dial string and selected record, the call's other party, and
// the one state the window shows, folded from the two lines. The window asks
// and draws; only the handlers of the lines' events and of the user's input
// change anything here.
//
// A selection is the record's identity, the entry's name on the modem line
// and the friend's handle on the Skype line, so it outlives the rows that
// show it: a list is rebuilt whenever its line reloads or a friend's status
// changes.
class CLineStates {
public:
    // What a line reported last; INIT for a line without its object.
    void SetLineState(int32_t line, int32_t state);
    int32_t LineState(int32_t line) const;
    // NORMAL to ANSWERING. INIT is not usable; any other state is unknown
    // and not usable either.
    bool IsUsable(int32_t line) const;

    int32_t WindowState() const { return m_windowState; }
    int32_t CallOwner() const { return m_callOwner; }
    int32_t ActiveLine() const { return m_activeLine; }

    // Folds the source line's new state into the window's. A line that
    // takes a call over starts it without a party.
    void UpdateWindowState(int32_t source, int32_t newState);
    // Whether the line's state may be shown: a line cannot start a call
    // while the other one holds one.
    bool MayShow(int32_t line) const;
    // The user works with this line from now on; its dial string starts empty.
    void MakeLineActive(int32_t line);
    void ClearActiveLine() { m_activeLine = LINE_NONE; }

    // The active line's dial string: what the display shows and a call dials.
    const std::string &DialString() const { return DialString(m_activeLine); }
    const std::string &DialString(int32_t line) const;
    // A line in a call keeps its display empty: what is typed or selected
    // meanwhile is dropped.
    void SetDialString(int32_t line, std::string text);
    void AppendDigit(char digit);
    void Back();
    void Clear();
    void Plus();

    const std::string &Selection(int32_t line) const;
    void Select(int32_t line, std::string record);
    // After the line's list was rebuilt from records: the record selected
    // before when it is still there, else the first, else none. The answer
    // becomes the selection.
    const std::string &Reselect(int32_t line, const std::vector<std::string> &records);

    const std::string &PartyNumber() const { return m_partyNumber; }
    const std::string &PartyName() const { return m_partyName; }
    void SetParty(std::string number, std::string name);
    void ClearParty();

private:
    struct Line {
        int32_t state = INIT;
        std::string dialString;
        std::string selection;
    };
    Line &Of(int32_t line);
    const Line &Of(int32_t line) const;
    bool TakesDigits(int32_t line) const;

    std::array<Line, 3> m_lines; // no line, Skype, modem
    int32_t m_windowState = INIT;
    int32_t m_callOwner = LINE_NONE;
    int32_t m_activeLine = LINE_NONE;
    std::string m_partyNumber;
    std::string m_partyName;
};

} // namespace vocamo
