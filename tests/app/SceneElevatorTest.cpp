// The elevator driven frame by frame on the game's own definitions, art and texts: a new
// player's first visit (floor 1 opened by the host's finger snap, his welcome line), a ride to
// floor 1 with clicks that ends in the hallway (the opened button shining three times, the host's
// line typed out), rides that skip or take their full time with the cabin shaking only while it
// rides, the buttons a profile opens, and the host's choice of line with zero counts and failing
// statistics. Pictures of the cabin at rest and mid-ride go to build/pictures/gui.

#include <algorithm>
#include <regex>

#include "app/GameServicesFixture.h"
#include "framework/platform/Image.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/ResourceSection.h"
#include "framework/scene/TransitionScene.h"
#include "game/app/SceneElevator.h"
#include "game/app/SceneHallway.h"
#include "game/rules/TuningConstants.h"
#include "gui/HeadlessPicture.h"
#include "testsupport/platform/PixelAccess.h"

namespace scene_elevator_test {

// The sum of every byte of the picture's colour: a light swept over it raises it.
int64_t pictureWeight(Image* image) {
    int64_t sum = 0;
    const uint8_t* pixels = image->getPixels();
    const int32_t rowBytes = image->getWidth() * image->getBytesPerPixel();
    for (int32_t y = 0; pixels && y < image->getHeight(); ++y) {
        for (int32_t x = 0; x < rowBytes; ++x) {
            sum += pixels[y * image->getPitch() + x];
        }
    }
    return sum;
}

// The sum of the picture's coverage: what of it shows.
int64_t coverage(Image* image) {
    int64_t sum = 0;
    for (int32_t y = 0; y < image->getHeight(); ++y) {
        for (int32_t x = 0; x < image->getWidth(); ++x) {
            if (const uint8_t* alpha = image->getAlphaAddress(x, y)) {
                sum += *alpha;
            }
        }
    }
    return sum;
}

class ElevatorTest : public SceneTest {
protected:
    ElevatorTest() {
        startServices({.seed = 41, .sections = {"preloading", "default", "elevator", "manual"}});
        lobby = manager->createScene("SCENE_LOBBY");
        hallway = manager->createScene("SCENE_HALLWAY");
        elevator = objectCast<SceneElevator>(manager->createScene("SCENE_ELEVATOR"));
    }

    // From the lobby into the elevator, as the lobby's button does.
    void enterElevator() {
        manager->requestScene(lobby);
        runUntil([&] { return manager->getCurrentScene() == lobby; }, 3000);
        run(1000);  // the rest of a transition
        manager->requestScene(elevator);
        runUntil([&] { return manager->getCurrentScene() == elevator; }, 3000);
        ASSERT_EQ(manager->getCurrentScene(), elevator);
    }
    // A click on the middle of the stop's button through the scene's input handler.
    void click(int32_t stop) {
        Button* button = elevator->getStopButton(stop);
        clickMiddle(elevator, button, button->getWidth(), button->getHeight());
    }
    static void setTuning(const char* name, int32_t value) {
        BasicProperties::instance()->setInteger(name, value);
        loadTuningConstants();
    }

