// The first two scenes driven frame by frame from the game's own definitions and art: the
// splash's logo, curtain and picture lead to the loading scene once "preloading" is in; the loading
// scene fills its bar, keeps an early click, sweeps a light over its logo once loaded and leads
// to the lobby. Pictures of both are written under build/pictures/gui for a person to look at.

#include <cstring>
#include <set>
#include <vector>

#include "app/GameServicesFixture.h"
#include "framework/core/Random.h"
#include "framework/nodes/Sprite.h"
#include "framework/scene/TransitionScene.h"
#include "game/app/SceneLoad.h"
#include "game/app/SceneSplash.h"
#include "game/app/ThresholdSprite.h"
#include "game/visuals/GameModifiers.h"
#include "gui/HeadlessPicture.h"
#include "testsupport/e2e/RoadLevels.h"
#include "testsupport/platform/LoaderPass.h"

namespace first_scenes_test {

int32_t colorChannel(uint32_t pixel, int32_t shift) {
    return static_cast<int32_t>((pixel >> shift) & 0xFF);
}

// The gilt and brass pixels of the maker's word mark, in its place right of the badge.
int32_t giltPixels(Image* screen) {
    int32_t count = 0;
    for (int32_t y = 215; y < 295; ++y) {
        for (int32_t x = 400; x < 590; ++x) {
            const uint32_t p = testpixels::get32(screen, x, y);
            if (colorChannel(p, 16) > 150 && colorChannel(p, 8) > 100 &&
                colorChannel(p, 0) < colorChannel(p, 16) - 40) {
                ++count;
            }
        }
    }
    return count;
}

bool ivory(uint32_t pixel) {
    return colorChannel(pixel, 16) > 235 && colorChannel(pixel, 8) > 235 &&
           colorChannel(pixel, 0) > 220;
}

class FirstScenes : public SceneTest {
protected:
    FirstScenes() {
        startDefinitions();
        startSound();
        resources = startLoader({"splash", "preloading"});
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

TEST_F(FirstScenes, TheMakersLogoIsWipedInLayerByLayerBeforeTheSplashLeavesForTheLoadingScene) {
    ASSERT_NE(splash, nullptr);
    manager->requestScene(splash);
    manager->update(FRAME_MS);
    // The shipped branding file plays the logo: no curtain yet.
    EXPECT_FALSE(splash->isLogoDone());
    EXPECT_EQ(splash->getCurtain(), nullptr);
    // Six layers are wiped in, each through a mask of its own picture's size.
    int32_t wiped = 0;
    GameNode::walk(
        splash->getComponents(),
        [](GameNode* node, void* count) {
            if (auto* layer = objectCast<ThresholdSprite>(node)) {
                ASSERT_TRUE(layer->getSource() && layer->getMask()) << layer->getX();
                EXPECT_EQ(layer->getMask()->getWidth(), layer->getSource()->getWidth());
                EXPECT_EQ(layer->getMask()->getHeight(), layer->getSource()->getHeight());
                ++*static_cast<int32_t*>(count);
            }
        },
        &wiped);
    EXPECT_EQ(wiped, 6);

    // Halfway through the white ring's wipe, which runs clockwise from the top: its right side
    // shows and its left does not yet; the green band is in, the word mark is not.
    run(3440);
    RefHolder<Image> wipe = writeScenePicture(splash, "splash-logo-wipe");
    ASSERT_NE(wipe, nullptr);
    EXPECT_TRUE(ivory(testpixels::get32(wipe.get(), 388, 281)));
    EXPECT_EQ(testpixels::get32(wipe.get(), 252, 281) & 0xFFFFFF, 0u);
    const uint32_t band = testpixels::get32(wipe.get(), 321, 230);
    EXPECT_GT(colorChannel(band, 8), colorChannel(band, 16) + 40) << std::hex << band;
    EXPECT_EQ(giltPixels(wipe.get()), 0);

    // The whole logo, with both of its sounds played.
    run(2200);
    RefHolder<Image> logo = writeScenePicture(splash, "splash-logo");
    ASSERT_NE(logo, nullptr);
    EXPECT_TRUE(ivory(testpixels::get32(logo.get(), 252, 281)));
    EXPECT_GT(giltPixels(logo.get()), 1000);
    std::vector<std::string> played;
    for (const auto& [number, channelState] : mixer->channels) {
        played.push_back(mixer->samples[channelState.sample].source);
    }
    ASSERT_EQ(played.size(), 2u);
    EXPECT_NE(played[0].find("brastel_splash.wav"), std::string::npos) << played[0];
    EXPECT_NE(played[1].find("brastel.wav"), std::string::npos) << played[1];
    EXPECT_FALSE(splash->isLogoDone());

    // Then the curtain fades in over the logo and the title picture follows.
    ASSERT_GE(runUntil([&] { return splash->getCurtain() != nullptr; }, 1500), 0);
    EXPECT_TRUE(splash->isLogoDone());
    EXPECT_LT(splash->getCurtain()->getAlpha(), 255);
    ASSERT_GE(runUntil([&] { return splash->getPictureIndex() == 1; }, 1000), 0);
    RefHolder<Image> covered = writeScenePicture(splash, "splash-logo-covered");
    ASSERT_NE(covered, nullptr);
    const uint32_t behind = testpixels::get32(covered.get(), 388, 281);
    EXPECT_LT(colorChannel(behind, 16) + colorChannel(behind, 8) + colorChannel(behind, 0), 24)
        << "the curtain hides the logo: " << std::hex << behind;
    EXPECT_GT(runUntil([&] { return manager->getRequestedScene() == load; }, 4000), 1500);
    EXPECT_EQ(manager->getTransition()->getName(), "TRANSITION_SPLASH");
}

TEST_F(FirstScenes, WithTheLogoOffTheCurtainCoversTheScreenAtOnceAndThePictureLeadsOn) {
    ASSERT_NE(splash, nullptr);
    ASSERT_NE(load, nullptr);
    TempFolder program;
    skipMakersLogo(std::filesystem::current_path(), program.path / "game");
    CurrentFolderScope inProgram(program.path / "game");
    manager->requestScene(splash);
    manager->update(FRAME_MS);
    ASSERT_NE(splash->getCurtain(), nullptr);
    EXPECT_TRUE(splash->isLogoDone());
    EXPECT_EQ(splash->getComponents()->getFirstChild(), nullptr) << "no logo layer is made";
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

    // Without the application the scene does not sleep itself: the loader ends a pass here.
    ASSERT_GE(runUntil(
                  [&] {
                      waitForALoaderPass();
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

TEST_F(FirstScenes, OnceLoadedTheLogoShinesOnTheNextFrameAndThenEveryOneToFourSeconds) {
    Random::createInstance(29);
    SceneLoad::resetShineCountdown();
    resources->requestSectionLoad("default");
    manager->requestScene(load);
    manager->update(FRAME_MS);
    auto* logo = objectCast<Sprite>(load->findChild("LOGO"));
    ASSERT_NE(logo, nullptr);
    const RefHolder<Image> plain(logo->getImage());
    ASSERT_NE(plain.get(), nullptr);
    // The shines on the logo, and the one that began in the frame just run (its first step).
    const auto shines = [&] {
        std::vector<ModifierShine*> found;
        for (const RefHolder<Modifier>& modifier : logo->getRunningModifiers()) {
            if (auto* shine = objectCast<ModifierShine>(modifier.get())) {
                found.push_back(shine);
            }
        }
        return found;
    };
    const auto begunIn = [&](int32_t frameMs) -> ModifierShine* {
        for (ModifierShine* shine : shines()) {
            if (shine->getElapsed() == frameMs) {
                return shine;
            }
        }
        return nullptr;
    };

    int32_t loadingFrames = 0;
    while (!load->isComplete() && loadingFrames < 20000 / FRAME_MS) {
        EXPECT_TRUE(shines().empty());
        EXPECT_EQ(logo->getImage(), plain.get());
        waitForALoaderPass();
        manager->update(FRAME_MS);
        ++loadingFrames;
    }
    ASSERT_TRUE(load->isComplete());
    EXPECT_GT(loadingFrames, 0) << "\"default\" was loaded before the scene's first frame";
    EXPECT_TRUE(shines().empty()) << "no shine in the frame that completed loading";

    manager->update(FRAME_MS);
    ModifierShine* first = begunIn(FRAME_MS);
    ASSERT_NE(first, nullptr) << "the first shine comes on the first frame after completion";
    EXPECT_EQ(first->getDuration(), 1000);

    // Millisecond frames from here: the pause between two shines is exact.
    std::vector<int32_t> starts{0};
    RefHolder<Image> midShine;
    for (int32_t time = 1; time <= 20000; ++time) {
        manager->update(1);
        if (begunIn(1)) {
            starts.push_back(time);
        }
        EXPECT_LE(shines().size(), 1u) << "shines overlap at " << time << " ms";
        if (time == 500) {
            midShine = writeScenePicture(load, "loading-shine");
            ASSERT_NE(midShine, nullptr);
            // The light is added to the logo's colours inside its outline only: some pixels are
            // brighter, none darker, and the transparent corners stay transparent.
            Image* shining = logo->getImage();
            ASSERT_NE(shining, plain.get());
            ASSERT_EQ(shining->getBytesPerPixel(), 4);
            int32_t brighter = 0;
            for (int32_t y = 0; y < plain->getHeight(); ++y) {
                for (int32_t x = 0; x < plain->getWidth(); ++x) {
                    const uint32_t was = testpixels::get32(plain.get(), x, y);
                    const uint32_t now = testpixels::get32(shining, x, y);
                    ASSERT_EQ(now >> 24, was >> 24) << x << "," << y;
                    for (int32_t shift : {0, 8, 16}) {
                        ASSERT_GE((now >> shift) & 0xFF, (was >> shift) & 0xFF) << x << "," << y;
                    }
                    brighter += now != was ? 1 : 0;
                }
            }
            EXPECT_GT(brighter, 1000);
        }
    }
    ASSERT_GE(starts.size(), 6u);
    std::set<int32_t> pauses;
    for (size_t i = 1; i < starts.size(); ++i) {
        const int32_t pause = starts[i] - starts[i - 1];
        EXPECT_GE(pause, 1000);
        EXPECT_LE(pause, 3999);
        pauses.insert(pause);
    }
    EXPECT_GT(pauses.size(), 1u) << "the pauses are drawn at random";

    // Between shines the logo has its own picture back, with nothing of the light left in it.
    ASSERT_GE(runUntil([&] { return shines().empty(); }, 1100), 0);
    EXPECT_EQ(logo->getImage(), plain.get());
}

TEST(LoadingBar, CountsFromTheFirstMeasurementAndIsFullWhenThatWasAlreadyComplete) {
    EXPECT_DOUBLE_EQ(SceneLoad::barFraction(0.5, 0.5), 0.0);
    EXPECT_DOUBLE_EQ(SceneLoad::barFraction(0.5, 0.75), 0.5);
    EXPECT_DOUBLE_EQ(SceneLoad::barFraction(0.0, 1.0), 1.0);
    EXPECT_DOUBLE_EQ(SceneLoad::barFraction(1.0, 1.0), 1.0);
}

// The splash's threshold pass at both window depths: the mask's values order the reveal, 255
// never shows, a threshold already applied is not applied again, and a mask smaller than the
// picture leaves the picture as it was.
class ThresholdWipe : public GameServicesTest {};

TEST_F(ThresholdWipe, RevealsInMaskOrderAtBothDepthsAndNeverShowsTheLastValue) {
    for (int32_t depth : {4, 2}) {
        SCOPED_TRACE(depth);
        display.desktopDepth = depth;
        openWindow(depth, 0);
        RefHolder<Image> picture = Image::createImage(4, 1, depth);
        RefHolder<Image> mask = Image::createImage(4, 1, 1);
        std::memset(picture->getPixels(), 0x5A, size_t(picture->getPitch()));
        const uint8_t order[] = {0, 100, 200, 255};
        for (int32_t x = 0; x < 4; ++x) {
            *picture->getAlphaAddress(x, 0) = 200;
            *mask->getAlphaAddress(x, 0) = order[x];
        }
        RefHolder<ThresholdSprite> sprite = new ThresholdSprite(0, 0);
        sprite->setImage(picture.get());
        sprite->setMask(mask.get());
        RefHolder<Graphics> screen = Image::createImage(8, 8, depth)->createGraphics();
        Image* work = sprite->getImage();
        ASSERT_EQ(work->getBytesPerPixel(), depth);
        const auto shownAfter = [&](float fraction) {
            sprite->setThresholdFraction(fraction);
            sprite->render(screen.get());
            std::string shown;
            for (int32_t x = 0; x < 4; ++x) {
                shown += std::to_string(*work->getAlphaAddress(x, 0)) + " ";
            }
            return shown;
        };
        EXPECT_EQ(shownAfter(0.0f), "0 0 0 0 ");
        EXPECT_EQ(shownAfter(0.5f), "200 200 0 0 ");
        EXPECT_EQ(shownAfter(1.0f), "200 200 200 0 ");
        EXPECT_EQ(std::memcmp(work->getPixels(), picture->getPixels(), size_t(depth)), 0);
        *work->getAlphaAddress(0, 0) = 7;
        EXPECT_EQ(shownAfter(1.0f), "7 200 200 0 ") << "the same threshold is not applied again";
        sprite->setMask(Image::createImage(3, 1, 1));
        EXPECT_EQ(shownAfter(0.2f), "7 200 200 0 ");
        GameWindow::releaseInstance();
    }
}

}  // namespace first_scenes_test
