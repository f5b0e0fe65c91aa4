// Bookmark.ini where it cannot be written, on a full disk, its writer killed
// at random points of many saves, and written by several programs at once.
#include "phonebook/Phonebook.h"
#include "tests/faults/FaultKit.h"
#include "tests/faults/SaverEntries.h"
#include "tests/support/EditorFixture.h"
#include "tests/support/ProfileWriteFault.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <thread>

using namespace vocamo;
using namespace vocamo::test;

namespace {

const char kTwo[] = "; kept by hand\n[Anna]\nPhone_Home=0221\nPhone_Office=\nPhone_Mobile=0171\n"
                    "[Carl]\nPhone_Home=0301\nPhone_Office=0302\nPhone_Mobile=\n";

// Whatever is left beside Bookmark.ini and its lock: neither a failed write
// nor, after the next load, a killed one may leave its copy behind.
QStringList Litter(const QString &dir)
{
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeAll(QStringLiteral("Bookmark.ini"));
    names.removeAll(QStringLiteral(".Bookmark.ini.lock"));
    return names;
}

class PhonebookFault : public EditorTest {
protected:
    void TearDown() override { SetProfileWriteFault(nullptr); }

    // New entry Dora typed and applied, then Anna's number changed with OK.
    void EditAndSave()
    {
        Click("new");
        Type("name", QStringLiteral("Dora"));
        Type("home", QStringLiteral("0401"));
        Click("apply");
        ClickName(QStringLiteral("Anna"));
        Type("home", QStringLiteral("0999"));
        Click("ok");
    }
};

// A folder the user may not write into, or a full disk, part way through
// the replacement: the user is told which file and why.
TEST_F(PhonebookFault, FailedSavesLeaveTheFileAsItWasAndTheEditorWorking)
{
    WriteFile(kTwo);
    const QByteArray before = FileText();
    // Each step of the replacement fails alike; that is the profile's test.
    for (const auto &[step, error] : {std::pair{ProfileWriteStep::Write, EACCES},
                                      std::pair{ProfileWriteStep::Rename, ENOSPC}}) {
        static ProfileWriteStep failing;
        static int failure;
        failing = step;
        failure = error;
        SetProfileWriteFault([](ProfileWriteStep at) { return at == failing ? failure : 0; });
        m_main.Clear();
        Shown();
        // Apply fails, "Save changes?" on leaving Dora: No, OK fails.
        for (const auto answer : {QMessageBox::Ok, QMessageBox::No, QMessageBox::Ok})
            m_boxes.Answer(answer);
        EditAndSave();
        EXPECT_EQ(FileText(), before);
        EXPECT_EQ(ListTexts(), (QStringList{"Anna", "Carl"}));
        EXPECT_EQ(Litter(m_dir.path()), QStringList());
        EXPECT_EQ(m_boxes.Unanswered(), 0u);
        EXPECT_EQ(m_boxes.Last().text, QStringLiteral("Anna was not saved.\n%1: %2")
                                           .arg(QString::fromStdString(Path()), strerror(error)));
        // OK keeps the editor open with what was typed; the main window is
        // still told, and reloads what the file holds.
        EXPECT_TRUE(m_dlg->isVisible());
        EXPECT_EQ(Boxes(), (QStringList{"Anna", "0999", "", "0171"}));
        EXPECT_EQ(Notices(), 2u);
    }
    // Writable again: the same edit goes through.
    SetProfileWriteFault(nullptr);
    const size_t told = m_boxes.Count();
    Shown();
    EditAndSave();
    EXPECT_EQ(m_boxes.Count(), told);
    EXPECT_EQ(Value("Dora", "Phone_Home"), "0401");
    EXPECT_EQ(Value("Anna", "Phone_Home"), "0999");
}

// ---- killed while saving ----

std::string ReadAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file as a kill left it: every line a comment, a header or a pair, no
// section twice; the hand-kept entries as they were; every entry saved to
// the end as saved; the one being saved, if any, each key either old or new.
void ExpectIntact(const std::string &path, int done, int inFlight)
{
    const std::string bytes = ReadAll(path);
    ASSERT_EQ(bytes.rfind("; kept by hand\n[Anna]\n", 0), 0u);
    std::istringstream lines(bytes);
    std::set<std::string> headers;
    for (std::string line; std::getline(lines, line);)
        ASSERT_TRUE(line.empty() || line[0] == ';' || line.find('=') != std::string::npos ||
                    (line.back() == ']' && headers.insert(line).second))
            << line;

    CIniFile file;
    const std::unique_ptr<CBookmarkList> list = LoadBookmarks(file, path);
    std::map<std::string, const CBookmark *> entries;
    for (int i = 0; i < list->GetCount(); ++i) {
        const CBookmark *entry = list->FindByIndex(static_cast<uint32_t>(i));
        entries[entry->name] = entry;
    }
    ASSERT_TRUE(entries.count("Anna") && entries.count("Carl"));
    EXPECT_EQ(entries["Anna"]->mobile + "|" + entries["Carl"]->office, "0171|0302");
    size_t expected = 2;
    for (int n = 0; n < kSaverNames; ++n) {
        const int last = done < n ? -1 : done - (done - n) % kSaverNames; // its last step
        const bool touched = inFlight >= 0 && inFlight % kSaverNames == n;
        const auto found = entries.find(SaverName(n));
        if (found == entries.end()) {
            EXPECT_LT(last, 0) << SaverName(n) << " lost after step " << last;
            continue;
        }
        ++expected;
        ASSERT_TRUE(last >= 0 || touched) << SaverName(n) << " was never saved";
        const CBookmark &e = *found->second;
        const std::string *values[] = {&e.home, &e.office, &e.mobile};
        for (int which = 1; which <= 3; ++which) {
            const std::string &value = *values[which - 1];
            EXPECT_TRUE((last >= 0 ? value == SaverNumber(last, which) : value.empty()) ||
                        (touched && value == SaverNumber(inFlight, which)))
                << SaverName(n) << " key " << which << " = " << value;
        }
    }
    EXPECT_TRUE(entries.size() == expected && headers.size() == expected) << "a stray entry";
}

TEST(PhonebookKilled, RandomKillsDuringManySavesNeverLoseASavedEntry)
{
    const int saves = 1000, runsWanted = 20;
    const unsigned seed = std::random_device{}();
    RecordProperty("seed", static_cast<int>(seed));
    std::mt19937 random(seed);

    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/Bookmark.ini";
    std::ofstream(path, std::ios::binary) << kTwo;

    int done = -1;
    int kills = 0;
    double meanSaveUs = 1000;
    while (done + 1 < saves) {
        QProcess saver;
        saver.start(QStringLiteral(VOCAMO_FAULT_SAVER),
                    {QString::fromStdString(path), QString::number(done + 1),
                     QString::number(saves - done - 1)});
        ASSERT_TRUE(saver.waitForStarted());
        // Let it finish a random number of saves, then strike somewhere
        // inside the next one.
        const int due = done + static_cast<int>(random() % (2 * saves / runsWanted + 1));
        QElapsedTimer clock;
        clock.start();
        const int from = done;
        while (done < due && saver.state() == QProcess::Running) {
            saver.waitForReadyRead(100);
            while (saver.canReadLine())
                done = saver.readLine().trimmed().toInt();
        }
        if (done > from)
            meanSaveUs = static_cast<double>(clock.nsecsElapsed()) / 1000.0 / (done - from);
        std::this_thread::sleep_for(std::chrono::microseconds(
            static_cast<int>(std::uniform_real_distribution<>(0, meanSaveUs)(random))));
        // A saver that already ended has no pid, and kill(0) would strike us.
        const qint64 pid = saver.processId();
        const bool killed = pid > 0 && saver.state() == QProcess::Running &&
                            ::kill(static_cast<pid_t>(pid), SIGKILL) == 0;
        saver.waitForFinished(5000);
        while (saver.canReadLine())
            done = saver.readLine().trimmed().toInt();
        kills += killed;
        ExpectIntact(path, done, killed ? done + 1 : -1);
        EXPECT_EQ(Litter(dir.path()), QStringList()) << "after the load";
        if (HasFailure())
            return;
    }
    EXPECT_GE(kills, 1);
    ExpectIntact(path, saves - 1, -1);
}

// Four programs save 500 entries each while this one loads the phonebook over
// and over: every entry arrives whole, and no load has fewer than the last.
TEST(PhonebookShared, FourWritersAndAReaderInOtherProcessesLoseNothing)
{
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/Bookmark.ini";
    std::vector<std::unique_ptr<QProcess>> savers;
    for (const char *writer : {"A", "B", "C", "D"}) {
        savers.push_back(std::make_unique<QProcess>());
        savers.back()->start(QStringLiteral(VOCAMO_FAULT_SAVER),
                             {QString::fromStdString(path), "0", "500", writer});
    }
    std::set<std::string> names;
    for (bool running = true; running;) { // and once more after the last save
        QCoreApplication::processEvents();
        running = std::any_of(savers.begin(), savers.end(), [](const auto &saver) {
            return saver->state() != QProcess::NotRunning;
        });
        CIniFile file;
        const std::unique_ptr<CBookmarkList> list = LoadBookmarks(file, path);
        ASSERT_GE(static_cast<size_t>(list->GetCount()), names.size());
        for (int i = 0; i < list->GetCount(); ++i) {
            const CBookmark *entry = list->FindByIndex(static_cast<uint32_t>(i));
            const int step = std::stoi(entry->name.substr(1));
            ASSERT_EQ(entry->home + entry->office + entry->mobile,
                      SaverNumber(step, 1) + SaverNumber(step, 2) + SaverNumber(step, 3));
            names.insert(entry->name);
        }
    }
    for (const auto &saver : savers)
        EXPECT_EQ(saver->exitCode(), 0) << saver->readAllStandardError().toStdString();
    EXPECT_EQ(names.size(), 2000u);
}

} // namespace
