// The phonebook editor's flows, as the user sees them.
#include "tests/support/EditorFixture.h"

#include <QMouseEvent>

using namespace vocamo;

namespace {

const char *const kTwo = "[Carl]\nPhone_Home=300\nPhone_Office=301\nPhone_Mobile=302\n"
                         "[anna]\nPhone_Home=100\nPhone_Office=101\nPhone_Mobile=102\n";

} // namespace

TEST_F(EditorTest, NewTypeApplyCreatesTheEntryAndOkSavesAgainAndHides)
{
    CBookmarkDlg &dlg = Shown(kTwo);
    EXPECT_EQ(ListTexts(), (QStringList{"anna", "Carl"})); // without regard to case
    EXPECT_EQ(Boxes(), (QStringList{"anna", "100", "101", "102"}));
    Click("new"); // nothing left selected for a Delete, typing starts at the name
    EXPECT_EQ(Boxes(), (QStringList{"", "", "", ""}));
    EXPECT_TRUE(List()->selectedItems().isEmpty());
    EXPECT_EQ(dlg.focusWidget(), Box("name"));
    Type("name", "Bob");
    Type("home", "0221 55");
    Click("apply");
    EXPECT_EQ(FileText(),
              QByteArray(kTwo) + "[Bob]\nPhone_Home=0221 55\nPhone_Office=\nPhone_Mobile=\n");
    EXPECT_EQ(ListTexts(), (QStringList{"anna", "Bob", "Carl"}));
    EXPECT_EQ(m_main.Messages(), (std::vector<PostedMessage>{
                                     {WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_BOOKMARKCHANGED}}));
    EXPECT_TRUE(dlg.isVisible());
    Type("home", "555");
    QTest::keyClick(Box("home"), Qt::Key_Return); // Enter in a box is OK
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(Value("Bob", "Phone_Home"), "555");
    EXPECT_EQ(Notices(), 2u);
    EXPECT_EQ(m_boxes.Count(), 0u); // nothing to ask at New, nor at Apply or OK
}

TEST_F(EditorTest, ChangedEntryAndAnotherChoiceAskAndYesSaves)
{
    Shown(kTwo);
    Type("name", "Bob"); // a new name: anna's numbers under it
    m_boxes.Answer(QMessageBox::Yes);
    ClickName("Carl");
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, "Save changes?");
    EXPECT_EQ(Value("Bob", "Phone_Office"), "101");
    EXPECT_EQ(Notices(), 1u); // the phone's list follows at once
    EXPECT_EQ(ListTexts(), (QStringList{"anna", "Bob", "Carl"}));
    // The clicked entry is loaded, though the list was rebuilt around it.
    EXPECT_EQ(Boxes(), (QStringList{"Carl", "300", "301", "302"}));

    Type("home", "111");
    m_boxes.Answer(QMessageBox::Yes);
    Click("new");
    EXPECT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(Value("Carl", "Phone_Home"), "111");
    EXPECT_EQ(Boxes(), (QStringList{"", "", "", ""}));
}

TEST_F(EditorTest, ChangedEntryAndAnotherChoiceAnsweredNoDropsTheChange)
{
    Shown(kTwo);
    Type("office", "999");
    m_boxes.Answer(QMessageBox::No);
    ClickName("Carl");
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(Value("anna", "Phone_Office"), "101");
    EXPECT_EQ(Boxes(), (QStringList{"Carl", "300", "301", "302"}));
    // Back to the first entry: nothing to ask, its stored numbers come back.
    ClickName("anna");
    EXPECT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(Boxes(), (QStringList{"anna", "100", "101", "102"}));
}

TEST_F(EditorTest, CloseAndCancelHideWithoutSavingAndTheNextShowingRereads)
{
    CBookmarkDlg &dlg = Shown(kTwo);
    for (const char *button : {"close", "cancel"}) {
        dlg.ShowBeside(QPoint(200, 100));
        Type("home", "555");
        Click(button);
        EXPECT_FALSE(dlg.isVisible()) << button;
    }
    EXPECT_EQ(FileText(), kTwo);
    EXPECT_EQ(m_main.Count() + m_boxes.Count(), 0u);
    WriteFile("[Dora]\nPhone_Mobile=7\n");
    dlg.ShowBeside(QPoint(200, 100));
    EXPECT_EQ(Boxes(), (QStringList{"Dora", "", "", "7"}));
}

