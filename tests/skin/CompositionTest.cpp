#include "skin/Composition.h"

#include "phonebook/Bookmark.h"
#include "skin/ContactItem.h"
#include "skin/Skin.h"
#include "skin/SkinButton.h"
#include "skin/SkinText.h"

#include <gtest/gtest.h>
#include <memory>

using namespace vocamo;

namespace {

// The smallest rectangle holding every pixel where the two pictures differ.
QRect Difference(const QImage &a, const QImage &b)
{
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

// The window's shape is the picture's alpha: clear where no element is. Composed
// into the same picture again, an element shown then hidden leaves no trace.
TEST(Composition, TransparentWhereNoElementIsAndHiddenLeavesNoTrace)
{
    CSkin skin;
    skin.Items().LayoutAll();
    const QImage clear = NewSkinPicture(kWindowWidth, kWindowHeight);
    const QImage before = ComposeWindow(skin.Items(), "");
    EXPECT_LT(Difference(before, clear).right(), 245) << "right of the telephone";
    EXPECT_EQ(qAlpha(before.pixel(0, 0)), 0) << "outside the rounded corner";
    EXPECT_EQ(qAlpha(before.pixel(120, 250)), 255) << "the screen";

    QImage picture;
    skin.Items().SetHiddenByKind(kind::kPanel, false);
    ASSERT_TRUE(ComposeWindow(picture, skin.Items(), ""));
    const QRect panel(120, 110, 235, 156);
    EXPECT_TRUE(panel.contains(Difference(before, picture))) << "the panel, and only it";
    skin.Items().SetHiddenByKind(kind::kPanel, true);
    ASSERT_TRUE(ComposeWindow(picture, skin.Items(), ""));
    EXPECT_EQ(picture, before);
}

// A row that is not selected keeps 100/255 of its opacity.
TEST(Composition, UnselectedRowIsDrawnAtAbout39Percent)
{
    CSkin skin;
    CBookmark ada("Ada", 0);
    CSkinItemList list;
    CContactItem *row = list.Add(std::make_unique<CContactItem>(&skin.RowImage(), &ada, nullptr));
    row->SetKind(kind::kNameRow);
    const QImage dim = ComposeWindow(list, "");
    row->SetSelected(true);
    const QImage lit = ComposeWindow(list, "");
    ASSERT_EQ(qAlpha(lit.pixel(8, 12)), 255);
    EXPECT_NEAR(qAlpha(dim.pixel(8, 12)), 100, 2);
}

// The dial string is drawn 7 right and 5 down from the display's corner,
// wherever the keypad has put the display; without a display, nothing is drawn.
TEST(Composition, DisplayTextOnlyWithADialString)
{
    CSkin skin;
    EXPECT_EQ(ComposeWindow(CSkinItemList(), "123"), NewSkinPicture(kWindowWidth, kWindowHeight));
    for (const bool keypadHidden : {true, false}) {
        skin.SetKeypadHidden(keypadHidden);
        skin.Items().LayoutAll();
        const QRect text =
            Difference(ComposeWindow(skin.Items(), ""), ComposeWindow(skin.Items(), "0123456"));
        const SkinRect display = skin.GetElements().display->GetWholeRect();
        EXPECT_TRUE(QRect(display.left + 7, display.top + 5, 10, display.Height() - 5)
                        .contains(text.topLeft()));
        EXPECT_LE(text.bottom(), display.bottom);
    }
}
