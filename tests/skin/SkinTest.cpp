#include "skin/Skin.h"

#include "phonebook/Bookmark.h"
#include "skin/ContactItem.h"
#include "skin/SkinButton.h"

#include <gtest/gtest.h>

using namespace vocamo;

// A click goes to the topmost shown element under it: never to the frame or body
// behind everything, nor to a hidden element, nor on an element's right or bottom edge.
TEST(Skin, ClicksGoToTheTopmostShownElement)
{
    CSkin skin;
    const CSkin::Elements &e = skin.GetElements();
    CSkinItemList &items = skin.Items();
    EXPECT_EQ(items.HitTest(40, 360), nullptr) << "the keypad is hidden";
    skin.SetKeypadHidden(false);
    EXPECT_EQ(items.HitTest(40, 360), e.keys[0]);
    EXPECT_EQ(items.HitTest(222, 30), e.close);
    EXPECT_EQ(items.HitTest(223, 30), nullptr);
    EXPECT_EQ(items.HitTest(222, 31), nullptr);

    // A long number reaches under the panel's close button, which stays on top.
    items.SetHiddenByKind(kind::kPanel, false);
    items.SetHiddenByKind(kind::kPanelClose, false);
    CSkinButton *entry =
        skin.AddNumberEntry(CSkin::Number::Home, "0123456789 0123456789 0123", nullptr);
    CBookmark ada("Ada Lovelace", 0);
    CContactItem *row = skin.AddNameRow(ada, nullptr);
    row->SetHidden(false);
    items.LayoutAll();
    ASSERT_GT(entry->GetWholeRect().right, 337);
    EXPECT_EQ(items.HitTest(140, 130), entry);
    EXPECT_EQ(items.HitTest(330, 125), e.panelClose);
    EXPECT_EQ(items.HitTest(300, 250), e.panel);
    EXPECT_EQ(items.HitTest(row->GetTextRect().right - 2, row->GetTextRect().top + 2), row)
        << "on the name";
}

// Rows hang 5 apart from (45, 90), number entries 15 apart from (134, 124) with
// the number 10 right and 8 down; the modem button, linked to the Skype
// button, stays put. Scrolling offsets the first row at every layout.
TEST(Skin, RowsAndNumberEntriesFollowTheOneBefore)
{
    CSkin skin;
    const CBookmark book[] = {CBookmark("Ada", 0), CBookmark("Ben", 1), CBookmark("Cy", 2)};
    CContactItem *rows[3] = {};
    for (int i = 0; i < 3; ++i)
        rows[i] = skin.AddNameRow(book[i], i ? rows[i - 1] : nullptr);
    CSkinButton *home = skin.AddNumberEntry(CSkin::Number::Home, "111", nullptr);
    CSkinButton *mobile = skin.AddNumberEntry(CSkin::Number::Mobile, "222", home);
    CSkinButton *office = skin.AddNumberEntry(CSkin::Number::Office, "333", mobile);
    skin.Items().LayoutAll();
    EXPECT_EQ(rows[0]->GetImageRect(), (SkinRect{45, 90, 61, 115}));
    EXPECT_EQ(office->GetImageRect(), (SkinRect{134, 224, 168, 259}));
    EXPECT_EQ(QPoint(office->GetTextRect().left, office->GetTextRect().top), QPoint(178, 232));
    EXPECT_EQ(skin.GetElements().modemButton->GetImageRect(), (SkinRect{119, 44, 225, 67}));

    rows[0]->SetOffset(0, -7);
    skin.Items().LayoutAll();
    skin.Items().LayoutAll();
    EXPECT_EQ(rows[0]->GetImageRect().top, 76);
    EXPECT_EQ(rows[2]->GetImageRect().top, 136);

    rows[0]->SetChainHidden(false);
    rows[1]->SetChainHidden(true); // hides that row and those after it only
    EXPECT_TRUE(!rows[0]->IsHidden() && rows[1]->IsHidden() && rows[2]->IsHidden());
}
