#include "app/AboutDlg.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vocamo;

namespace {

// The box as it reads the record from a file of the given text.
QString FieldFor(const QByteArray &record)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(record);
    file.close();
    CAboutDlg dlg(nullptr, path);
    return dlg.GetVersionFieldText();
}

} // namespace

TEST(AboutDlg, VersionFieldShowsEachNumberFollowedByAPoint)
{
    EXPECT_EQ(FieldFor("1,0,0,0"), QStringLiteral("V1.0.0.0"));
    EXPECT_EQ(FieldFor("10,20,300,4000\n"), QStringLiteral("V10.20.300.4000"));
    CAboutDlg missing(nullptr, QDir::temp().filePath(QStringLiteral("vocamo-no-record")));
    EXPECT_EQ(missing.GetVersionFieldText(), QStringLiteral("V."));
}

TEST(AboutDlg, SplitDropsEmptyPiecesButKeepsALoneEmptyText)
{
    EXPECT_EQ(CAboutDlg::VersionText("2,1,0,7"), "V2.1.0.7");
    EXPECT_EQ(CAboutDlg::VersionText(""), "V.");
    EXPECT_EQ(CAboutDlg::VersionText("2,,1,"), "V2.1.");
    EXPECT_EQ(CAboutDlg::VersionText(",,"), "V");
    EXPECT_EQ(CAboutDlg::VersionText("1,2,3,4,5"), "V1.2.3.45");
}

TEST(AboutDlg, ShowsTheProgramsOwnVersion)
{
    CAboutDlg dlg;
    EXPECT_EQ(dlg.GetVersionFieldText(),
              QString::fromStdString(CAboutDlg::VersionText(VOCAMO_VERSION_RECORD)));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("About Vocamo"));
    EXPECT_EQ(dlg.GetPhonebookText(), QString());
    dlg.ShowPhonebookPath(QStringLiteral("/home/anna/.config/vocamo/Bookmark.ini"));
    EXPECT_EQ(dlg.GetPhonebookText(),
              QStringLiteral("Phonebook: /home/anna/.config/vocamo/Bookmark.ini"));
}
