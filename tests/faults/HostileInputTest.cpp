// What others send us at its worst: notifications, phonebook files and
// numbers that no one well-meaning would send. A caller's number is cleaned
// by the line, whose tests own it.
#include "skype/SkypeText.h"
#include "tests/app/WindowHarness.h"
#include "tests/faults/FaultKit.h"

#include <random>
#include <set>

using namespace vocamo;
using namespace vocamo::test;

namespace {

// Every command the modem got was one the line sends itself, or a dial
// string and nothing more.
void ExpectOnlyLineCommands(const CModemSim &modem)
{
    const std::set<std::string> kLine = {"ATZ", "ATE0",     "AT+FCLASS=8", "AT+VCID=1",  "AT+VLS=0",
                                         "ATH", "AT+VLS=?", "AT+FCLASS=?", "AT+FCLASS=0"};
    for (const std::string &command : modem.Received())
        EXPECT_TRUE(kLine.count(command) || command.rfind("<DLE>", 0) == 0 ||
                    (command.size() > 3 && command.rfind("ATD", 0) == 0 &&
                     command.find_first_not_of("0123456789*#+,!WPT", 3) == std::string::npos))
            << command;
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
    const auto anna = [&] { return bridge.GetFriend(0); }; // the first friend
    ASSERT_TRUE(h.Until(
        [&] { return anna() && anna()->handle == "anna.b" && anna()->displayName == "Last one"; },
        15s));
    EXPECT_EQ(anna()->fullName, std::string(kSkypeNameUnits, 'x'));
    EXPECT_EQ(h.window->SkypeState(), NORMAL);
    EXPECT_EQ(h.window->WindowState(), NORMAL);
    EXPECT_FALSE(bridge.GetSkypeWindow().empty());
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
    const CContactItem *first = h.window->FirstNameRow();
    EXPECT_TRUE(first && first->GetNext() && first->GetNext()->GetNext()) << "three rows or more";

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
    EXPECT_TRUE(h.boxes.empty());
}

} // namespace
