#include "skin/Skin.h"

#include "phonebook/Bookmark.h"
#include "resources/Resources.h"
#include "skin/ContactItem.h"
#include "skin/SkinButton.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

using namespace vocamo;

// A picture missing from the resources would leave a hole in the window; the
// ring is played from beside the executable, so the build must put it there.
TEST(Skin, EveryPictureLoadsAndTheRingIsBesideTheExecutable)
{
    EXPECT_TRUE(CSkin().AllImagesLoaded());
    EXPECT_FALSE(QImage(IconResourcePath()).isNull());
    QFile ring(QCoreApplication::applicationDirPath() + QStringLiteral("/RING.WAV"));
    ASSERT_TRUE(ring.open(QIODevice::ReadOnly));
    EXPECT_EQ(ring.read(4), QByteArray("RIFF"));
}

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