TEST_F(EditorTest, DeleteAsksAndSelectsTheTopEntryOrSaysChooseOne)
{
    Shown(kTwo);
    ClickName("Carl");
    m_boxes.Answer(QMessageBox::Yes);
    Click("delete");
    EXPECT_EQ(m_boxes.Last().text, "Delete Carl from the phonebook?");
    EXPECT_EQ(m_boxes.Last().icon, QMessageBox::Question);
    EXPECT_EQ(m_default.last, QMessageBox::No);
    EXPECT_EQ(FileText(), "[anna]\nPhone_Home=100\nPhone_Office=101\nPhone_Mobile=102\n");
    EXPECT_EQ(Boxes(), (QStringList{"anna", "100", "101", "102"}));
    EXPECT_EQ(Notices(), 1u); // the phone no longer lists it

    Click("apply"); // the list is read again, with nothing selected
    m_boxes.Answer(QMessageBox::Ok);
    Click("delete");
    EXPECT_EQ(m_boxes.Last().text, "Choose one to delete");
    EXPECT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(Value("anna", "Phone_Home"), "100");
}

TEST_F(EditorTest, EachBoxTakes22CharactersButNeverHalfACharacter)
{
    Shown("");
    for (const char *box : {"name", "home", "office", "mobile"}) {
        Type(box, QStringLiteral("abcdefghijklmnopqrstuvwxyz0123"));
        EXPECT_EQ(Box(box)->text(), QStringLiteral("abcdefghijklmnopqrstuv")) << box;
    }
    Type("name", QString(21, QLatin1Char('a')));
    Box("name")->insert(QString::fromUtf8("\xF0\x9F\x93\x9E")); // a character of two units
    EXPECT_EQ(Box("name")->text(), QString(21, QLatin1Char('a')));
}

TEST_F(EditorTest, LongerNumberFromTheFileIsShownWholeAndNotTakenForAChange)
{
    Shown("[anna]\nPhone_Home=0049 221 5550 1234 5678 90\n[Carl]\n");
    EXPECT_EQ(Box("home")->text(), QStringLiteral("0049 221 5550 1234 5678 90"));
    ClickName("Carl");
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(Value("anna", "Phone_Home"), "0049 221 5550 1234 5678 90");
    // Once the box holds a short text, the limit is back.
    Type("home", QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(Box("home")->text().size(), 22);
}

TEST_F(EditorTest, ShapeCutsAwayTheMagentaOfTheBackground)
{
    const QImage background = Shown("").GetBackground().convertToFormat(QImage::Format_RGB32);
    const QRegion mask = m_dlg->mask();
    int key = 0;
    for (int y = 0; y < background.height(); ++y) {
        for (int x = 0; x < background.width(); ++x) {
            const bool isKey = (background.pixel(x, y) & 0xFFFFFF) == 0xFF00FF;
            key += isKey;
            ASSERT_EQ(mask.contains(QPoint(x, y)), !isKey) << x << "," << y;
        }
    }
    EXPECT_GT(key, 0);
}

// 50 px left of and below the phone, but whole on the screen.
TEST_F(EditorTest, OpensBesideThePhoneWithinTheScreen)
{
    CBookmarkDlg &dlg = Shown("");
    const QRect area = dlg.screen()->availableGeometry();
    dlg.ShowBeside(area.topLeft());
    EXPECT_EQ(dlg.pos(), area.topLeft() + QPoint(0, 50));
    dlg.ShowBeside(area.bottomRight());
    EXPECT_EQ(dlg.frameGeometry().bottomRight(), area.bottomRight());
}

TEST_F(EditorTest, DraggingTheBackgroundMovesTheDialog)
{
    CBookmarkDlg &dlg = Shown("");
    const QPoint start = dlg.pos();
    const QPoint grip(330, 100), to = grip + QPoint(25, 15); // background, away from controls
    ASSERT_EQ(dlg.childAt(grip), nullptr);
    QMouseEvent press(QEvent::MouseButtonPress, grip, dlg.mapToGlobal(grip), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&dlg, &press);
    QMouseEvent move(QEvent::MouseMove, to, dlg.mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&dlg, &move);
    EXPECT_EQ(dlg.pos(), start + QPoint(25, 15));
}
