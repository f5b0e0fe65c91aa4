#include "app/LineStates.h"

#include <gtest/gtest.h>

using namespace vocamo;

namespace {

constexpr int32_t kUnknown = 3; // a state outside the scale

// Both lines as reported, with a call held by owner (LINE_NONE: no call).
CLineStates Lines(int32_t skype, int32_t modem, int32_t owner = LINE_NONE)
{
    CLineStates lines;
    if (owner != LINE_NONE) {
        lines.SetLineState(owner, ANSWERING);
        lines.UpdateWindowState(owner, ANSWERING);
    }
    lines.SetLineState(LINE_SKYPE, skype);
    lines.SetLineState(LINE_MODEM, modem);
    return lines;
}

} // namespace

TEST(LineStates, FoldsTheLinesIntoTheOneStateTheWindowShows)
{
    struct Row {
        int32_t skype, modem, owner, source, window, ownerAfter;
    };
    // The source line has just reported its state (its column).
    const Row rows[] = {
        {NORMAL, NORMAL, LINE_NONE, LINE_MODEM, NORMAL, LINE_NONE},
        {NORMAL, NORMAL, LINE_NONE, LINE_SKYPE, NORMAL, LINE_NONE},
        {NORMAL, INIT, LINE_NONE, LINE_MODEM, NORMAL, LINE_NONE}, // lost: Skype's shows
        {INIT, INIT, LINE_NONE, LINE_MODEM, INIT, LINE_NONE},     // both lost
        {DIALING, NORMAL, LINE_NONE, LINE_SKYPE, DIALING, LINE_SKYPE},
        {NORMAL, ANSWERING, LINE_MODEM, LINE_SKYPE, ANSWERING, LINE_MODEM}, // idle beside a call
        {NORMAL, INIT, LINE_MODEM, LINE_MODEM, NORMAL, LINE_NONE},          // the call's line lost
        {INIT, NORMAL, LINE_SKYPE, LINE_SKYPE, NORMAL, LINE_NONE},
        {kUnknown, ANSWERING, LINE_MODEM, LINE_SKYPE, ANSWERING, LINE_MODEM}, // nothing
    };
    for (const Row &row : rows) {
        CLineStates lines = Lines(row.skype, row.modem, row.owner);
        lines.UpdateWindowState(row.source, lines.LineState(row.source));
        const std::string where = std::to_string(row.skype) + " " + std::to_string(row.modem);
        EXPECT_EQ(lines.WindowState(), row.window) << where;
        EXPECT_EQ(lines.CallOwner(), row.ownerAfter) << where;
    }
}

TEST(LineStates, ALineMayShowACallOnlyWhileTheOtherHoldsNone)
{
    struct Row {
        int32_t owner, modem;
        bool mayShow;
    };
    const Row rows[] = {
        {LINE_NONE, INIT, true},      {LINE_NONE, RINGING, true},   {LINE_NONE, kUnknown, false},
        {LINE_SKYPE, NORMAL, true},   {LINE_SKYPE, DIALING, false}, {LINE_SKYPE, RINGING, false},
        {LINE_MODEM, kUnknown, true}, {LINE_MODEM, NORMAL, true},
    };
    for (const Row &row : rows)
        EXPECT_EQ(Lines(NORMAL, row.modem, row.owner).MayShow(LINE_MODEM), row.mayShow)
            << row.owner << " " << row.modem;
    // The rule is the same seen from Skype.
    EXPECT_FALSE(Lines(RINGING, NORMAL, LINE_MODEM).MayShow(LINE_SKYPE));
    EXPECT_TRUE(Lines(INIT, NORMAL, LINE_MODEM).MayShow(LINE_SKYPE));
    EXPECT_FALSE(Lines(kUnknown, NORMAL).IsUsable(LINE_SKYPE));
    EXPECT_FALSE(Lines(INIT, NORMAL).IsUsable(LINE_SKYPE));
    EXPECT_TRUE(Lines(RINGING, NORMAL).IsUsable(LINE_SKYPE));
}

TEST(LineStates, EachLineKeepsItsOwnDialStringAndATypedOneStaysShort)
{
    CLineStates lines = Lines(NORMAL, NORMAL);
    lines.MakeLineActive(LINE_MODEM);
    lines.Plus();
    for (char digit : std::string("123456789012345678901234"))
        lines.AppendDigit(digit);
    lines.Plus();
    EXPECT_EQ(lines.DialString(), "+1234567890123456789012");

    lines.MakeLineActive(LINE_SKYPE); // a new line starts empty
    EXPECT_EQ(lines.DialString(), "");
    lines.AppendDigit('9');
    lines.SetDialString(LINE_MODEM, "0221550123"); // a phonebook number, behind Skype
    EXPECT_EQ(lines.DialString(), "9");
    EXPECT_EQ(lines.DialString(LINE_MODEM), "0221550123");
    lines.Back();
    lines.Back(); // an empty string stays empty
    EXPECT_EQ(lines.DialString(), "");

    // A line in a call shows no number: what comes meanwhile is dropped.
    lines.SetLineState(LINE_SKYPE, DIALING);
    lines.AppendDigit('7');
    lines.Plus();
    EXPECT_EQ(lines.DialString(), "");
}

TEST(LineStates, ARebuildKeepsTheSelectedRecordWhileItIsThere)
{
    CLineStates lines;
    EXPECT_EQ(lines.Reselect(LINE_SKYPE, {"anna.b", "carl.c", "dora.d"}), "anna.b");
    lines.Select(LINE_SKYPE, "dora.d");
    // Another friend comes online, before and after the selected one.
    EXPECT_EQ(lines.Reselect(LINE_SKYPE, {"anna.b", "bob.o", "carl.c", "dora.d", "eve.e"}),
              "dora.d");
    // The selected friend goes offline: the first takes over.
    EXPECT_EQ(lines.Reselect(LINE_SKYPE, {"anna.b", "bob.o"}), "anna.b");
    EXPECT_EQ(lines.Reselect(LINE_SKYPE, {}), "");
    EXPECT_EQ(lines.Selection(LINE_MODEM), ""); // the other line's is its own
}

TEST(LineStates, ANewCallStartsWithoutTheLastCallsParty)
{
    CLineStates lines = Lines(DIALING, NORMAL);
    lines.UpdateWindowState(LINE_SKYPE, DIALING);
    lines.SetParty("+49301234", "");
    lines.SetLineState(LINE_SKYPE, NORMAL);
    lines.UpdateWindowState(LINE_SKYPE, NORMAL);

    lines.SetLineState(LINE_MODEM, RINGING);
    lines.UpdateWindowState(LINE_MODEM, RINGING);
    EXPECT_EQ(lines.PartyNumber(), "");
    // The caller ID arrives; answering the same call keeps it.
    lines.SetParty("0895550147", "Ben");
    lines.SetLineState(LINE_MODEM, ANSWERING);
    lines.UpdateWindowState(LINE_MODEM, ANSWERING);
    EXPECT_EQ(lines.PartyNumber(), "0895550147");
    EXPECT_EQ(lines.PartyName(), "Ben");
}
