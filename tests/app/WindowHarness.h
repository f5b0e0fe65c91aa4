#pragma once

// The phone as a user meets it, in-process: the real window on the offscreen
// platform, the real call controller over the modem simulator on a
// pseudo-terminal, and the real Skype bridge over vocamo-skype-sim on a bus
// of its own.

#include "app/RingPlayer.h"
#include "app/VocamoDlg.h"
#include "skin/ContactItem.h"
#include "skin/Skin.h"
#include "skin/SkinButton.h"
#include "skin/SkinItemList.h"
#include "skin/TaskbarNotifier.h"
#include "skype/DBusSkypeTransport.h"
#include "skype/SkypeBridge.h"
#include "telephony/CallController.h"
#include "tests/support/SkypeSimProcess.h"
#include "tools/vocamo-modem-sim/ModemSim.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vocamo::test {

using namespace std::chrono_literals;

// Counts the rings instead of sounding them.
class CountingRing : public CRingPlayer {
public:
    bool PlayRing(const QString &path, bool rewind) override
    {
        lastPath = path;
        ++rings;
        (void)rewind;
        return true;
    }
    int rings = 0;
    QString lastPath;
};

struct WindowOptions {
    bool modem = true;
    ModemSimOptions modemOptions = FastModem();
    bool skype = true;
    QStringList skypeArguments = {
        QStringLiteral("--friend"), QStringLiteral("anna.b:ONLINE:Anna B"),
        QStringLiteral("--friend"), QStringLiteral("bob.o:OFFLINE:Bob O"),
        QStringLiteral("--friend"), QStringLiteral("carl.c:AWAY:Carl C")};
    std::string phonebook = "[Anna]\nPhone_Home=0221550123\nPhone_Office=\nPhone_Mobile=0171555\n"
                            "[Ben]\nPhone_Home=\nPhone_Office=0895550147\nPhone_Mobile=0160555\n"
                            "[Carla]\nPhone_Home=0305550178\n";

    static ModemSimOptions FastModem()
    {
        ModemSimOptions o;
        o.ringInterval = 300ms;
        o.log = false;
        return o;
    }
};

class WindowHarness {
public:
    explicit WindowHarness(WindowOptions options = {}) : m_options(std::move(options))
    {
        std::ofstream(Dir() + "/Bookmark.ini", std::ios::binary) << m_options.phonebook;
        if (m_options.modem) {
            modem = std::make_unique<CModemSim>(m_options.modemOptions);
            if (!modem->Start())
                ADD_FAILURE() << "modem simulator did not start";
            setenv("VOCAMO_MODEMS", modem->SlavePath().c_str(), 1);
        } else {
            setenv("VOCAMO_MODEMS", "/nonexistent/ttyACM9", 1);
        }
        if (m_options.skype && !skype.Start(m_options.skypeArguments, false))
            ADD_FAILURE() << skype.Error().toStdString();
        else if (!m_options.skype && !skype.Start({QStringLiteral("--offline")}, true))
            ADD_FAILURE() << skype.Error().toStdString();
        if (!m_options.skype)
            skype.Kill();
        transport = std::make_unique<CDBusSkypeTransport>(skype.Bus(), 2000ms);

        VocamoServices services;
        services.exeDir = QString::fromStdString(Dir());
        services.historyPath = QString::fromStdString(Dir() + "/history.sqlite");
        services.skypeTransport = transport.get();
        services.messageBox = [this](const QString &text) { boxes.push_back(text.toStdString()); };
        services.showAbout = [this] { ++abouts; };
        services.quit = [this] { ++quits; };
        ring = std::make_shared<CountingRing>();
        services.ringPlayer = ring;
        services.makeBridge = [](CMessageTarget &target, CSkypeTransport &transport) {
            return std::make_unique<CSkypeBridge>(target, transport, 300ms);
        };
        services.watchSystem = false;
        services.deviceArrivalDelayMs = 0;
        services.notifierPeriodDivisor = 50;
        window = std::make_unique<CVocamoDlg>(services);
        window->show();
    }

    ~WindowHarness()
    {
        window.reset();
        transport.reset();
        skype.Kill();
        modem.reset();
    }

    std::string Dir() const { return m_dir.path().toStdString(); }

    bool Until(const std::function<bool()> &done, std::chrono::milliseconds timeout = 8s)
    {
        return PumpUntil(done, timeout);
    }
    void Paint() { window->ComposeFrame(); }

    // The modem line open and its phonebook rows made.
    bool ModemReady()
    {
        return Until([&] { return window->ModemState() == NORMAL && window->FirstNameRow(); });
    }
    bool SkypeReady()
    {
        return Until([&] { return window->SkypeState() == NORMAL && window->FirstFriendRow(); });
    }
    bool BothReady() { return ModemReady() && SkypeReady(); }

    CSkinItem *Element(int kind) const { return window->Items()->FindByKind(kind); }

    // The centre of an element's picture, in window coordinates.
    static QPoint Centre(const CSkinItem *item)
    {
        const SkinRect &r = item->GetImageRect();
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Click(const CSkinItem *item)
    {
        Paint();
        const QPoint at = Centre(item);
        QTest::mouseMove(window.get(), at);
        QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, at);
    }
    void DoubleClick(const CSkinItem *item)
    {
        Paint();
        const QPoint at = Centre(item);
        QTest::mouseMove(window.get(), at);
        QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(window.get(), Qt::LeftButton, Qt::NoModifier, at);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window.get(), key, modifiers);
    }
    void Type(const std::string &digits)
    {
        for (char c : digits)
            QTest::keyClicks(window.get(), QString(QChar(c)));
    }

    // Whether the popup wears the skin of that bitmap (129 or 130) by now.
    bool PopupSkinIs(unsigned bitmap)
    {
        return Until([&] { return PopupWears(bitmap); });
    }
    bool PopupWears(unsigned bitmap)
    {
        const QImage shown = window->Notifier()->grab().toImage();
        const QImage skin(QStringLiteral(":/bmp/%1.png").arg(bitmap));
        if (shown.isNull() || skin.isNull())
            return false;
        for (const QPoint at : {QPoint(10, 10), QPoint(140, 5), QPoint(5, 115)})
            if (shown.pixelColor(at).rgb() != skin.pixelColor(at).rgb())
                return false;
        return true;
    }
    void HangUpAndWait()
    {
        window->HangUp();
        Until([&] { return window->WindowState() == NORMAL && window->CallOwner() == LINE_NONE; });
    }
    bool PopupShowing() const { return window->Notifier()->GetState() != CTaskbarNotifier::Hidden; }
    // Where the simulator's log stands now, for SimSaw to look after.
    qsizetype SimMark() { return skype.SimLog().size(); }
    bool SimSaw(const QString &command, qsizetype after = 0)
    {
        return Until([&] { return skype.SimLog().indexOf(command, after) >= 0; });
    }

    std::unique_ptr<CModemSim> modem;
    CSkypeSimProcess skype;
    std::unique_ptr<CDBusSkypeTransport> transport;
    std::shared_ptr<CountingRing> ring;
    std::unique_ptr<CVocamoDlg> window;
    std::vector<std::string> boxes;
    int abouts = 0;
    int quits = 0;

private:
    WindowOptions m_options;
    QTemporaryDir m_dir;
};

} // namespace vocamo::test
