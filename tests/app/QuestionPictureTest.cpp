// The yes/no question as the game authors it (DIALOG_YESNO with the game's frame, fonts and
// buttons), asked over a lobby-colored scene and faded in, drawn headless into
// build/pictures/gui/question-over-scene.png.
#include "app/GameMediaFixture.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"
#include "game/dialogs/DialogYesNo.h"
#include "game/rules/TuningConstants.h"
#include "gui/HeadlessPicture.h"
#include "testsupport/platform/PixelAccess.h"

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

    DialogYesNo* question =
        DialogYesNo::ask("PICTURE_QUESTION", "PICTURE_HEADER", {}, {}, scene.get());
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

    // Every question the game asks, and one whose header is wider than its message: each part
    // lies inside the frame, clear of its edges, and none covers another.
    BasicProperties::instance()->setText("PICTURE_WIDE", L"A header far wider than its message");
    for (const auto& [message, header] : std::vector<std::pair<const char*, const char*>>{
             {"CTEXT_QUESTION_QUIT", "CTEXT_QUIT_HEADER"},
             {"CTEXT_QUESTION_QUIT_NOT_KEPT", "CTEXT_QUIT_HEADER"},
             {"CTEXT_QUESTION_QUIT_NOT_SAVED", "CTEXT_QUIT_HEADER"},
             {"CTEXT_QUESTION_QUIT_FLOOR", "CTEXT_QUIT_HEADER"},
             {"CTEXT_START_RECENT_SAVEGAME", "CTEXT_SAVEGAME_HEADER"},
             {"TEXT_STUCK_RECROOM", "TEXT_STUCK_RECROOM_HEADER"},
             {"TEXT_STUCK_QUOVEL", "TEXT_STUCK_QUOVEL_HEADER"},
             {"TEXT_REMOVE_PLAYER", "TEXT_REMOVE_PLAYER_HEADER"},
             {"TEXT_MENU_STOP_QUOVEL", "CTEXT_MENU_STOP_HEADER"},
             {"CTEXT_MENU_STOP", "CTEXT_MENU_STOP_HEADER"},
             {"CTEXT_LOADING", "PICTURE_WIDE"}}) {
        DialogYesNo* asked = DialogYesNo::ask(message, header, {}, {}, scene.get());
        std::vector<Rect> parts;
        for (Sprite* part :
             std::initializer_list<Sprite*>{asked->getHeader(), asked->getMessage(),
                                            asked->getYesButton(), asked->getNoButton()}) {
            parts.push_back({part->getLeft(), part->getTop(), part->getWidth(), part->getHeight()});
            const Rect inner{16, 8, asked->getWidth() - 32, asked->getHeight() - 16};
            EXPECT_EQ(intersectRects(parts.back(), inner), parts.back()) << message;
            for (size_t other = 0; other + 1 < parts.size(); ++other) {
                EXPECT_FALSE(rectsOverlap(parts[other], parts.back())) << message;
            }
        }
    }
    scenes->update(10);
    SceneManager::releaseInstance();
}
