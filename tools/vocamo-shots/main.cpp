// vocamo-shots [FOLDER]: renders the window in a few everyday states as PNG
// files for a person to look at (build/skin-shots by default); docs/startup.png
// is the "phone" shot.
#include "phonebook/Bookmark.h"
#include "skin/Composition.h"
#include "skin/ContactItem.h"
#include "skin/Skin.h"
#include "skin/SkinButton.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <deque>

namespace vocamo {
namespace {

// The modem line active with a small phonebook, as the window shows it once
// the line is open and the phonebook loaded.
class Scene {
public:
    Scene()
    {
        const char *names[][4] = {
            {"Ada Lovelace", "020 7946 0018", "", "07700 900461"},
            {"Alan Turing", "0161 496 0734", "0161 496 0999", "07700 900123"},
            {"Grace Hopper", "", "555 0199", "555 0142"},
            {"Bletchley Park Switchboard", "01908 640404", "", ""},
            {"Dr. Who", "", "", "07700 900777"},
            {"Katherine Johnson", "757 555 0100", "", ""},
            {"Linus", "", "0044 555 0110", ""},
        };
        CContactItem *previous = nullptr;
        for (const auto &n : names) {
            CBookmark &entry = m_book.emplace_back(n[0], static_cast<uint32_t>(m_book.size()));
            entry.home = n[1];
            entry.office = n[2];
            entry.mobile = n[3];
            previous = m_skin.AddNameRow(entry, previous);
            m_rows.push_back(previous);
        }
        const CSkin::Elements &e = m_skin.GetElements();
        e.skypeButton->SetHidden(false);
        e.modemButton->SetHidden(false);
        e.skypeButton->SetActive(false);
        e.modemButton->SetActive(true);
        e.bookmark->SetHidden(false);
        m_rows.front()->SetChainHidden(false);
        Select(0);
    }

    void Select(std::size_t row)
    {
        for (CContactItem *r : m_rows)
            r->SetSelected(false);
        m_rows.at(row)->SetSelected(true);
        m_dial = m_rows.at(row)->GetFirstNumber();
    }

    void OpenPanel(std::size_t row)
    {
        Select(row);
        m_skin.Items().SetHiddenByKind(63, false);
        m_skin.Items().SetHiddenByKind(65, false);
        CSkinButton *entry = nullptr;
        CSkinButton *first = nullptr;
        const std::pair<CSkin::Number, const char *> order[] = {{CSkin::Number::Home, "Home"},
                                                                {CSkin::Number::Mobile, "Mobile"},
                                                                {CSkin::Number::Office, "Office"}};
        for (const auto &[which, label] : order) {
            const std::string number = m_rows.at(row)->GetNumber(label);
            if (number.empty())
                continue;
            entry = m_skin.AddNumberEntry(which, number, entry);
            first = first ? first : entry;
        }
        first->SetActive(true);
        m_dial = first->GetText();
    }

    CSkin &Skin() { return m_skin; }
    void SetDial(std::string dial) { m_dial = std::move(dial); }

    QImage Compose()
    {
        const CSkin::Elements &e = m_skin.GetElements();
        e.callStart->SetActive(!m_dial.empty());
        e.callEnd->SetActive(false);
        m_skin.Items().LayoutAll();
        return ComposeWindow(m_skin.Items(), m_dial);
    }

private:
    CSkin m_skin;
    std::deque<CBookmark> m_book;
    std::vector<CContactItem *> m_rows;
    std::string m_dial;
};

QString g_folder;

void Save(const QImage &picture, const char *name)
{
    const QString path = QDir(g_folder).filePath(QLatin1String(name));
    if (!QDir().mkpath(g_folder) || !picture.save(path))
        std::fprintf(stderr, "vocamo-shots: cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

void RenderShots()
{
    {
        CSkin bare;
        bare.Items().LayoutAll();
        Save(ComposeWindow(bare.Items(), ""), "startup-bare.png");
    }
    {
        Scene scene;
        Save(scene.Compose(), "startup.png");
    }
    {
        Scene scene;
        scene.Skin().SetKeypadHidden(false);
        scene.SetDial("01632960571");
        Save(scene.Compose(), "keypad.png");
    }
    {
        Scene scene;
        scene.OpenPanel(1);
        Save(scene.Compose(), "panel.png");
    }
    {
        // The Recent list itself is a widget over the list area: here only
        // the lit Recent button and the lines dimmed beside it.
        Scene scene;
        scene.Skin().GetElements().recentButton->SetActive(true);
        Save(scene.Compose(), "recent-button.png");
    }
}

} // namespace
} // namespace vocamo

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    vocamo::g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("skin-shots");
    vocamo::RenderShots();
    return 0;
}
