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

namespace {

struct QuestionPart {
    int32_t left, top, right, bottom;
};

QuestionPart questionPartOf(Sprite* sprite) {
    return {sprite->getLeft(), sprite->getTop(), sprite->getLeft() + sprite->getWidth(),
            sprite->getTop() + sprite->getHeight()};
}

bool partsOverlap(const QuestionPart& a, const QuestionPart& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

// Every question the game asks, and one whose header is wider than its message, laid out with
// the game's fonts: each part lies inside the frame, and none covers another. The wide one is
// drawn into build/pictures/gui/question-wide-header.png.
TEST_F(GameMediaTest, EveryShippedQuestionFitsItsFrame) {
    loadResources({"IMAGE_FRAME_TL", "IMAGE_FRAME_T", "IMAGE_FRAME_TR", "IMAGE_FRAME_L",
                   "IMAGE_FRAME_R", "IMAGE_FRAME_BL", "IMAGE_FRAME_B", "IMAGE_FRAME_BR"},
                  "default");
    loadResources({"FONT_BODY", "FONT_HEADER", "IMAGE_BUTTON_YES", "IMAGE_BUTTON_NO"},
                  "preloading");
    BasicProperties::instance()->setText(
        "PICTURE_WIDE_HEADER", L"A header far wider than the message area below it");
    BasicProperties::instance()->setText("PICTURE_SHORT", L"Really?");
    SceneManager* scenes = SceneManager::createInstance();
    RefHolder<Scene> scene = runLobbyColoredScene(scenes);
    const std::vector<std::pair<const char*, const char*>> questions = {
        {"CTEXT_QUESTION_QUIT", "CTEXT_QUIT_HEADER"},
        {"CTEXT_START_RECENT_SAVEGAME", "CTEXT_SAVEGAME_HEADER"},
        {"TEXT_STUCK_RECROOM", "TEXT_STUCK_RECROOM_HEADER"},
        {"TEXT_STUCK_QUOVEL", "TEXT_STUCK_QUOVEL_HEADER"},
        {"TEXT_REMOVE_PLAYER", "TEXT_REMOVE_PLAYER_HEADER"},
        {"TEXT_MENU_STOP_QUOVEL", "CTEXT_MENU_STOP_HEADER"},
        {"CTEXT_MENU_STOP", "CTEXT_MENU_STOP_HEADER"},
        {"PICTURE_SHORT", "PICTURE_WIDE_HEADER"}};
    for (const auto& [messageKey, headerKey] : questions) {
        SCOPED_TRACE(messageKey);
        DialogYesNo* question =
            DialogYesNo::ask(messageKey, headerKey, nullptr, nullptr, nullptr, nullptr, scene.get());
        ASSERT_NE(question, nullptr);
        EXPECT_FALSE(question->getMessage()->getText().empty());
        EXPECT_FALSE(question->getHeader()->getText().empty());
        const QuestionPart frame{0, 0, question->getWidth(), question->getHeight()};
        const QuestionPart header = questionPartOf(question->getHeader());
        const QuestionPart message = questionPartOf(question->getMessage());
        const QuestionPart yes = questionPartOf(question->getYesButton());
        const QuestionPart no = questionPartOf(question->getNoButton());
        for (const QuestionPart& part : {header, message, yes, no}) {
            EXPECT_GE(part.left, frame.left + 16);
            EXPECT_GE(part.top, frame.top + 8);
            EXPECT_LE(part.right, frame.right - 16);
            EXPECT_LE(part.bottom, frame.bottom - 8);
        }
        EXPECT_FALSE(partsOverlap(header, message));
        EXPECT_FALSE(partsOverlap(message, yes));
        EXPECT_FALSE(partsOverlap(message, no));
        EXPECT_FALSE(partsOverlap(yes, no));
        // The header stays centred over the message.
        EXPECT_NEAR(header.left + header.right, message.left + message.right, 2);
        if (std::string(messageKey) == "PICTURE_SHORT") {
            EXPECT_GT(question->getWidth(), 440);
            question->setPosition((800 - question->getWidth()) / 2,
                                  (600 - question->getHeight()) / 2);
            scene->openDialog(question);
            scenes->update(tuning().DIALOG_FADE_TIME + 10);
            scenes->update(10);
            RefHolder<Image> shown = writeScenePicture(scene.get(), "question-wide-header");
            ASSERT_NE(shown, nullptr);
            // The buttons are drawn where they stand, apart from each other.
            Button* buttons[] = {question->getYesButton(), question->getNoButton()};
            for (Button* button : buttons) {
                EXPECT_LT(colorAt(shown.get(), button->getAbsoluteX() + 4,
                                  button->getAbsoluteY() + 30) >> 16,
                          0x80u);
            }
        }
    }
    scenes->update(10);
    SceneManager::releaseInstance();
}
