// The level end as the game authors it: the room's best before the level by room kind, the
// counted-up result with its record effects, the skip to the final values, the time-up look,
// the rec room's time-only plaque and the single hand-over on continue. Pictures of a won
// floor level and of a lost one go to build/pictures/gui/.
#include <algorithm>
#include <string>
#include <vector>

#include "app/GameDialogsFixture.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ResourceLookup.h"
#include "game/dialogs/DialogLevelEnd.h"
#include "gui/TextLayoutAudit.h"

namespace level_end_dialog_test {

int continuations = 0;
void* continuedWith = nullptr;

int32_t countContinuation(void*, BaseObject* sender) {
    ++continuations;
    continuedWith = sender;
    return 0;
}

// The number at the end of a label's text, its grouping commas dropped.
int32_t shownNumber(Label* label) {
    std::wstring digits;
    for (wchar_t c : label->getText()) {
        if (c >= L'0' && c <= L'9') {
            digits += c;
        }
    }
    return digits.empty() ? -1 : std::stoi(digits);
}

class LevelEndDialogTest : public GameDialogsTest {
protected:
    void SetUp() override {
        GameDialogsTest::SetUp();
        continuations = 0;
        continuedWith = nullptr;
    }
    // The level end of the current game, opened over the scene with a continuation stored.
    DialogLevelEnd* openLevelEnd() {
        DialogLevelEnd::lookupBest();
        auto* dialog = objectCast<DialogLevelEnd>(scene->getDialog("DIALOG_LEVEL_END"));
        if (dialog) {
            dialog->setCallback(this, &countContinuation);
            scene->openDialog(dialog);
        }
        return dialog;
    }
    RoomRecord& floorRecord() { return *player().getStats().roomRecord(2, 3); }
    // Frames of 10 ms until the intro ends (at most 30 s), collecting every score shown; the
    // time at which the score stood at its end and the time at which the time label showed.
    std::vector<int32_t> runIntro(DialogLevelEnd* dialog, std::vector<std::string>* sounds) {
        std::vector<int32_t> shown;
        scoreDoneAt = timeShownAt = -1;
        for (int32_t t = 0; t < 30000 && dialog->isIntroRunning(); t += 10) {
            scenes->update(10);
            if (scoreDoneAt < 0 &&
                shownNumber(dialog->getScoreLabel()) == Game::current()->getScore().getValue()) {
                scoreDoneAt = t;
            }
            if (timeShownAt < 0 && dialog->getTimeLabel()->getAlpha() > 0) {
                timeShownAt = t;
            }
            const int32_t value = shownNumber(dialog->getScoreLabel());
            if (shown.empty() || shown.back() != value) {
                shown.push_back(value);
            }
            if (sounds) {
                for (const std::string& file : played()) {
                    sounds->push_back(file);
                }
            }
        }
        return shown;
    }

