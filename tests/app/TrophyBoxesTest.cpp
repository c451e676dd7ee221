// The small boxes of the trophies as the game authors them: the room info and the trophy text
// over the cabinet (their pop-up states, sizes and interruptions), the trophy notice of the
// game screen (its slide, its click and its one call back), and the award panel's painter.
#include <cstring>

#include "app/ChoiceDialogsFixture.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/nodes/ResourceLookup.h"
#include "game/dialogs/DialogRoomInfo.h"
#include "game/dialogs/DialogTrophyInfo.h"
#include "game/dialogs/DialogTrophyText.h"
#include "game/dialogs/HeaderDialogPainter.h"
#include "game/profile/TrophyList.h"

namespace trophy_boxes_test {

int boxesGone = 0;

int32_t countGone(void*, BaseObject*) {
    ++boxesGone;
    return 0;
}

class TrophyBoxesTest : public ChoiceDialogsTest {
protected:
    void SetUp() override {
        ChoiceDialogsTest::SetUp();
        loadResources({"TROPHY_PANEL_TOP", "TROPHY_PANEL_FOOT"}, "default");
        loadResources(
            {"TROPHY_03", "INFO_FRAME_TL", "INFO_FRAME_T", "INFO_FRAME_TR", "INFO_FRAME_L",
             "INFO_FRAME_R", "INFO_FRAME_BL", "INFO_FRAME_B", "INFO_FRAME_BR"},
            "trophy");
        boxesGone = 0;
    }
    template <class T>
    T* openBox(const char* key) {
        T* box = objectCast<T>(scene->getDialog(key));
        if (box) {
            scene->openDialog(box);
        }
        return box;
    }
    int32_t t() const { return tuning().INFO_DIALOGS_ANIM_TIME; }
};

TEST_F(TrophyBoxesTest, TheRoomInfoGrowsThenFadesItsTextInAndTurnsBackMidway) {
    auto* info = openBox<DialogRoomInfo>("DIALOG_ROOM_INFO");
    ASSERT_NE(info, nullptr);
    EXPECT_FALSE(info->isVisible());
    Label* text = info->getTextLabel();
    info->setText(L"Room 123: won");
    EXPECT_EQ(info->getRequestedWidth(), text->getWidth() + 25);
    // A click on the box goes through to the cabinet.
    EXPECT_FALSE(info->onLeftButtonDown(info->getX(), info->getY(), 1, false));

    info->popIn();
    info->popIn();  // no restart
    frames(t() + 10);
    EXPECT_FLOAT_EQ(info->getScale(), 1.0f);
    EXPECT_LT(text->getAlpha(), 80);
    frames(t() + 10);
    EXPECT_EQ(info->getPopState(), DialogRoomInfo::SHOWN);
    EXPECT_EQ(text->getAlpha(), 255);

    // Fading out, then in again: the text comes back from where it stood, without a new scale.
    info->popOut();
    frames(t() / 2);
    const int32_t halfFaded = text->getAlpha();
    EXPECT_LT(halfFaded, 255);
    EXPECT_GT(halfFaded, 0);
    info->popIn();
    EXPECT_FLOAT_EQ(info->getScale(), 1.0f);
    frames(t() + 20);
    EXPECT_EQ(text->getAlpha(), 255);
    frames(t());
    EXPECT_EQ(info->getPopState(), DialogRoomInfo::SHOWN);

    // Out for good, then in and out again halfway through the scale: it shrinks from there.
    info->popOut();
    frames(2 * t() + 20);
    EXPECT_EQ(info->getPopState(), DialogRoomInfo::HIDDEN);
    EXPECT_FALSE(info->isVisible());
    info->popIn();
    frames(t() / 2);
    const float half = info->getScale();
    EXPECT_GT(half, 0.3f);
    EXPECT_LT(half, 0.7f);
    info->popOut();
    EXPECT_EQ(info->getPopState(), DialogRoomInfo::SHRINKING);
    frames(t() / 2);
    EXPECT_LT(info->getScale(), half);
    frames(t() / 2 + 20);
    EXPECT_EQ(info->getPopState(), DialogRoomInfo::HIDDEN);
    EXPECT_FALSE(info->isVisible());
    EXPECT_FLOAT_EQ(info->getScale(), 0.0f);
}

TEST_F(TrophyBoxesTest, TheTrophyTextGrowsUpwardWithItsTextsAndShrinksAtOnceWhenCutShort) {
    auto* box = openBox<DialogTrophyText>("DIALOG_TROPHY_TEXT");
    ASSERT_NE(box, nullptr);
    // Its y is its centre; it keeps its bottom edge, the definition's y + height.
    const int32_t bottom = box->getY() + box->getRequestedHeight();
    box->setTexts(L"Big Score",
                  L"Score more than 100,000 points in a floor level. Best floor "
                  L"score: 123456. A long text that wraps onto a second line.");
    Label* header = box->getHeaderLabel();
    Label* text = box->getTextLabel();
    EXPECT_LE(text->getLines().size(), 2u);
    EXPECT_GT(text->getLines().size(), 0u);
    const int32_t withHeader = box->getRequestedHeight();
    EXPECT_EQ(withHeader, 54 + text->getHeight());
    EXPECT_EQ(box->getY() - withHeader / 2 + withHeader, bottom);
    const int32_t textY = text->getY();

    // Without a header the box is shorter by the header's height, the body where it was.
    box->setTexts(L"", text->getText());
    EXPECT_EQ(box->getRequestedHeight(), withHeader - header->getHeight());
    EXPECT_EQ(text->getY(), textY - header->getHeight());
    // Filled again with a header, the body goes back (it does not walk up).
    box->setTexts(L"Big Score", text->getText());
    EXPECT_EQ(text->getY(), textY);

    box->appear();
    box->appear();
    EXPECT_EQ(box->getPopState(), DialogTrophyText::APPEARING);
    frames(t() / 2);
    box->disappear();  // while appearing: straight to the shrink, the labels never faded in
    EXPECT_EQ(box->getPopState(), DialogTrophyText::SHRINKING);
    EXPECT_EQ(text->getAlpha(), 0);
    frames(t() + 20);
    EXPECT_EQ(box->getPopState(), DialogTrophyText::HIDDEN);
    EXPECT_FALSE(box->isVisible());
}

TEST_F(TrophyBoxesTest, TheNoticeSlidesToTheMiddleWaitsAndLeavesOnceWithItsCallback) {
    TrophyList& trophies = player().getTrophies();
    // Held here: a notice that has gone is dropped by its scene.
    RefHolder<DialogTrophyInfo> notice =
        objectCast<DialogTrophyInfo>(scene->getDialog("DIALOG_TROPHY_INFO"));
    ASSERT_NE(notice, nullptr);
    notice->setTrophy(trophies.getTrophy(TrophyId::QUICK_BONUS));
    notice->setCallback(this, &countGone);
    scene->openDialog(notice.get());
    EXPECT_EQ(notice->getHeaderLabel()->getText(), L"Quick Start");
    // Its picture is the shelf picture, from the cabinet's section.
    Sprite* picture = objectCast<Sprite>(notice->findChild("SPRITE_TROPHY"));
    {
        ResourceManager::DataLock lock;
        EXPECT_EQ(picture->getImage(), findLoadedResource("TROPHY_03", "trophy"));
    }
    const int32_t width = notice->getWidth();
    EXPECT_EQ(notice->getX(), -width);
    frames(520);
    EXPECT_EQ(notice->getX(), (800 - width) / 2);
    frames(tuning().TROPHY_INFO_SHOW_TIME + 520);
    EXPECT_GE(notice->getX(), 800);
    frames(20);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_TROPHY_INFO"));
    EXPECT_EQ(boxesGone, 1);

    // A click while it slides in sends it off from where it is, and is not consumed.
    scene->openDialog(notice.get());
    frames(250);
    const int32_t x = notice->getX();
    EXPECT_LT(x, (800 - width) / 2);
    EXPECT_FALSE(notice->onLeftButtonDown(x + 5, notice->getY() + 5, 1, false));
    frames(250);
    EXPECT_GT(notice->getX(), x);
    frames(300);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_TROPHY_INFO"));
    EXPECT_EQ(boxesGone, 2);
    // A click beside it changes nothing.
    scene->openDialog(notice.get());
    frames(520);
    EXPECT_FALSE(notice->onLeftButtonDown(5, 590, 1, false));
    frames(100);
    EXPECT_EQ(notice->getX(), (800 - width) / 2);
}

TEST_F(TrophyBoxesTest, TheHeaderPainterAddsItsDecorationsWhereEnabled) {
    PropertyNode* definition = GuiDefinitions::instance()->findTemplate("TROPHY_PAINTER");
    RefHolder<HeaderDialogPainter> painter = make<HeaderDialogPainter>(definition);
    ASSERT_NE(painter, nullptr);
    EXPECT_TRUE(painter->isEnabled(HeaderDialogPainter::TOP));
    EXPECT_FALSE(painter->isEnabled(HeaderDialogPainter::LEFT));
    const auto paint = [](AbstractPainter* with) {
        RefHolder<Image> target = Image::createImage(300, 120, 4);
        RefHolder<Graphics> graphics = target->createGraphics();
        with->paint(graphics.get());
        return target;
    };
    RefHolder<Image> decorated = paint(painter.get());
    // The same frame without decorations: the nine pieces alone, as the plain painter draws.
    RefHolder<PropertyNode> plainDefinition = nodeFrom(
        "<DialogPainter id=\"P\" section=\"default\" centercolor=\"#FFF6EFE0\" "
        "adjustalpha=\"true\" initalpha=\"true\"><Vector id=\"images\">"
        "<String value=\"IMAGE_FRAME_TL\"/><String value=\"IMAGE_FRAME_T\"/>"
        "<String value=\"IMAGE_FRAME_TR\"/><String value=\"IMAGE_FRAME_L\"/><String value=\"\"/>"
        "<String value=\"IMAGE_FRAME_R\"/><String value=\"IMAGE_FRAME_BL\"/>"
        "<String value=\"IMAGE_FRAME_B\"/><String value=\"IMAGE_FRAME_BR\"/></Vector>"
        "</DialogPainter>",
        "P");
    RefHolder<DialogPainter> plain = make<DialogPainter>(plainDefinition.get());
    ASSERT_NE(plain, nullptr);
    RefHolder<Image> framed = paint(plain.get());
    // Rows that differ: only those of the top plate (20 high) and the bottom foot (10 high).
    const size_t row = 300 * 4;
    bool topDiffers = false;
    bool bottomDiffers = false;
    for (int32_t y = 0; y < 120; ++y) {
        const bool differs =
            std::memcmp(decorated->getPixels() + y * row, framed->getPixels() + y * row, row) != 0;
        if (y < 20) {
            topDiffers = topDiffers || differs;
        } else if (y >= 110) {
            bottomDiffers = bottomDiffers || differs;
        } else {
            EXPECT_FALSE(differs) << "row " << y;
        }
    }
    EXPECT_TRUE(topDiffers);
    EXPECT_TRUE(bottomDiffers);

    // "enabled" by position: "0" turns the top off only; "" keeps all four.
    RefHolder<PropertyNode> topOff = nodeFrom("<HeaderDialogPainter id=\"H\" enabled=\"0\"/>", "H");
    RefHolder<HeaderDialogPainter> noTop = make<HeaderDialogPainter>(topOff.get());
    EXPECT_FALSE(noTop->isEnabled(HeaderDialogPainter::TOP));
    EXPECT_TRUE(noTop->isEnabled(HeaderDialogPainter::BOTTOM));
    EXPECT_TRUE(noTop->isEnabled(HeaderDialogPainter::RIGHT));
    RefHolder<PropertyNode> empty = nodeFrom("<HeaderDialogPainter id=\"H\" enabled=\"\"/>", "H");
    RefHolder<HeaderDialogPainter> all = make<HeaderDialogPainter>(empty.get());
    for (int32_t k = 0; k < 4; ++k) {
        EXPECT_TRUE(all->isEnabled(k));
    }
}

}  // namespace trophy_boxes_test