    Scene* lobby = nullptr;
    Scene* hallway = nullptr;
    SceneElevator* elevator = nullptr;
};

TEST_F(ElevatorTest, ANewPlayerGetsFloorOneFromTheHostAndRidesThereWithClicks) {
    ASSERT_NE(elevator, nullptr);
    ASSERT_NE(hallway, nullptr);
    ASSERT_NE(player, nullptr);
    enterElevator();

    // The first show opens floor 1, but its button waits for the finger snap.
    EXPECT_EQ(player->floorReached, 1);
    EXPECT_EQ(elevator->getPendingFloors(), std::vector<int32_t>{1});
    EXPECT_TRUE(elevator->areDoorsMoving());
    EXPECT_FALSE(elevator->getStopButton(1)->isEnabled());

    // The doors open over DOOR_ANIM_DELAY, each keeping a 20-pixel edge on screen.
    const int32_t opened = runUntil([&] { return !elevator->areDoorsMoving(); }, 2000);
    EXPECT_NEAR(opened, tuning().DOOR_ANIM_DELAY, 2 * FRAME_MS);
    EXPECT_EQ(elevator->getLeftDoor()->getX() + elevator->getLeftDoor()->getWidth(), 20);
    EXPECT_EQ(elevator->getRightDoor()->getX(), 780);
    EXPECT_TRUE(elevator->getStopButton(0)->isEnabled());
    RefHolder<Image> silent = writeScenePicture(elevator, "elevator-before-the-line");

    // The host's first line comes before the unlock step (a second after the doors, while his
    // fingers snap), so it is his welcome.
    const int32_t spoke = runUntil([&] { return elevator->hasHostSpoken(); }, 4000);
    ASSERT_GE(spoke, 0);
    EXPECT_FALSE(elevator->getPendingFloors().empty());
    EXPECT_EQ(elevator->getSpeechText()->getText(), getBasicText("TEXT_DORRICK_UNLOCKED1"));
    EXPECT_TRUE(elevator->getSpeechBalloon()->isVisible());

    // His line is typed out: from nothing, growing frame by frame, whole when its last line
    // has had its time.
    TypeLabel* line = elevator->getSpeechText();
    std::vector<int64_t> typed;
    bool typedOut = false;
    const auto sampleTyping = [&] {
        if (line->isVisible() && line->getImage() && !typedOut) {
            typed.push_back(coverage(line->getImage()));
            typedOut = line->isFinished();
        }
    };
    const auto stopOneOpen = [&] {
        sampleTyping();
        return elevator->getStopButton(1)->isEnabled();
    };
    const int32_t unlocked = runUntil(stopOneOpen, 4000);
    ASSERT_GE(unlocked, 0);
    EXPECT_NEAR(spoke + unlocked, 1000, 3 * FRAME_MS);
    EXPECT_TRUE(elevator->getPendingFloors().empty());

    // The opened button shines three times, half a second apart, and keeps its own picture.
    Button* floor1 = elevator->getStopButton(1);
    RefHolder<Image> plain(floor1->getImage());
    const int64_t plainWeight = pictureWeight(plain.get());
    std::vector<int32_t> sweepStarts;
    bool sweeping = false;
    int64_t brightest = 0;
    int32_t since = 0;
    const auto watchSweeps = [&] {
        sampleTyping();
        since += FRAME_MS;
        const bool now = floor1->getImage() != plain.get();
        if (now && !sweeping) {
            sweepStarts.push_back(since);
        }
        brightest = std::max(brightest, now ? pictureWeight(floor1->getImage()) : 0);
        sweeping = now;
        return since > 4000;
    };
    runUntil(watchSweeps, 5000);
    ASSERT_EQ(sweepStarts.size(), 3u);
    EXPECT_NEAR(sweepStarts[0], 1000, 2 * FRAME_MS);
    EXPECT_NEAR(sweepStarts[1] - sweepStarts[0], 1000, 2 * FRAME_MS);
    EXPECT_NEAR(sweepStarts[2] - sweepStarts[1], 1000, 2 * FRAME_MS);
    EXPECT_GT(brightest, plainWeight);
    EXPECT_EQ(floor1->getImage(), plain.get());

    ASSERT_GE(typed.size(), 10u);
    EXPECT_TRUE(line->isFinished());
    const int64_t whole = coverage(line->getImage());
    EXPECT_LT(typed.front(), whole / 10);
    EXPECT_EQ(typed.back(), whole);
    EXPECT_TRUE(std::is_sorted(typed.begin(), typed.end()));
    int32_t textLines = 0;
    for (const LabelLine& each : line->getLines()) {
        textLines += each.text.empty() ? 0 : 1;
    }
    ASSERT_GE(textLines, 2);
    // The label's own timing: a line takes 800 ms and each starts 700 ms after the one before.
    EXPECT_NEAR(static_cast<int32_t>(typed.size() - 1) * FRAME_MS, (textLines - 1) * 700 + 800,
                2 * FRAME_MS);
    EXPECT_TRUE(elevator->getSpeechText()->isVisible());
    EXPECT_EQ(elevator->getSnapSprite()->getFrame(), 0);
    writeScenePicture(elevator, "elevator-at-rest");
    elevator->hostSpeech();  // a new line over the open balloon folds it first
    RefHolder<Image> next = writeScenePicture(elevator, "elevator-next-line");
    EXPECT_EQ(testpixels::get32(next.get(), 300, 130), testpixels::get32(silent.get(), 300, 130));
    // The hallway's pictures are asked for once its floor is chosen, not while the lift waits.
    ResourceSection* hallwaySection = ResourceManager::getInstance()->getSection("hallway");
    ASSERT_NE(hallwaySection, nullptr);
    EXPECT_FALSE(hallwaySection->isStarted());

    // The click starts the ride: input goes off, 800 ms wait, 200 ms per floor plus the
    // minimal time of scrolling, a second after arrival, then the hallway on floor 1.
    click(1);
    EXPECT_FALSE(elevator->getComponentsContainer().isActive());
    EXPECT_EQ(elevator->getTravelTime(), 200 + tuning().DORRICK_TIP_MINIMAL_TIME_APPEAR);
    EXPECT_TRUE(hallwaySection->isStarted());
    const int32_t restY = elevator->getFloorNumbers()->getY();
    run(800 + elevator->getTravelTime() / 2);
    const int32_t cell = elevator->getFloorNumbers()->getHeight() / SceneElevator::STOP_COUNT;
    EXPECT_GT(elevator->getFloorNumbers()->getY(), restY);
    EXPECT_LT(elevator->getFloorNumbers()->getY(), restY + cell);
    writeScenePicture(elevator, "elevator-mid-ride");
    EXPECT_EQ(manager->getRequestedScene(), nullptr);

    const int32_t left = runUntil([&] { return manager->getRequestedScene() == hallway; }, 4000);
    ASSERT_GE(left, 0);
    EXPECT_NEAR(800 + elevator->getTravelTime() / 2 + left, 800 + elevator->getTravelTime() + 1000,
                3 * FRAME_MS);
    EXPECT_EQ(elevator->getFloorNumbers()->getY(), restY + cell);
    EXPECT_EQ(objectCast<SceneHallway>(hallway)->getFloor(), 1);
    EXPECT_EQ(elevator->getStop(), 1);
    EXPECT_EQ(manager->getTransition()->getName(), "TRANSITION_DEFAULT");
    runUntil([&] { return manager->getCurrentScene() == hallway; }, 3000);
    EXPECT_EQ(manager->getCurrentScene(), hallway);
}

TEST_F(ElevatorTest, TheCurrentStopLeavesAtOnceAndTheLongestRideTakesItsFullTime) {
    player->floorReached = 20;
    player->modesUnlocked = {2, 2, 0, 0};
    elevator->setStop(7);
    enterElevator();
    run(tuning().DOOR_ANIM_DELAY + 2 * FRAME_MS);

    // Floor 7 is where the lift stands: no ride, the hallway is asked for in the same frame,
    // and the floor cleared before is forgotten.
    elevator->setUnlockedItem(4);
    click(7);
    EXPECT_EQ(manager->getRequestedScene(), hallway);
    EXPECT_TRUE(ResourceManager::getInstance()->getSection("hallway")->isStarted());
    EXPECT_EQ(objectCast<SceneHallway>(hallway)->getFloor(), 7);
    EXPECT_EQ(elevator->getUnlockedItem(), -1);
    EXPECT_EQ(elevator->getTravelTime(), 0);
    EXPECT_TRUE(elevator->getFloorNumbers()->getRunningModifiers().empty());
    EXPECT_TRUE(elevator->getComponents()->getRunningModifiers().empty());
    // No ride covers the hallway's loading: the transition waits for it.
    ResourceManager::getInstance()->waitForUrgentSections(FRAME_MS);
    runUntil([&] { return manager->getCurrentScene() == hallway; }, 3000);

    // From the lobby to floor 20: 20 x 200 ms plus the minimal time, 800 ms before, 1000 after.
    elevator->setStop(0);
    enterElevator();
    run(tuning().DOOR_ANIM_DELAY + 2 * FRAME_MS);
    // The cabin jolts by 0 to 3 pixels across and 0 to 1 down for the ride's time, then rests.
    GameNode* cabin = elevator->getComponents();
    const int32_t restX = cabin->getX();
    const int32_t restY = cabin->getY();
    click(20);
    EXPECT_EQ(elevator->getTravelTime(), 20 * 200 + tuning().DORRICK_TIP_MINIMAL_TIME_APPEAR);
    int32_t lastJolt = -1;
    int32_t jolts = 0;
    int32_t ride = 0;
    const auto ridden = [&] {
        ride += FRAME_MS;
        const int32_t dx = cabin->getX() - restX;
        const int32_t dy = cabin->getY() - restY;
        EXPECT_TRUE(dx >= 0 && dx <= 3 && dy >= 0 && dy <= 1) << dx << "," << dy;
        if (dx != 0 || dy != 0) {
            lastJolt = ride;
            ++jolts;
        }
        return manager->getRequestedScene() == hallway;
    };
    const int32_t left = runUntil(ridden, 10000);
    EXPECT_NEAR(left, 800 + elevator->getTravelTime() + 1000, 2 * FRAME_MS);
    EXPECT_GT(jolts, elevator->getTravelTime() / 4 / FRAME_MS);
    EXPECT_LE(lastJolt, elevator->getTravelTime());
    EXPECT_GT(lastJolt, elevator->getTravelTime() - 200);
    EXPECT_EQ(cabin->getX(), restX);
    EXPECT_EQ(cabin->getY(), restY);
    EXPECT_EQ(objectCast<SceneHallway>(hallway)->getFloor(), 20);

    // A press while the doors are still opening skips the ride: the change comes at once.
    manager->update(FRAME_MS);
    elevator->setStop(0);
    enterElevator();
    ASSERT_TRUE(elevator->areDoorsMoving());
    click(3);
    const int32_t quick = runUntil([&] { return manager->getRequestedScene() == hallway; }, 1000);
    EXPECT_GE(quick, 0);
    EXPECT_LE(quick, 2 * FRAME_MS);
    EXPECT_EQ(objectCast<SceneHallway>(hallway)->getFloor(), 3);

    // A quit question asked on a ride holds the lift at its stop until it is answered "no", and
    // is not asked again on the next visit; asked once the lift has left for the stop it stands
    // at, it goes with the player.
    runUntil([&] { return manager->getCurrentScene() == hallway; }, 3000);
    const char* quit = SceneQuovelMahjong::QUIT_QUESTION_KEY;
    for (const bool held : {true, false}) {
        enterElevator();
        run(tuning().DOOR_ANIM_DELAY + 2 * FRAME_MS);
        EXPECT_FALSE(elevator->isDialogOpen(quit));
        click(5);
        elevator->onQuitRequest();
        if (held) {
            run(elevator->getTravelTime() + 3000);
            ASSERT_EQ(manager->getCurrentScene(), elevator);
            auto* no = objectCast<Button>(elevator->findDialog(quit)->findChild("BUTTON_NO"));
            clickMiddle(elevator, no, no->getWidth(), no->getHeight());
        }
        const auto there = [&] {
            return manager->getCurrentScene() == hallway && !elevator->isDialogOpen(quit);
        };
        EXPECT_GE(runUntil(there, 5000), 0);
        EXPECT_NE(hallway->isDialogOpen(quit), held);
    }
}

TEST_F(ElevatorTest, ButtonsFollowTheProfileAndNewOnesOpenWithTheUnlockStep) {
    player->floorReached = 5;
    player->modesUnlocked = {2, 1, 0, 2};
    elevator->setPendingTargets(5);
    enterElevator();
    run(tuning().DOOR_ANIM_DELAY + 2 * FRAME_MS);
    for (int32_t floor = 1; floor <= 4; ++floor) {
        EXPECT_TRUE(elevator->getStopButton(floor)->isEnabled()) << floor;
    }
    for (int32_t floor = 5; floor <= 20; ++floor) {
        EXPECT_FALSE(elevator->getStopButton(floor)->isEnabled()) << floor;
    }
    EXPECT_TRUE(elevator->getStopButton(0)->isEnabled());
    EXPECT_FALSE(elevator->getStopButton(SceneElevator::STOP_CASINO)->isEnabled());
    EXPECT_FALSE(elevator->getStopButton(SceneElevator::STOP_RECROOM)->isEnabled());
    EXPECT_TRUE(elevator->getStopButton(SceneElevator::STOP_ROOF)->isEnabled());
    // The opened buttons carry their locked look, fading out.
    EXPECT_NE(elevator->getStopButton(5)->getFirstChild(), nullptr);
    EXPECT_NE(elevator->getStopButton(SceneElevator::STOP_CASINO)->getFirstChild(), nullptr);

    run(2500 + 2 * FRAME_MS);
    EXPECT_TRUE(elevator->getStopButton(5)->isEnabled());
    EXPECT_TRUE(elevator->getStopButton(SceneElevator::STOP_CASINO)->isEnabled());
    EXPECT_EQ(player->modesUnlocked[1], 2);
    EXPECT_TRUE(elevator->getPendingFloors().empty());
    EXPECT_EQ(elevator->getStopButton(5)->getFirstChild(), nullptr);

    // The host blinks now and then: his eyelids show for the 225 ms of each blink.
    GameNode* eyes = elevator->findChild("SCREEN_EYES_SPRITE");
    ASSERT_NE(eyes, nullptr);
    std::vector<int32_t> blinks;
    int32_t shown = 0;
    for (int32_t time = 0; time < 12000; time += FRAME_MS) {
        manager->update(FRAME_MS);
        if (eyes->isVisible()) {
            shown += FRAME_MS;
        } else if (shown > 0) {
            blinks.push_back(shown);
            shown = 0;
        }
    }
    ASSERT_GE(blinks.size(), 2u);
    for (int32_t length : blinks) {
        EXPECT_NEAR(length, 225, FRAME_MS);
    }
}

TEST_F(ElevatorTest, TheHostsLineFitsThePlayerAndGivesUpWhenNothingFits) {
    Random random(7, 0);
    EXPECT_EQ(SceneElevator::chooseHostLine(*player, {20}, random),
              getBasicText("TEXT_DORRICK_UNLOCKED20"));

    // Only statistics: a new player has none that hold, so after a bounded number of tries
    // there is no line, and no balloon.
    setTuning("DORRICK_TIP_FREQUENCY", 0);
    setTuning("DORRICK_STAT_FREQUENCY", 100);
    EXPECT_EQ(SceneElevator::chooseHostLine(*player, {}, random), L"");

    // Tips and miscellaneous lines with counts of 0 draw nothing (no division by zero).
    setTuning("DORRICK_TIP_FREQUENCY", 50);
    setTuning("DORRICK_STAT_FREQUENCY", 0);
    setTuning("NUM_DORRICK_TIPS", 0);
    setTuning("NUM_DORRICK_MISCELLANEOUS", 0);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(SceneElevator::chooseHostLine(*player, {3}, random), L"");
    }

