// What others send us at its worst: caller IDs, friend names, notifications,
// phonebook files and numbers that no one well-meaning would send.
#include "skype/SkypeText.h"
#include "tests/app/WindowHarness.h"
#include "tests/faults/FaultKit.h"

#include <random>

using namespace vocamo;
using namespace vocamo::test;

namespace {

bool Printable(const std::string &text, bool lines = false)
{
    return std::none_of(text.begin(), text.end(), [lines](char c) {
        return (static_cast<unsigned char>(c) < 0x20 && !(lines && c == '\n')) || c == 0x7F;
    });
}

bool IsDialString(const std::string &digits)
{
    return !digits.empty() && digits.find_first_not_of("0123456789*#+,!WPT") == std::string::npos;
}

// Every command the modem got was one the line sends itself, or a dial
// string and nothing more.
void ExpectOnlyLineCommands(const CModemSim &modem)
{
    for (const std::string &command : modem.Received()) {
        if (command.rfind("ATD", 0) == 0)
            EXPECT_TRUE(IsDialString(command.substr(3))) << command;
        else
            EXPECT_TRUE(command == "ATZ" || command == "ATE0" || command == "AT+FCLASS=8" ||
                        command == "AT+VCID=1" || command == "AT+VLS=0" || command == "ATH" ||
                        command == "AT+VLS=?" || command == "AT+FCLASS=?" ||
                        command == "AT+FCLASS=0" || command.rfind("<DLE>", 0) == 0)
                << command;
    }
}

const CSkypeFriend *FriendOf(const CSkypeBridge &bridge, const std::string &handle)
{
    for (int i = 0; i < bridge.GetFriendCount(); ++i) {
        const CSkypeFriend *record = bridge.GetFriend(static_cast<uint32_t>(i));
        if (record && record->handle == handle)
            return record;
    }
    return nullptr;
}

TEST(HostileInput, CallerIdOfTenThousandBytesOrWithControlCharactersIsCutAndCleaned)
{
    WindowHarness h;
    ASSERT_TRUE(h.BothReady());
    CStallMeter stall;

    ASSERT_TRUE(h.modem->Control("ring 3 " + std::string(10000, '7')));
    // The caller ID comes between the first ring and the second.
    ASSERT_TRUE(h.Until([&] { return h.ring->rings >= 2; }));
    EXPECT_LE(h.window->PartyNumber().size(), 64u);
    EXPECT_TRUE(Printable(h.window->NotifierText(false), true));
    h.Paint();
    h.HangUpAndWait();

    ASSERT_TRUE(h.modem->Control("ring 5"));
    ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == RINGING; }));
    ASSERT_TRUE(h.modem->Control("say NMBR = 0171\x01\x1b[2J\t555\x7f\x08"
                                 "0123\x10"));
    ASSERT_TRUE(h.Until([&] { return !h.window->PartyNumber().empty(); }));
    EXPECT_TRUE(Printable(h.window->PartyNumber())) << h.window->PartyNumber();
    EXPECT_EQ(h.window->PartyNumber(), "01715550123");
    EXPECT_TRUE(Printable(h.window->NotifierText(false), true));
    h.Paint();
    h.HangUpAndWait();
    EXPECT_TRUE(h.boxes.empty());
    EXPECT_LT(stall.Longest(), kHangBound);
}

