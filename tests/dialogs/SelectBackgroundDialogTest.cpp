// The background and tile-set choice as the game authors it: browsing with the arrows, the
// locks and the new markers by the player's unlocked items, OK storing the choice and marking
// what was shown as seen, cancel keeping the old choice; and the chosen set on a board.
#include <algorithm>
#include <string>

#include "app/ChoiceDialogsFixture.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/nodes/Sprite.h"
#include "game/dialogs/DialogSelectBackground.h"
#include "game/screen/LayoutRenderer.h"
#include "testsupport/platform/PictureWriter.h"
#include "testsupport/screen/SyntheticBoard.h"

namespace select_background_dialog_test {

class SelectBackgroundDialogTest : public ChoiceDialogsTest {
protected:
    std::wstring text(DialogSelectBackground* dialog, const char* name) {
        return objectCast<Label>(dialog->findChild(name))->getText();
    }
    bool enabled(DialogSelectBackground* dialog, const char* name) {
        return objectCast<Button>(dialog->findChild(name))->isEnabled();
    }
    bool shown(DialogSelectBackground* dialog, const char* name) {
        return dialog->findChild(name)->isVisible();
    }
    void press(DialogSelectBackground* dialog, const char* name, int times = 1) {
        for (int i = 0; i < times; ++i) {
            click(dialog, objectCast<Sprite>(dialog->findChild(name)));
        }
    }
    // True when the preview's pixel at (x, y) of its picture is grey.
    static bool greyAt(DialogSelectBackground* dialog, const char* preview, int32_t x, int32_t y) {
        const uint32_t pixel =
            testpixels::colorAt(objectCast<Sprite>(dialog->findChild(preview))->getImage(), x, y);
        return ((pixel >> 16) & 0xFF) == ((pixel >> 8) & 0xFF) &&
               ((pixel >> 8) & 0xFF) == (pixel & 0xFF);
    }
};

TEST_F(SelectBackgroundDialogTest, BrowsingLocksMarkersAndTheChoiceOnOk) {
    QuovelMahjongPlayer& ann = player();
    ann.unlockedStuff[6] = 1;   // backgrounds 3-6 new
    ann.unlockedStuff[16] = 0;  // backgrounds 7-10 closed
    ann.unlockedStuff[2] = 2;   // tile set 1 seen
    ann.unlockedStuff[9] = 1;   // tile set 2 new
    ann.unlockedStuff[14] = 0;  // tile set 3 closed
    auto* dialog = open<DialogSelectBackground>("DIALOG_SELECT_BACKGROUND");
    ASSERT_NE(dialog, nullptr);
    const int32_t count = QuovelMahjongPlayer::BACKGROUND_COUNT;
    const std::wstring ofAll = L"/" + std::to_wstring(count);
    EXPECT_EQ(text(dialog, "LABEL_BACKGROUND"), L"Each game's own");
    // Pictured as the games' cards split by a wooden gap.
    const Image* preview = objectCast<Sprite>(dialog->findChild("BACKGROUND_PREVIEW"))->getImage();
    for (int32_t x = 5; x < 223; ++x) {
        ASSERT_EQ(testpixels::colorAt(preview, x, 85) & 0xFFFFFF, 0x3B2414u) << x;
    }
    EXPECT_EQ(text(dialog, "LABEL_BACKGROUND_COUNT"), L"1" + ofAll);
    EXPECT_EQ(text(dialog, "LABEL_TILESET_COUNT"), L"1/4");
    EXPECT_FALSE(enabled(dialog, "BUTTON_PREV_BACKGROUND"));
    EXPECT_FALSE(enabled(dialog, "BUTTON_PREV_TILESET"));
    EXPECT_TRUE(enabled(dialog, "BUTTON_NEXT_BACKGROUND"));
    EXPECT_TRUE(enabled(dialog, "BUTTON_OK"));
    EXPECT_FALSE(shown(dialog, "BACKGROUND_LOCK") || shown(dialog, "NEW_BACK") ||
                 shown(dialog, "TILESET_LOCK") || shown(dialog, "NEW_TILE"));

    press(dialog, "BUTTON_NEXT_BACKGROUND", 3);
    EXPECT_EQ(text(dialog, "LABEL_BACKGROUND"), L"Background 3");
    EXPECT_TRUE(shown(dialog, "NEW_BACK"));
    EXPECT_FALSE(shown(dialog, "BACKGROUND_LOCK"));
    press(dialog, "BUTTON_NEXT_BACKGROUND", 4);
    EXPECT_EQ(text(dialog, "LABEL_BACKGROUND_COUNT"), L"8" + ofAll);
    EXPECT_TRUE(shown(dialog, "BACKGROUND_LOCK"));
    EXPECT_FALSE(shown(dialog, "NEW_BACK"));
    EXPECT_FALSE(enabled(dialog, "BUTTON_OK"));
    EXPECT_TRUE(greyAt(dialog, "BACKGROUND_PREVIEW", 100, 80));
    EXPECT_FALSE(greyAt(dialog, "BACKGROUND_PREVIEW", 1, 100));  // the frame stays brass
    press(dialog, "BUTTON_NEXT_BACKGROUND", 5);
    EXPECT_EQ(text(dialog, "LABEL_BACKGROUND_COUNT"), std::to_wstring(count) + ofAll);
    EXPECT_FALSE(enabled(dialog, "BUTTON_NEXT_BACKGROUND"));
    press(dialog, "BUTTON_PREV_BACKGROUND", 8);
    EXPECT_EQ(text(dialog, "LABEL_BACKGROUND"), L"Background 2");
    EXPECT_TRUE(enabled(dialog, "BUTTON_OK"));
    EXPECT_FALSE(greyAt(dialog, "BACKGROUND_PREVIEW", 100, 80));

    press(dialog, "BUTTON_NEXT_TILESET", 2);
    EXPECT_TRUE(shown(dialog, "NEW_TILE"));
    press(dialog, "BUTTON_NEXT_TILESET");
    EXPECT_EQ(text(dialog, "LABEL_TILESET"), L"Tile set 4");
    EXPECT_EQ(text(dialog, "LABEL_TILESET_COUNT"), L"4/4");
    EXPECT_TRUE(shown(dialog, "TILESET_LOCK"));
    EXPECT_FALSE(enabled(dialog, "BUTTON_OK"));
    EXPECT_FALSE(enabled(dialog, "BUTTON_NEXT_TILESET"));
    press(dialog, "BUTTON_PREV_TILESET", 2);
    EXPECT_FALSE(shown(dialog, "NEW_TILE"));  // tile set 1 was seen before
    EXPECT_TRUE(enabled(dialog, "BUTTON_OK"));
    EXPECT_EQ(ann.background, 0);  // nothing changes before OK

    press(dialog, "BUTTON_OK");
    EXPECT_EQ(ann.background, 2);
    EXPECT_EQ(ann.tileSet, 1);
    EXPECT_EQ(ann.unlockedStuff[6], 2);
    EXPECT_EQ(ann.unlockedStuff[9], 2);
    EXPECT_EQ(ann.unlockedStuff[16], 0);
    frames(tuning().DIALOG_FADE_TIME + 20);
    EXPECT_EQ(scene->findDialog("DIALOG_SELECT_BACKGROUND"), nullptr);

    // Cancel keeps the choice; a group never shown stays new; both locks need their entries.
    ann.unlockedStuff[16] = 1;  // backgrounds 7-10 opened, but 3-6 ...
    ann.unlockedStuff[6] = 0;   // ... still closed: background 7 stays locked
    ann.unlockedStuff[14] = 1;
    dialog = open<DialogSelectBackground>("DIALOG_SELECT_BACKGROUND");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(text(dialog, "LABEL_BACKGROUND"), L"Background 2");
    EXPECT_EQ(text(dialog, "LABEL_TILESET"), L"Tile set 2");
    press(dialog, "BUTTON_NEXT_BACKGROUND", 5);
    EXPECT_TRUE(shown(dialog, "BACKGROUND_LOCK"));
    EXPECT_FALSE(shown(dialog, "NEW_BACK"));
    press(dialog, "BUTTON_NEXT_TILESET");
    press(dialog, "BUTTON_CANCEL");
    EXPECT_EQ(ann.background, 2);
    EXPECT_EQ(ann.tileSet, 1);
    EXPECT_EQ(ann.unlockedStuff[16], 1);
    EXPECT_EQ(ann.unlockedStuff[14], 1);
    frames(tuning().DIALOG_FADE_TIME + 20);
}

TEST_F(SelectBackgroundDialogTest, TheDialogAndTheChosenSetOnABoardArePictured) {
    QuovelMahjongPlayer& ann = player();
    ann.unlockedStuff[6] = 1;
    ann.unlockedStuff[2] = 2;
    auto* dialog = open<DialogSelectBackground>("DIALOG_SELECT_BACKGROUND");
    ASSERT_NE(dialog, nullptr);
    press(dialog, "BUTTON_NEXT_BACKGROUND", 3);  // new
    press(dialog, "BUTTON_NEXT_TILESET", 2);     // locked
    ASSERT_NE(writeScenePicture(scene.get(), "select-background-dialog"), nullptr);

    // Background 2 and tile set 1 chosen.
    press(dialog, "BUTTON_PREV_BACKGROUND");
    press(dialog, "BUTTON_PREV_TILESET");
    press(dialog, "BUTTON_OK");
    frames(tuning().DIALOG_FADE_TIME + 20);
    ASSERT_EQ(ann.background, 2);
    ASSERT_EQ(ann.tileSet, 1);

    // The board as the game screen shows a chosen set: its background "BACKGROUND_CUSTOM" + n of
    // section "manual", the tiles drawn with the symbols of the player's tile set.
    loadResources({"TILE"}, "default");
    loadResources({"BACKGROUND_CUSTOM2", "SYMBOLS1", "SYMBOLS2", "SHADOW"}, "manual");
    RefHolder<Layout> layout = screen_test::makeLayout(screen_test::pyramid144());
    const auto drawBoard = [&]() {
        screen_test::Frame frame;
        RefHolder<Sprite> board = new Sprite();
        {
            ResourceManager::DataLock lock;
            board->setImage(objectCast<Image>(manager->getResourceHandle(
                "BACKGROUND_CUSTOM" + std::to_string(ann.background), "manual")));
        }
        EXPECT_NE(board->getImage(), nullptr);
        GameNode::appendChild(board.get(), frame.root());
        RefHolder<LayoutRenderer> renderer = new LayoutRenderer(ann.tileSet);
        renderer->build(layout.get(), {});
        renderer->setPosition((800 - renderer->getWidth()) / 2, (600 - renderer->getHeight()) / 2);
        GameNode::appendChild(renderer.get(), frame.root());
        frame.draw();
        return RefHolder<Image>(Image::copyImage(frame.picture()));
    };
    RefHolder<Image> chosen = drawBoard();
    ASSERT_NE(chosen, nullptr);
    EXPECT_TRUE(writeImagePng((pictureFolder() / "board-chosen-set.png").string(), chosen.get()));
    // The corner shows the chosen background; the first tile set draws other symbols.
    Image* background =
        objectCast<Image>(manager->getResourceHandle("BACKGROUND_CUSTOM2", "manual"));
    EXPECT_EQ(testpixels::colorAt(chosen.get(), 3, 3), testpixels::colorAt(background, 3, 3));
    ann.tileSet = 0;
    RefHolder<Image> first = drawBoard();
    int32_t differing = 0;
    for (int32_t y = 0; y < 600; y += 2) {
        for (int32_t x = 0; x < 800; x += 2) {
            differing +=
                testpixels::colorAt(first.get(), x, y) != testpixels::colorAt(chosen.get(), x, y);
        }
    }
    EXPECT_GT(differing, 2000);
}

}  // namespace select_background_dialog_test