    // Casino lines: with Classic the only open type, a played type gives line 6 and never 9,
    // an unplayed one line 9 and never 6.
    setTuning("DORRICK_TIP_FREQUENCY", 0);
    setTuning("DORRICK_STAT_FREQUENCY", 100);
    player->modesUnlocked[1] = 2;
    player->unlockedStuff[0] = 2;
    player->getStats().casinoRecord(TYPE_CLASSIC, 1)->playCount = 3;
    player->getStats().casinoRecord(TYPE_CLASSIC, 2)->playCount = 1;
    const std::wstring played = L"You have played Classic in the casino 4 times. Feeling lucky?";
    const std::wstring unplayed =
        L"You haven't tried Classic in the casino yet. Why not give it a go?";
    int playedLines = 0;
    for (int i = 0; i < 40; ++i) {
        const std::wstring line = SceneElevator::chooseHostLine(*player, {}, random);
        EXPECT_TRUE(line.empty() || line == played) << std::string(line.begin(), line.end());
        playedLines += line == played;
    }
    EXPECT_GT(playedLines, 0);
    player->getStats().casinoRecord(TYPE_CLASSIC, 1)->playCount = 0;
    player->getStats().casinoRecord(TYPE_CLASSIC, 2)->playCount = 0;
    player->getStats().numMatches = 7;
    int unplayedLines = 0;
    int matchLines = 0;
    for (int i = 0; i < 40; ++i) {
        const std::wstring line = SceneElevator::chooseHostLine(*player, {}, random);
        unplayedLines += line == unplayed;
        matchLines +=
            line == L"You have matched 7 pairs so far. My hands get tired just thinking of it!";
        EXPECT_NE(line, played);
    }
    EXPECT_GT(unplayedLines, 0);
    EXPECT_GT(matchLines, 0);

    // Counts of one read in the singular, in every line that counts; no run ends as a game won.
    QuovelMahjongStats& stats = player->getStats();
    stats.numStuck = stats.twoStarsCount = stats.threeStarsCount = stats.numGamesWon = 1;
    player->floorReached = 1;
    stats.roomRecord(1, 1)->levelWinCount = stats.casinoRecord(TYPE_CLASSIC, 0)->playCount = 1;
    int singular = 0;
    for (int i = 0; i < 300; ++i) {
        const std::wstring line = SceneElevator::chooseHostLine(*player, {}, random);
        singular += line == L"You have reached 1 room of the building so far.";
        EXPECT_FALSE(std::regex_search(line, std::wregex(L"\\b1 [a-z]+s\\b|game won")))
            << std::string(line.begin(), line.end());
    }
    EXPECT_GT(singular, 0);
}

}  // namespace scene_elevator_test