    int32_t scoreDoneAt = -1;
    int32_t timeShownAt = -1;
};

TEST_F(LevelEndDialogTest, TheBestBeforeTheLevelIsTheRecordOfTheRoomKind) {
    // Floors: the room's record gives both values.
    playLevel(0, true, 0, 0, 0);
    floorRecord().bestScore = 4200;
    floorRecord().bestTime = 95000;
    DialogLevelEnd::lookupBest();
    EXPECT_EQ(DialogLevelEnd::getBestScore(), 4200);
    EXPECT_EQ(DialogLevelEnd::getBestTime(), 95000);

    // Casino and roof write only the score, the rec room only the time: the other value keeps
    // what the level before left in it.
    Game* game = playLevel(1, true, 0, 0, 0);
    const Level* level = game->getLevel();
    player().getStats().casinoRecord(level->getGameType(), level->getDifficulty())->bestScore = 777;
    DialogLevelEnd::lookupBest();
    EXPECT_EQ(DialogLevelEnd::getBestScore(), 777);
    EXPECT_EQ(DialogLevelEnd::getBestTime(), 95000);

    game = playLevel(2, true, 0, 0, 0);
    level = game->getLevel();
    player().getStats().recRoomRecordFor(level->getGameType(), level->getIndex())->bestTime = 61000;
    DialogLevelEnd::lookupBest();
    EXPECT_EQ(DialogLevelEnd::getBestScore(), 777);
    EXPECT_EQ(DialogLevelEnd::getBestTime(), 61000);

    game = playLevel(3, true, 0, 0, 0);
    level = game->getLevel();
    player().getStats().rooftopRecord(level->getGameType(), level->getDifficulty())->bestScore =
        31337;
    DialogLevelEnd::lookupBest();
    EXPECT_EQ(DialogLevelEnd::getBestScore(), 31337);
    EXPECT_EQ(DialogLevelEnd::getBestTime(), 61000);

    // An unknown room kind writes nothing.
    playLevel(9, true, 0, 0, 0);
    DialogLevelEnd::lookupBest();
    EXPECT_EQ(DialogLevelEnd::getBestScore(), 31337);
    EXPECT_EQ(DialogLevelEnd::getBestTime(), 61000);
}

TEST_F(LevelEndDialogTest, AWonFloorLevelCountsScoreThenTimeBreaksBothRecordsAndContinuesOnce) {
    playLevel(0, true, 2500, 83000, 0);
    floorRecord().bestScore = 1000;
    floorRecord().bestTime = 90000;
    DialogLevelEnd* dialog = openLevelEnd();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isTimeUp());
    EXPECT_EQ(dialog->getSub()->getText(), L"Your result in this room");
    // No generic show sound; input off for the intro, the header drawn above the dialog.
    EXPECT_EQ(countPlayed(played(), "dialog_show.wav"), 0);
    EXPECT_FALSE(dialog->getComponentsContainer().isActive());
    EXPECT_EQ(dialog->getHeader()->getParent(), scene->getTree());
    EXPECT_EQ(dialog->getScoreLabel()->getAlpha(), 0);
    EXPECT_EQ(dialog->getTimeLabel()->getAlpha(), 0);

    std::vector<std::string> sounds;
    const std::vector<int32_t> shown = runIntro(dialog, &sounds);
    ASSERT_FALSE(dialog->isIntroRunning());
    // The score counts to the old record, then on to the new score, in steps of 100 (the
    // least step) every 40 ms; it never jumps past its target.
    std::vector<int32_t> expected;
    for (int32_t v = 0; v <= 2500; v += 100) {
        expected.push_back(v);
    }
    EXPECT_EQ(shown, expected);
    // On the floors the time part follows the score part after half a second (the pause
    // already runs in the frame in which the count ends).
    ASSERT_GE(scoreDoneAt, 0);
    EXPECT_GE(timeShownAt - scoreDoneAt, 500 - 10);
    EXPECT_EQ(dialog->getScoreLabel()->getText(), L"Score: 2,500");
    EXPECT_EQ(dialog->getBestScoreLabel()->getText(), L"Record: 2,500");
    EXPECT_EQ(dialog->getTimeLabel()->getText(), L"Time: 1:23");
    EXPECT_EQ(dialog->getBestTimeLabel()->getText(), L"Record: 1:23");
    // Both records broken: the record sound twice, and the counts ticked.
    EXPECT_EQ(countPlayed(sounds, "record_broken.wav"), 2);
    EXPECT_GT(countPlayed(sounds, "score_tick.wav"), 25);
    EXPECT_EQ(dialog->getTimeLabel()->getAlpha(), 255);
    EXPECT_TRUE(dialog->getComponentsContainer().isActive());
    expectClearPicture(scene.get(), "level-end-won");

    // A click now is not the intro's: it is not consumed.
    EXPECT_FALSE(dialog->onLeftButtonDown(5, 5, 1, false));
    // Continue hands the dialog over once; a second press finds the input already off.
    auto* button = objectCast<Button>(dialog->findChild("BUTTON_CONTINUE"));
    ASSERT_NE(button, nullptr);
    click(dialog, button);
    EXPECT_EQ(continuations, 1);
    EXPECT_EQ(continuedWith, static_cast<BaseObject*>(dialog));
    EXPECT_EQ(dialog->getHeader()->getParent(), dialog->getComponents());
    dialog->onContinue(button);
    click(dialog, button);
    frames(tuning().DIALOG_FADE_TIME + 20);
    EXPECT_EQ(continuations, 1);
    EXPECT_EQ(dialog->getAlpha(), 0);
}

