// The yes/no question as the game authors it (DIALOG_YESNO with the game's frame, fonts and
// buttons), asked over a lobby-colored scene and faded in, drawn headless into
// build/pictures/gui/question-over-scene.png.
#include "app/GameMediaFixture.h"
#include "framework/core/Scene.h"
#include "framework/core/SceneManager.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "game/dialogs/DialogYesNo.h"
#include "game/rules/TuningConstants.h"
#include "gui/HeadlessPicture.h"
#include "platform/PixelAccess.h"

using namespace testpixels;

TEST_F(GameMediaTest, TheQuestionOverAScene) {
    loadResources({"IMAGE_FRAME_TL", "IMAGE_FRAME_T", "IMAGE_FRAME_TR", "IMAGE_FRAME_L",
                   "IMAGE_FRAME_R", "IMAGE_FRAME_BL", "IMAGE_FRAME_B", "IMAGE_FRAME_BR"},
                  "default");
    loadResources({"FONT_BODY", "FONT_HEADER", "IMAGE_BUTTON_YES", "IMAGE_BUTTON_NO"},
                  "preloading");
    ASSERT_GT(tuning().DIALOG_FADE_TIME, 0);
    BasicProperties::instance()->setText(
        "PICTURE_QUESTION",
        L"Your place on this floor is kept. Do you really want to leave the building?");
    BasicProperties::instance()->setText("PICTURE_HEADER", L"Leave the game");

    SceneManager* scenes = SceneManager::createInstance();
    RefHolder<Scene> scene = runLobbyColoredScene(scenes);

    DialogYesNo* question = DialogYesNo::ask("PICTURE_QUESTION", "PICTURE_HEADER", nullptr, nullptr,
                                             nullptr, nullptr, scene.get());
    ASSERT_NE(question, nullptr);
    // The header fits the message area, so the authored layout is never widened.
    EXPECT_LE(question->getHeader()->getWidth(), question->getMessage()->getWidth());
    EXPECT_EQ(question->getMessage()->getLines().size(), 2u);
    // Without a game window there is nothing to centre on: placed by hand before it opens.
    question->setPosition((800 - question->getWidth()) / 2, (600 - question->getHeight()) / 2);
    scene->openDialog(question);
    scenes->update(tuning().DIALOG_FADE_TIME + 10);
    scenes->update(10);
    EXPECT_EQ(question->getAlpha(), 255);
    EXPECT_TRUE(question->getComponentsContainer().isActive());

    RefHolder<Image> shown = writeScenePicture(scene.get(), "question-over-scene");
    ASSERT_NE(shown, nullptr);
    // The lobby is darkened around the question; the buttons sit inside the paper.
    EXPECT_EQ(colorAt(shown.get(), 5, 5), (0x6B4426u >> 1) & 0x7F7F7Fu);
    Button* yes = question->getYesButton();
    const uint32_t onButton =
        colorAt(shown.get(), yes->getAbsoluteX() + 4, yes->getAbsoluteY() + 30);
    EXPECT_LT(onButton >> 16, 0x80u);
    scenes->update(10);
    SceneManager::releaseInstance();
}