TEST(HostileInput, SkypeNotificationsOfAMegabyteLeaveTheLineAttached)
{
    WindowHarness h;
    ASSERT_TRUE(h.BothReady());
    CSkypeBridge &bridge = *h.window->Bridge();
    CStallMeter stall;

    const int megabyte = 1 << 20;
    QString noise;
    while (noise.size() < megabyte)
        noise += QStringLiteral("\u00e9\u4e2d\x01, ;$#\t");
    h.skype.Control(QStringLiteral("say USER anna.b FULLNAME ") +
                    QString(megabyte, QLatin1Char('x')));
    h.skype.Control(QStringLiteral("say CALL 7 STATUS ") + QString(megabyte, QLatin1Char('R')));
    h.skype.Control(QStringLiteral("say USER anna.b ") + noise);
    h.skype.Control(QStringLiteral("say ") + noise);
    h.skype.Control(QStringLiteral("say USER anna.b DISPLAYNAME Last one"));
    ASSERT_TRUE(h.Until(
        [&] {
            const CSkypeFriend *anna = FriendOf(bridge, "anna.b");
            return anna && anna->displayName == "Last one";
        },
        15s));
    EXPECT_EQ(FriendOf(bridge, "anna.b")->fullName, std::string(kSkypeNameUnits, 'x'));
    EXPECT_EQ(h.window->SkypeState(), NORMAL);
    EXPECT_EQ(h.window->WindowState(), NORMAL);
    EXPECT_FALSE(bridge.GetSkypeWindow().empty());
    h.Paint();

    // A friends list of one friend whose handle is a megabyte long: the rows
    // follow it, and calling its friend sends nothing too long to send.
    h.Key(Qt::Key_Left);
    ASSERT_EQ(h.window->ActiveLine(), LINE_SKYPE);
    h.Key(Qt::Key_Delete);
    h.skype.Control(QStringLiteral("say USERS ") + QString(megabyte, QLatin1Char('h')));
    ASSERT_TRUE(h.Until(
        [&] {
            const CContactItem *row = h.window->FirstFriendRow();
            return row && row->GetName().size() == static_cast<size_t>(megabyte);
        },
        15s));
    const qsizetype callsBefore = h.skype.SimLog().count(QStringLiteral("<- CALL "));
    h.window->CallAction(); // a refused send goes nowhere, at once
    EXPECT_EQ(h.skype.SimLog().count(QStringLiteral("<- CALL ")), callsBefore);
    EXPECT_EQ(h.window->SkypeState(), NORMAL);
    EXPECT_EQ(h.window->WindowState(), NORMAL);
    h.Paint();
    EXPECT_TRUE(h.boxes.empty());
    RecordProperty("longest_stall_ms", static_cast<int>(stall.Longest().count()));
    EXPECT_LT(stall.Longest(), kHangBound);
}

TEST(HostileInput, PhonebookOfBinaryBytesAndCommandsDialsOnlyDialStrings)
{
    std::mt19937 random(20261206);
    std::string bytes(1 << 20, '\0');
    for (char &c : bytes) {
        const unsigned v = random() % 256;
        // Enough brackets, equals signs and line ends that sections and keys form.
        c = static_cast<char>(v < 8 ? '[' : v < 16 ? ']' : v < 24 ? '=' : v < 28 ? '\n' : v);
    }
    WindowOptions options;
    options.skype = false;
    options.phonebook = "[Eve]\nPhone_Home=0301;ATS0=1\nPhone_Office=0302\rAT+VTX\n"
                        "Phone_Mobile=0303-55\n[Huge]\nPhone_Home=" +
                        std::string(4 << 20, '5') + "\n" + bytes;
    WindowHarness h(options);
    ASSERT_TRUE(h.ModemReady());
    EXPECT_EQ(h.window->DialString(), "0301;ATS0=1");
    int rows = 0;
    for (CContactItem *row = h.window->FirstNameRow(); row; row = row->GetNext())
        ++rows;
    EXPECT_GT(rows, 2);

    // Walk the list, dialling each row's number and each number of the panel.
    h.modem->ClearReceived();
    for (int i = 0; i < 8; ++i) {
        h.window->show();
        h.Paint();
        h.Key(Qt::Key_Return); // dials the display, or opens the number panel
        if (h.window->IsPanelOpen()) {
            for (int down = 0; down < i % 3; ++down)
                h.Key(Qt::Key_Down);
            h.Key(Qt::Key_Return);
        }
        // A dial hides the window; a refused one resets the line and shows it.
        ASSERT_TRUE(h.Until([&] {
            return h.window->WindowState() != NORMAL ||
                   (h.window->isVisible() && h.window->ModemState() == NORMAL);
        }));
        if (h.window->WindowState() != NORMAL)
            h.HangUpAndWait();
        ASSERT_TRUE(h.ModemReady());
        h.window->show();
        h.Key(i % 2 ? Qt::Key_Down : Qt::Key_Delete); // the next row, or its numbers
    }
    ExpectOnlyLineCommands(*h.modem);
    for (const std::string &command : h.modem->Received()) {
        EXPECT_EQ(command.find("S0=1"), std::string::npos) << command;
        EXPECT_EQ(command.find("VTX"), std::string::npos) << command;
    }
    EXPECT_TRUE(h.boxes.empty());
}

} // namespace