TEST_F(LevelEndDialogTest, AnEqualScoreIsARecordWhoseCountIsEmptyButStillCelebrated) {
    playLevel(0, true, 1500, 100000, 0);
    floorRecord().bestScore = 1500;
    floorRecord().bestTime = 60000;  // not beaten
    DialogLevelEnd* dialog = openLevelEnd();
    ASSERT_NE(dialog, nullptr);
    std::vector<std::string> sounds;
    runIntro(dialog, &sounds);
    EXPECT_EQ(countPlayed(sounds, "record_broken.wav"), 1);
    EXPECT_EQ(dialog->getBestScoreLabel()->getText(), L"Record: 1,500");
    EXPECT_EQ(dialog->getBestTimeLabel()->getText(), L"Record: 1:00");
    EXPECT_EQ(dialog->getTimeLabel()->getText(), L"Time: 1:40");
}

TEST_F(LevelEndDialogTest, ALostFloorLevelShowsTimeUpWithoutRecordsWhileALostCasinoGameCan) {
    playLevel(0, false, 900, 120000, 0);
    floorRecord().bestScore = 0;  // no record yet: a won level would break it
    floorRecord().bestTime = 0;
    DialogLevelEnd* dialog = openLevelEnd();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isTimeUp());
    EXPECT_EQ(dialog->getSub()->getText(), L"The clock ran out. Try the room again!");
    Image* gameOver = objectCast<Image>(findLoadedResource("IMAGE_GAMEOVER", "game"));
    ASSERT_NE(gameOver, nullptr);
    EXPECT_EQ(dialog->getHeader()->getImage(), gameOver);
    std::vector<std::string> sounds;
    runIntro(dialog, &sounds);
    EXPECT_EQ(countPlayed(sounds, "record_broken.wav"), 0);
    EXPECT_EQ(dialog->getBestScoreLabel()->getText(), L"Record: 0");
    EXPECT_EQ(dialog->getBestTimeLabel()->getText(), L"Record: -");
    expectClearPicture(scene.get(), "level-end-time-up");
    scene->closeDialog(dialog);
    scene->dropDialog("DIALOG_LEVEL_END");

    // In the casino a lost run still sets a record score; only the score pair is shown.
    Game* game = playLevel(1, false, 3000, 50000, 0);
    player()
        .getStats()
        .casinoRecord(game->getLevel()->getGameType(), game->getLevel()->getDifficulty())
        ->bestScore = 2000;
    dialog = openLevelEnd();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->getSub()->getText(), L"The clock ran out. Your run at the table ends.");
    EXPECT_TRUE(dialog->getScoreLabel()->isVisible());
    EXPECT_FALSE(dialog->getTimeLabel()->isVisible());
    EXPECT_EQ(dialog->getScoreLabel()->getY(), dialog->findChild("ANCHOR")->getY());
    sounds.clear();
    runIntro(dialog, &sounds);
    EXPECT_EQ(countPlayed(sounds, "record_broken.wav"), 1);
    EXPECT_EQ(dialog->getBestScoreLabel()->getText(), L"Record: 3,000");
    // One row, on the box's middle: no divider through it.
    expectClearPicture(scene.get(), "level-end-casino-time-up");
    scene->closeDialog(dialog);
    scene->dropDialog("DIALOG_LEVEL_END");

    // On the roof, as in the casino, a lost level ends the run: no level is tried again.
    playLevel(3, false, 3000, 50000, 0);
    dialog = openLevelEnd();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->getSub()->getText(), L"The clock ran out. Your run on the roof ends.");
}

