#include "tests/phonebook/EditorFixture.h"

using namespace vocamo;

namespace {

const char *const kTwo = "[Carl]\nPhone_Home=300\nPhone_Office=301\nPhone_Mobile=302\n"
                         "[anna]\nPhone_Home=100\nPhone_Office=101\nPhone_Mobile=102\n";

} // namespace

// ---- showing ----

TEST_F(EditorTest, ShowingListsNamesWithoutRegardToCaseAndLoadsTheTopOne)
{
    WriteFile("[bob]\n[Carl]\n[anna]\nPhone_Home=1\n[Anna2]\n");
    Shown();
    EXPECT_EQ(ListTexts(), (QStringList{"anna", "Anna2", "bob", "Carl"}));
    EXPECT_EQ(Selected(), "anna");
    EXPECT_EQ(Boxes(), (QStringList{"anna", "1", "", ""}));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(EditorTest, EachShowingReadsTheFileAgain)
{
    WriteFile(kTwo);
    CBookmarkDlg &dlg = Shown();
    Click("close");
    WriteFile("[Dora]\nPhone_Mobile=7\n");
    dlg.ShowBeside(QPoint(200, 100));
    EXPECT_EQ(ListTexts(), QStringList{"Dora"});
    EXPECT_EQ(Boxes(), (QStringList{"Dora", "", "", "7"}));
}

TEST_F(EditorTest, ShownBesideTheMainWindow)
{
    CBookmarkDlg &dlg = Dlg();
    dlg.ShowBeside(QPoint(300, 120));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.pos(), QPoint(250, 170));
    EXPECT_EQ(dlg.size(), QSize(360, 200));
}

// ---- New and Apply ----

TEST_F(EditorTest, NewTypeApplyCreatesTheSectionListsItInPlaceAndTellsTheMainWindow)
{
    WriteFile(kTwo);
    CBookmarkDlg &dlg = Shown();
    Click("new");
    EXPECT_EQ(m_boxes.Count(), 0u); // nothing changed, nothing asked
    EXPECT_EQ(Boxes(), (QStringList{"", "", "", ""}));
    Type("name", "Bob");
    Type("home", "0221 55");
    Type("mobile", "0171");
    Click("apply");

    EXPECT_EQ(Sections(), (std::vector<std::string>{"Carl", "anna", "Bob"}));
    EXPECT_EQ(Value("Bob", "Phone_Home"), "0221 55");
    EXPECT_EQ(Value("Bob", "Phone_Office"), "");
    EXPECT_EQ(Value("Bob", "Phone_Mobile"), "0171");
    EXPECT_EQ(ListTexts(), (QStringList{"anna", "Bob", "Carl"}));
    EXPECT_EQ(m_main.Messages(), (std::vector<PostedMessage>{{WM_APP_EVENT, 3, 33}}));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(EditorTest, NewAfterAChangeAsksAndYesSavesBeforeEmptyingTheBoxes)
{
    WriteFile(kTwo);
    Shown();
    Type("home", "111");
    m_boxes.Answer(QMessageBox::Yes);
    Click("new");
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, "Save changes?");
    EXPECT_EQ(Value("anna", "Phone_Home"), "111");
    EXPECT_EQ(Boxes(), (QStringList{"", "", "", ""}));
    EXPECT_EQ(Notices(), 0u);
}

