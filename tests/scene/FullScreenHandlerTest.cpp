// The full-screen frame buttons: built from their template, placed right to left, shown and
// taking clicks only in full screen once enabled, following the mode and the current scene;
// and sound muted while the window is inactive.
#include "framework/scene/FullScreenHandler.h"

#include "framework/os/Messages.h"
#include "framework/platform/IGameSettings.h"
#include "framework/platform/SettingsManager.h"
#include "framework/platform/SoundStream.h"
#include "gui/ButtonFixture.h"
#include "gui/SceneProbes.h"
#include "testsupport/os/FakeKeyStore.h"

namespace full_screen_handler_test {

class QuitProbeScene : public Scene {
public:
    QuitProbeScene() : Scene(nullptr) {}
    void onQuitRequest() override { ++quitRequests; }
    int quitRequests = 0;
};

constexpr const char* HANDLER_TEMPLATE =
    "<Node id=\"templates\"><FullScreenHandler id=\"DEFAULT_FSH\">"
    "<Button id=\"button_quit\" image=\"STRIP\" section=\"gui\"/>"
    "<Button id=\"button_restore\" image=\"STRIP\" section=\"gui\"/>"
    "<Button id=\"button_minimize\" image=\"STRIP\" section=\"gui\"/>"
    "</FullScreenHandler></Node>";

class FullScreenHandlerTest : public ButtonTest {
protected:
    void SetUp() override {
        ButtonTest::SetUp();
        KeyStore::setCurrentUser(&store);
        SettingsManager::createInstance(new IGameSettings());
        scene = new QuitProbeScene();
        SceneManager::getInstance()->addScene("probe", scene.get());
        SceneManager::getInstance()->requestScene(scene.get());
        SceneManager::getInstance()->update(20);
    }
    void TearDown() override {
        FullScreenHandler::releaseInstance();
        SettingsManager::releaseInstance();
        KeyStore::setCurrentUser(nullptr);
        ButtonTest::TearDown();
    }
    FullScreenHandler* makeHandler() {
        definitionsFrom(HANDLER_TEMPLATE);
        FullScreenHandler* handler = FullScreenHandler::createSetup("DEFAULT_FSH");
        if (handler) {
            handler->setX(800);
        }
        return handler;
    }
    // A click at the point through the frame's own input handler.
    void click(FullScreenHandler* handler, int32_t x, int32_t y) {
        handler->getInputHandler()->onMouseMove(x, y, 0);
        handler->getInputHandler()->onLeftButtonDown(x, y, 1, false);
        handler->getInputHandler()->onLeftButtonUp(x, y, 0);
    }

    FakeKeyStore store;
    RefHolder<QuitProbeScene> scene;
};

TEST_F(FullScreenHandlerTest, TheFrameFollowsTheModeAndTheCurrentScene) {
    GameWindow* window = GameWindow::getInstance();
    window->setFullScreen(true);
    FullScreenHandler* handler = makeHandler();
    ASSERT_NE(handler, nullptr);
    EXPECT_EQ(FullScreenFrame::get(), handler);
    ASSERT_NE(handler->getRestoreButton(), nullptr);
    EXPECT_EQ(handler->getQuitButton()->getX(), -20);
    EXPECT_EQ(handler->getRestoreButton()->getX(), -40);
    EXPECT_EQ(handler->getMinimiseButton()->getX(), -60);

    // Not yet enabled by the lobby: hidden, and a click on the quit button does nothing.
    handler->attachToScene(nullptr);
    handler->setFrameInputActive(true);
    EXPECT_FALSE(handler->isVisible());
    EXPECT_EQ(handler->getParent(), scene->getTree());
    click(handler, 790, 5);
    EXPECT_EQ(scene->quitRequests, 0);

    handler->setEnabled(true);
    handler->setFrameInputActive(true);
    handler->attachToScene(nullptr);
    EXPECT_TRUE(handler->isVisible());
    click(handler, 790, 5);
    EXPECT_EQ(scene->quitRequests, 1);

    // Restore: a window; the setting is stored, the frame hidden and deaf.
    click(handler, 770, 5);
    EXPECT_FALSE(window->isFullScreen());
    EXPECT_FALSE(SettingsManager::instance()->getSettings()->getFullscreen());
    EXPECT_FALSE(handler->isVisible());
    click(handler, 790, 5);
    EXPECT_EQ(scene->quitRequests, 1);

    // Back to full screen: shown on top of the current scene's dialogs again.
    GameNode::appendChild(new Sprite(0, 0, 5, 5), scene->getTree());
    window->toggleFullScreen();
    EXPECT_TRUE(SettingsManager::instance()->getSettings()->getFullscreen());
    EXPECT_TRUE(handler->isVisible());
    EXPECT_EQ(scene->getTree()->getLastChild(), handler);
    click(handler, 790, 5);
    EXPECT_EQ(scene->quitRequests, 2);

    // Minimise.
    display.calls.clear();
    click(handler, 750, 5);
    EXPECT_NE(std::find(display.calls.begin(), display.calls.end(), "minimise"),
              display.calls.end());

    // Released from the scene's tree, the frame is gone.
    FullScreenHandler::releaseInstance();
    EXPECT_EQ(FullScreenFrame::get(), nullptr);
}

TEST_F(FullScreenHandlerTest, OnAScreenNoLargerThanTheGameThereIsNoRestoreButton) {
    GameWindow::releaseInstance();
    display.screenW = 800;
    display.screenH = 600;
    open(true);
    ASSERT_FALSE(GameWindow::getInstance()->canRunWindowed());
    FullScreenHandler* handler = makeHandler();
    ASSERT_NE(handler, nullptr);
    EXPECT_EQ(handler->getRestoreButton(), nullptr);
    EXPECT_EQ(handler->getMinimiseButton()->getX(), -40);

    // Never attached to a scene, the frame is gone when released too.
    FullScreenHandler::releaseInstance();
    EXPECT_EQ(FullScreenFrame::get(), nullptr);
}

TEST_F(FullScreenHandlerTest, LosingTheFocusSilencesEffectsAndMusicUntilItComesBack) {
    FullScreenHandler* handler = makeHandler();
    ASSERT_NE(handler, nullptr);
    SoundManager* sound = SoundManager::getInstance();
    sound->setEffectsVolume(200);
    RefHolder<SoundStream> music = new SoundStream();
    music->setFileName("theme.ogg");
    ASSERT_TRUE(sound->startStream(music.get(), nullptr, SoundManager::RESTART_STREAM_MODE));
    sound->setStreamVolume(music.get(), 180);
    const int32_t channel = music->getChannel();

    send(WM_KILLFOCUS);
    EXPECT_TRUE(sound->isMuted());
    EXPECT_EQ(mixer->effectsMasterVolume, 0);
    EXPECT_EQ(mixer->channels[channel].volume, 0);

    send(WM_SETFOCUS);
    EXPECT_FALSE(sound->isMuted());
    EXPECT_EQ(mixer->effectsMasterVolume, 200);
    EXPECT_GT(mixer->channels[channel].volume, 0);
}

}  // namespace full_screen_handler_test