TEST_F(LevelEndDialogTest, TheRecRoomsFirstFinishShowsADashThenCountsTheRecordTime) {
    playLevel(2, true, 5000, 99000, 74000);
    DialogLevelEnd::lookupBest();  // a fresh record: best time 0
    DialogLevelEnd* dialog = openLevelEnd();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->getSub()->getText(), L"Your time in the rec room");
    EXPECT_FALSE(dialog->getScoreLabel()->isVisible());
    EXPECT_FALSE(dialog->getBestScoreLabel()->isVisible());
    EXPECT_TRUE(dialog->getBestTimeLabel()->isVisible());
    EXPECT_EQ(dialog->getTimeLabel()->getY(), dialog->findChild("ANCHOR")->getY());
    EXPECT_EQ(dialog->getBestTimeLabel()->getText(), L"Record: -");
    std::vector<std::string> sounds;
    runIntro(dialog, &sounds);
    // The rec room's clock, not the time played.
    EXPECT_EQ(dialog->getTimeLabel()->getText(), L"Time: 1:14");
    EXPECT_EQ(dialog->getBestTimeLabel()->getText(), L"Record: 1:14");
    EXPECT_EQ(countPlayed(sounds, "record_broken.wav"), 1);
    expectClearPicture(scene.get(), "level-end-recroom");
    scene->closeDialog(dialog);
    scene->dropDialog("DIALOG_LEVEL_END");

    // The won casino and roof levels, and the lost roof run, show their one row as clearly.
    for (const auto& [kind, won] : {std::pair{1, true}, std::pair{3, true}, std::pair{3, false}}) {
        playLevel(kind, won, 240, 277000, 0);
        dialog = openLevelEnd();
        ASSERT_NE(dialog, nullptr);
        runIntro(dialog, nullptr);
        expectClearPicture(scene.get(),
                           "level-end-kind-" + std::to_string(kind) + (won ? "-won" : "-lost"));
        scene->closeDialog(dialog);
        scene->dropDialog("DIALOG_LEVEL_END");
    }
}

TEST_F(LevelEndDialogTest, ASkipShowsExactlyTheFinalValuesOfAFullIntroWithoutCelebrating) {
    playLevel(0, true, 123456, 754000, 0);
    floorRecord().bestScore = 100000;
    floorRecord().bestTime = 0;
    DialogLevelEnd* dialog = openLevelEnd();
    ASSERT_NE(dialog, nullptr);
    frames(400);
    played();
    ASSERT_TRUE(dialog->isIntroRunning());
    EXPECT_TRUE(dialog->onLeftButtonDown(400, 300, 1, false));
    EXPECT_FALSE(dialog->isIntroRunning());
    EXPECT_EQ(dialog->getAlpha(), 255);
    EXPECT_EQ(dialog->getScoreLabel()->getAlpha(), 255);
    EXPECT_EQ(dialog->getHeader()->getScale(), 1.0f);
    EXPECT_EQ(dialog->getHeader()->getRotation(), 0.0f);
    EXPECT_TRUE(dialog->getComponentsContainer().isActive());
    const std::vector<std::wstring> skipped = {
        dialog->getScoreLabel()->getText(), dialog->getBestScoreLabel()->getText(),
        dialog->getTimeLabel()->getText(), dialog->getBestTimeLabel()->getText()};
    EXPECT_EQ(skipped[0], L"Score: 123,456");
    EXPECT_EQ(skipped[1], L"Record: 123,456");
    EXPECT_EQ(skipped[2], L"Time: 12:34");
    EXPECT_EQ(skipped[3], L"Record: 12:34");
    frames(20000);
    EXPECT_EQ(countPlayed(played(), "record_broken.wav"), 0);
    // A second click is not consumed.
    EXPECT_FALSE(dialog->onLeftButtonDown(400, 300, 1, false));
    scene->closeDialog(dialog);
    scene->dropDialog("DIALOG_LEVEL_END");

    // The full intro of the same level ends on the same four texts.
    DialogLevelEnd* full = openLevelEnd();
    runIntro(full, nullptr);
    EXPECT_EQ(full->getScoreLabel()->getText(), skipped[0]);
    EXPECT_EQ(full->getBestScoreLabel()->getText(), skipped[1]);
    EXPECT_EQ(full->getTimeLabel()->getText(), skipped[2]);
    EXPECT_EQ(full->getBestTimeLabel()->getText(), skipped[3]);
}

}  // namespace level_end_dialog_test