TEST_F(EditorTest, ApplyWithNoMainWindowSendsNothing)
{
    WriteFile(kTwo);
    CBookmarkDlg &dlg = Dlg(nullptr);
    dlg.ShowBeside(QPoint(200, 100));
    Type("home", "9");
    Click("apply");
    Click("ok");
    EXPECT_EQ(Value("anna", "Phone_Home"), "9");
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(EditorTest, NameDifferingOnlyInCaseSavesIntoTheExistingSection)
{
    WriteFile(kTwo);
    Shown();
    Click("new");
    Type("name", "ANNA");
    Type("home", "42");
    Click("apply");
    EXPECT_EQ(Sections(), (std::vector<std::string>{"Carl", "anna"}));
    EXPECT_EQ(Value("anna", "Phone_Home"), "42");
    EXPECT_EQ(ListTexts(), (QStringList{"anna", "Carl"}));
}

TEST_F(EditorTest, RenamingAndSavingLeavesBothSections)
{
    WriteFile(kTwo);
    Shown();
    Type("name", "Anne");
    Click("apply");
    EXPECT_EQ(Sections(), (std::vector<std::string>{"Carl", "anna", "Anne"}));
    EXPECT_EQ(Value("Anne", "Phone_Home"), "100");
    EXPECT_EQ(Value("anna", "Phone_Home"), "100");
    EXPECT_EQ(ListTexts(), (QStringList{"anna", "Anne", "Carl"}));
}

// ---- selection change ----

TEST_F(EditorTest, ChangedNumberAndAnotherSelectionAskYesWritesAndSelectsTheClickedEntry)
{
    WriteFile(kTwo);
    Shown();
    Type("home", "999");
    m_boxes.Answer(QMessageBox::Yes);
    ClickName("Carl");

    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, "Save changes?");
    EXPECT_EQ(m_boxes.Last().icon, QMessageBox::Critical);
    EXPECT_EQ(m_boxes.Last().buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(Value("anna", "Phone_Home"), "999");
    EXPECT_EQ(Selected(), "Carl");
    EXPECT_EQ(Boxes(), (QStringList{"Carl", "300", "301", "302"}));
    EXPECT_EQ(Notices(), 0u);
}

TEST_F(EditorTest, ChangedNumberAndAnotherSelectionAnsweredNoDropsTheChange)
{
    WriteFile(kTwo);
    Shown();
    Type("office", "999");
    m_boxes.Answer(QMessageBox::No);
    ClickName("Carl");

    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(Value("anna", "Phone_Office"), "101");
    EXPECT_EQ(Selected(), "Carl");
    EXPECT_EQ(Boxes(), (QStringList{"Carl", "300", "301", "302"}));
    // Back to the first entry: nothing to ask, its stored numbers come back.
    ClickName("anna");
    EXPECT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(Boxes(), (QStringList{"anna", "100", "101", "102"}));
}

TEST_F(EditorTest, RenameAnsweredYesOnSelectionKeepsTheClickedEntrySelected)
{
    WriteFile(kTwo);
    Shown();
    Type("name", "Zoe");
    m_boxes.Answer(QMessageBox::Yes);
    ClickName("Carl");
    EXPECT_EQ(ListTexts(), (QStringList{"anna", "Carl", "Zoe"}));
    EXPECT_EQ(Selected(), "Carl");
    EXPECT_EQ(Value("Zoe", "Phone_Mobile"), "102");
}

TEST_F(EditorTest, SelectionWithUnchangedBoxesAsksNothing)
{
    WriteFile(kTwo);
    Shown();
    ClickName("Carl");
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(Boxes(), (QStringList{"Carl", "300", "301", "302"}));
}

// ---- OK, Close, Cancel, window close ----

TEST_F(EditorTest, OkSavesWithoutAskingAndHides)
{
    WriteFile("[anna]\nPhone_Home=100\n");
    CBookmarkDlg &dlg = Shown();
    Click("ok");
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_FALSE(dlg.isVisible());
    // Even unchanged, all three numbers are written again.
    EXPECT_EQ(FileText(), "[anna]\nPhone_Home=100\nPhone_Office=\nPhone_Mobile=\n");
    EXPECT_EQ(Notices(), 1u);
}

TEST_F(EditorTest, CloseCancelAndWindowCloseHideWithoutSaving)
{
    WriteFile(kTwo);
    const QByteArray before = FileText();
    CBookmarkDlg &dlg = Shown();
    for (const char *button : {"close", "cancel"}) {
        dlg.ShowBeside(QPoint(200, 100));
        Type("home", "555");
        Click(button);
        EXPECT_FALSE(dlg.isVisible()) << button;
    }
    dlg.ShowBeside(QPoint(200, 100));
    Type("home", "555");
    EXPECT_TRUE(dlg.close());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);

    EXPECT_EQ(FileText(), before);
    EXPECT_EQ(m_main.Count(), 0u);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// ---- Delete ----

TEST_F(EditorTest, DeletingTheLastEntryEmptiesListAndBoxes)
{
    WriteFile("[anna]\nPhone_Home=100\n");
    Shown();
    m_boxes.Answer(QMessageBox::Yes);
    Click("delete");
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, "Delete. Are you sure?");
    EXPECT_EQ(m_boxes.Last().icon, QMessageBox::Critical);
    EXPECT_TRUE(Sections().empty());
    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(Boxes(), (QStringList{"", "", "", ""}));
    EXPECT_EQ(Notices(), 0u); // seen at the next Apply or OK
}

TEST_F(EditorTest, DeleteSelectsTheTopEntryAfterwards)
{
    WriteFile(kTwo);
    Shown();
    ClickName("Carl");
    m_boxes.Answer(QMessageBox::Yes);
    Click("delete");
    EXPECT_EQ(Sections(), std::vector<std::string>{"anna"});
    EXPECT_EQ(Selected(), "anna");
    EXPECT_EQ(Boxes(), (QStringList{"anna", "100", "101", "102"}));
}

TEST_F(EditorTest, DeleteWithoutSelectionSaysChooseOneAndChangesNothing)
{
    WriteFile(kTwo);
    Shown();
    Click("apply"); // the list is read again, with nothing selected
    const QByteArray before = FileText();
    m_boxes.Answer(QMessageBox::Ok);
    Click("delete");
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, "Choose one to delete");
    EXPECT_EQ(m_boxes.Last().icon, QMessageBox::NoIcon);
    EXPECT_EQ(m_boxes.Last().buttons, QMessageBox::Ok);
    EXPECT_EQ(FileText(), before);
    EXPECT_EQ(ListTexts(), (QStringList{"anna", "Carl"}));
}

// ---- the boxes ----

TEST_F(EditorTest, EachBoxTakesAtMost22Characters)
{
    Shown();
    for (const char *box : {"name", "home", "office", "mobile"}) {
        Type(box, QStringLiteral("abcdefghijklmnopqrstuvwxyz0123"));
        EXPECT_EQ(Box(box)->text(), QStringLiteral("abcdefghijklmnopqrstuv")) << box;
    }
}

TEST_F(EditorTest, LimitNeverKeepsHalfACharacter)
{
    Shown();
    Type("name", QString(21, QLatin1Char('a')));
    Box("name")->insert(QString::fromUtf8("\xF0\x9F\x93\x9E")); // a character of two units
    EXPECT_EQ(Box("name")->text(), QString(21, QLatin1Char('a')));
}

TEST_F(EditorTest, LongerNumberFromTheFileIsShownWholeAndNotTakenForAChange)
{
    WriteFile("[anna]\nPhone_Home=0049 221 5550 1234 5678 90\n[Carl]\n");
    Shown();
    EXPECT_EQ(Box("home")->text(), QStringLiteral("0049 221 5550 1234 5678 90"));
    ClickName("Carl");
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(Value("anna", "Phone_Home"), "0049 221 5550 1234 5678 90");
    // Once the box holds a short text, the limit is back.
    Type("home", QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(Box("home")->text().size(), 22);
}
