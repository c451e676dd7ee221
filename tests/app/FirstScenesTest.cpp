// The first two scenes driven frame by frame from the game's own definitions and art: the
// splash's curtain and picture lead to the loading scene once "preloading" is in; the loading
// scene fills its bar, keeps an early click and leads to the lobby. Pictures of both are
// written under build/pictures/gui for a person to look at.

#include <chrono>
#include <thread>

#include "app/GameServicesFixture.h"
#include "framework/core/TransitionScene.h"
#include "game/app/SceneLoad.h"
#include "game/app/SceneSplash.h"
#include "gui/HeadlessPicture.h"

namespace {

class FirstScenes : public SceneTest {
protected:
    FirstScenes() {
        startDefinitions();
        resources = startLoader({"preloading"});
        resources->clearQueue();
        manager = SceneManager::createInstance();
        splash = objectCast<SceneSplash>(manager->createScene("SCENE_SPLASH"));
        load = objectCast<SceneLoad>(manager->createScene("SCENE_LOAD"));
        lobby = manager->createScene("SCENE_LOBBY");
    }

    SceneSplash* splash = nullptr;
    SceneLoad* load = nullptr;
    Scene* lobby = nullptr;
};

TEST_F(FirstScenes, TheSplashCoversTheScreenShowsItsPictureAndLeavesForTheLoadingScene) {
    ASSERT_NE(splash, nullptr);
    ASSERT_NE(load, nullptr);
    manager->requestScene(splash);
    manager->update(FRAME_MS);
    // Our branding file skips the logo: the curtain is opaque at once.
    ASSERT_NE(splash->getCurtain(), nullptr);
    EXPECT_EQ(splash->getCurtain()->getAlpha(), 255);
    EXPECT_EQ(splash->getCurtain()->getWidth(), 800);
    EXPECT_EQ(splash->getFadeTime(), 500);
    EXPECT_EQ(splash->getDisplayTime(), 1700);

    // The title picture starts after the curtain's 200 ms and is fully shown after its fade.
    EXPECT_NEAR(runUntil([&] { return splash->getPictureIndex() == 1; }, 1000), 200, 2 * FRAME_MS);
    runUntil([] { return false; }, 900);
    writeScenePicture(splash, "splash");
    EXPECT_FALSE(splash->isReadyToLeave());

    // Picture 1 does not exist: once the first has faded out the scene leaves, at once since
    // "preloading" is loaded, through the splash transition.
    const int32_t leftAfter = runUntil([&] { return manager->getRequestedScene() == load; }, 4000);
    EXPECT_GT(leftAfter, 1500);
    ASSERT_NE(manager->getTransition(), nullptr);
    EXPECT_EQ(manager->getTransition()->getName(), "TRANSITION_SPLASH");
    EXPECT_EQ(splash->getPictureIndex(), 1);
}

TEST_F(FirstScenes, AClickWhileLoadingIsKeptAndTheLobbyFollowsOnceLoadingIsComplete) {
    ASSERT_NE(load, nullptr);
    ASSERT_NE(lobby, nullptr);
    resources->requestSectionLoad("default");
    manager->requestScene(load);
    manager->update(FRAME_MS);
    ASSERT_NE(load->getProgressBar(), nullptr);
    writeScenePicture(load, "loading");
    EXPECT_FALSE(load->getClickText()->isVisible());
    load->onLeftButtonUp(400, 300, 0);
    EXPECT_TRUE(load->isClickPending());
    EXPECT_NE(manager->getRequestedScene(), lobby);

    // Without the application the scene does not sleep itself: the loader gets real time here.
    ASSERT_GE(runUntil(
                  [&] {
                      std::this_thread::sleep_for(std::chrono::milliseconds(2));
                      return load->isComplete();
                  },
                  20000),
              0);
    // The click was acted on in the frame that completed loading.
    EXPECT_FALSE(load->isClickPending());
    EXPECT_EQ(manager->getRequestedScene(), lobby);
    EXPECT_EQ(manager->getTransition()->getName(), "TRANSITION_DEFAULT");
    EXPECT_TRUE(load->getClickText()->isVisible());
    EXPECT_FALSE(load->getLoadingText()->isVisible());
    EXPECT_EQ(load->getProgressBar()->getClipRect()->w, load->getProgressBar()->getWidth());
}

TEST_F(FirstScenes, WithEverythingLoadedTheClickTextShowsAtOnceAndOnlyAClickLeaves) {
    manager->requestScene(load);
    manager->update(FRAME_MS);
    manager->update(FRAME_MS);
    EXPECT_TRUE(load->isComplete());
    EXPECT_TRUE(load->getClickText()->isVisible());
    EXPECT_EQ(load->getProgressBar()->getClipRect()->w, load->getProgressBar()->getWidth());
    runUntil([] { return false; }, 400);
    writeScenePicture(load, "loading-complete");
    EXPECT_EQ(manager->getRequestedScene(), nullptr);
    EXPECT_FALSE(load->onLeftButtonUp(400, 300, 0));
    EXPECT_EQ(manager->getRequestedScene(), lobby);
}

TEST(LoadingBar, CountsFromTheFirstMeasurementAndIsFullWhenThatWasAlreadyComplete) {
    EXPECT_DOUBLE_EQ(SceneLoad::barFraction(0.5, 0.5), 0.0);
    EXPECT_DOUBLE_EQ(SceneLoad::barFraction(0.5, 0.75), 0.5);
    EXPECT_DOUBLE_EQ(SceneLoad::barFraction(0.0, 1.0), 1.0);
    EXPECT_DOUBLE_EQ(SceneLoad::barFraction(1.0, 1.0), 1.0);
}

}  // namespace
