#include "app/AboutDlg.h"

#include <gtest/gtest.h>

using namespace vocamo;

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
