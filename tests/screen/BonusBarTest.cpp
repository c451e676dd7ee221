// The bonus bar on the game scene: matches fill the meter and raise the combo, the countdown
// resets it (also after a save and restore mid-way), a full meter claims its bonus, which flies
// and arrives (or arrives at once when the level ends), the weighted draw with its cuts, and
// the checks on saved values and on the clock's picture.
#include "screen/BarsFixture.h"

#include <cmath>
#include <sstream>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/gui/Label.h"
#include "framework/platform/Image.h"
#include "game/profile/TrophyList.h"
#include "game/rules/TuningConstants.h"
#include "gui/HeadlessPicture.h"

namespace bonus_bar_test {

std::wstring barLabelText(SceneGame& scene, const char* name) {
    auto* label = objectCast<Label>(scene.findChild(name));
    return label ? label->getText() : L"<missing>";
}

// A saved bar from "key=value ..."; the meter's points and depletion speed are floats.
RefHolder<PropertyNode> savedBar(const std::string& values) {
    RefHolder<PropertyNode> node(new PropertyNode("bonusBar", "BonusBar"));
    std::istringstream in(values);
    for (std::string item; in >> item;) {
        const std::string key = item.substr(0, item.find('='));
        const float value = std::stof(item.substr(key.size() + 1));
        if (key == "currentPoints" || key == "depletionSpeed") {
            node->addChild(new PropertyValue(key, value));
        } else {
            node->addChild(new PropertyValue(key, static_cast<int32_t>(value)));
        }
    }
    return node;
}

// Puts a bar restored from saved `values` in the place of `old` on the scene.
RefHolder<BonusBar> restoreBar(SceneGame& scene, BonusBar* old, const std::string& values) {
    old->setRemoved(true);
    RefHolder<BonusBar> bar(new BonusBar(savedBar(values).get(), &scene));
    GameNode::appendChild(bar.get(), scene.getTree());
    return bar;
}

TEST_F(BarsTest, MatchesFillTheMeterAndRaiseTheComboUntilItsCountdownEnds) {
    Game* game = play(1, 1);
    BonusBar& bar = bonusBar();
    // The level's parameters.
    EXPECT_EQ(bar.getMaxPoints(), game->getLevel()->getBonusAt().getInt());
    EXPECT_EQ(bar.getMaxCountdown(), game->getLevel()->getMultiplierTime().getInt());
    EXPECT_EQ(scene->getBoard().getChainCounter(), 1);
    bar.setDepletionSpeed(0.0f);
    bar.setMaxPoints(100000);

    // Two matches within the countdown add 10 and then 20 points; the rules see the combo.
    scene->getBoard().addBonusPoints(10);
    EXPECT_FLOAT_EQ(bar.getCurrentPoints(), 10.0f);
    EXPECT_EQ(scene->getBoard().getChainCounter(), 2);
    frame(100);
    scene->getBoard().addBonusPoints(10);
    EXPECT_FLOAT_EQ(bar.getCurrentPoints(), 30.0f);
    EXPECT_EQ(bar.getMultiplier(), 3);
    EXPECT_EQ(barLabelText(*scene, "BONUSBAR_MULTIPLIER"), L"x3");
    // Each step leaves less time for the next match.
    const TuningConstants& c = tuning();
    EXPECT_FLOAT_EQ(BonusBar::countdownFactor(3), 1.0f - 2 * c.MULTIPLIER_PERCENTAGE);
    EXPECT_LT(BonusBar::countdownFactor(3), BonusBar::countdownFactor(2));
    EXPECT_FLOAT_EQ(BonusBar::countdownFactor(40), c.MULTIPLIER_MINIMUM) << "never below it";
    const int32_t countdown = bar.getCurrentCountdown();
    EXPECT_EQ(countdown,
              static_cast<int32_t>(bar.getMaxCountdown() * BonusBar::countdownFactor(3)));
    EXPECT_EQ(bar.getLastCountdownLevel(), 255) << "a fresh countdown shows the whole clock";

    // Saved and restored half-way through the countdown, the copy resets when the original does.
    for (int32_t t = 0; t < countdown / 2; t += 50) {
        frame(50);
    }
    EXPECT_LT(bar.getLastCountdownLevel(), 160);
    RefHolder<PropertyNode> saved(new PropertyNode("bonusBar", "BonusBar"));
    bar.save(saved.get());
    RefHolder<BonusBar> copy(new BonusBar(saved.get(), scene.get()));
    GameNode::appendChild(copy.get(), scene->getTree());
    EXPECT_EQ(copy->getMultiplier(), 3);
    EXPECT_EQ(copy->getInternalMultiplier(), 3);
    EXPECT_EQ(copy->getCurrentCountdown(), bar.getCurrentCountdown());
    EXPECT_FLOAT_EQ(copy->getCurrentPoints(), 30.0f);
    EXPECT_EQ(copy->getBonus(), bar.getBonus());
    int32_t frames = 0;
    while (bar.getMultiplier() > 1 && frames < 1000) {
        ASSERT_EQ(copy->getMultiplier(), 3) << frames;
        frame(50);
        ++frames;
    }
    EXPECT_EQ(copy->getMultiplier(), 1);
    EXPECT_EQ(copy->getInternalMultiplier(), 1);
    EXPECT_EQ(bar.getCurrentCountdown(), 0);
    EXPECT_EQ(barLabelText(*scene, "BONUSBAR_MULTIPLIER"), L"x1");
    EXPECT_EQ(bar.getLastCountdownLevel(), 0);
    copy->setRemoved(true);

    // The multiplier stops at 99; the player's best combo and the level's best chain follow.
    for (int i = 0; i < 120; ++i) {
        scene->getBoard().addBonusPoints(0);
    }
    EXPECT_EQ(bar.getMultiplier(), 99);
    EXPECT_EQ(barLabelText(*scene, "BONUSBAR_MULTIPLIER"), L"x99");
    EXPECT_EQ(player->getStats().maxCombo, 99);
    EXPECT_EQ(game->screenCounts.bestChain, 99);
    const int32_t frenzy = tuning().TROPHY_COMBO_FRENZY_MULTIPLIER;
    EXPECT_EQ(player->getTrophies().getTrophy(TrophyId::COMBO_FRENZY)->state, frenzy <= 99 ? 1 : 0);

    // A suspended bar takes no points.
    bar.setSuspended(true);
    scene->getBoard().addBonusPoints(500);
    EXPECT_EQ(bar.getMultiplier(), 99);
    EXPECT_FLOAT_EQ(bar.getCurrentPoints(), 30.0f + 0.0f);
}

TEST_F(BarsTest, AFullMeterClaimsItsBonusWhichFliesAndArrives) {
    Game* game = play(1, 1);
    // A score bonus: booked at once, shown when the icon lands on the score.
    const std::string clock = "maxCountdown=5000 multiplier=1 depletionSpeed=0 ";
    RefHolder<BonusBar> bar =
        restoreBar(*scene, scene->getBonusBar(),
                   clock + "bonus=2 maxPoints=100 internalMultiplier=2 currentPoints=99");
    EXPECT_EQ(bar->getBonus(), BonusBar::SCORE_2500);
    const int32_t score = game->getScore().getValue();
    // One point short: the next match fills it; the overshoot is dropped.
    bar->addPoints(1);
    EXPECT_FLOAT_EQ(bar->getCurrentPoints(), 0.0f);
    EXPECT_EQ(bar->getInternalMultiplier(), 1);
    EXPECT_EQ(game->screenCounts.bonusesClaimed, 1);
    EXPECT_EQ(game->gameCounts.bonusPoints, 2500);
    EXPECT_EQ(player->getStats().numBonusTotal, 1);
    EXPECT_EQ(game->getScore().getValue(), score + 2500);
    EXPECT_EQ(game->getScore().getShown(), score);
    EXPECT_NE(bar->getBonus(), BonusBar::SCORE_2500) << "never the same kind twice in a row";
    ASSERT_NE(bar->getFlyingBonus(), nullptr);
    EXPECT_EQ(bar->getFlyingBonus()->getTag(), 102);
    frame(20);
    EXPECT_GT(bar->getShownFill(), 0.0f) << "the meter shows full while the bonus waits";
    Label* ticker = scene->getHud().getScoreLabel();
    ASSERT_NE(ticker, nullptr);
    Sprite* flying = bar->getFlyingBonus();
    RefHolder<Sprite> held(flying);
    bool starred = false;
    for (int i = 0; i < 150 && flying->getTag() != 0; ++i) {
        frame(20);
        starred = starred || bar->getEffectLayer()->getFirstChild() != flying;
    }
    EXPECT_TRUE(starred) << "stars trail the flight";
    EXPECT_EQ(flying->getTag(), 0);
    EXPECT_EQ(bar->getFlyingBonus(), nullptr);
    EXPECT_EQ(game->getScore().getShown(), score + 2500);
    // It landed on the centre of the score display.
    EXPECT_NEAR(flying->getX(),
                ticker->getAbsoluteX() + ticker->getWidth() / 2 -
                    static_cast<int32_t>(ticker->getAnchor().x),
                1);
    runFrames(100, 20);
    EXPECT_TRUE(flying->isRemoved() || flying->getParent() == nullptr) << "faded and gone";

    // A time bonus still in flight when the level ends arrives at once.
    RefHolder<BonusBar> timeBonus = restoreBar(*scene, bar.get(), clock + "bonus=0 maxPoints=50");
    DisplayValue& time = timeBar().getTime();
    time = DisplayValue(10000, 0, 100000);
    timeBonus->addPoints(60);
    EXPECT_EQ(time.getValue(), 10000 + tuning().TIME_BONUS);
    EXPECT_EQ(time.getShown(), 10000);
    frame(20);
    Sprite* inFlight = timeBonus->getFlyingBonus();
    ASSERT_NE(inFlight, nullptr);
    RefHolder<Sprite> keep(inFlight);
    EXPECT_EQ(time.getShown(), time.getValue() - tuning().TIME_BONUS);
    timeBonus->finishAnimations();
    EXPECT_EQ(time.getShown(), time.getValue()) << "the shown time caught up at once";
    EXPECT_EQ(inFlight->getTag(), 0);
    EXPECT_EQ(timeBonus->getFlyingBonus(), nullptr);
    runFrames(40, 20);
    EXPECT_EQ(time.getShown(), time.getValue()) << "the arrival acted once";

    // A super hint is won, used when it lands, and can be won again once it has run.
    player->floorReached = 3;
    RefHolder<BonusBar> superBonus =
        restoreBar(*scene, timeBonus.get(), clock + "bonus=6 maxPoints=50");
    superBonus->addPoints(60);
    EXPECT_TRUE(superBonus->hasSuperHint());
    superBonus->finishAnimations();
    EXPECT_GT(scene->getAids().getSuperHintTimeLeft(), 0);
    EXPECT_FALSE(superBonus->hasSuperHint()) << "used once it runs";
    for (int ms = 0; ms <= tuning().SUPER_HINT_DURATION; ms += 100) {
        frame(100);
    }
    EXPECT_LE(scene->getAids().getSuperHintTimeLeft(), 0);
    bool drawn = false;
    for (int i = 0; i < 400 && !drawn; ++i) {
        drawn = superBonus->drawKind(BonusBar::NONE) == BonusBar::SUPER_HINT;
    }
    EXPECT_TRUE(drawn) << "a later super hint in the level";
}

TEST_F(BarsTest, TheDrawCutsKindsByPlaceAndStockAndNeverRepeatsTheKindShown) {
    Game* game = play(1, 1);
    BonusBar& bar = bonusBar();
    int32_t seen[BonusBar::NONE + 1] = {};
    int32_t shown = BonusBar::NONE;
    for (int i = 0; i < 400; ++i) {
        const int32_t kind = bar.drawKind(shown);
        ASSERT_NE(kind, shown);
        ASSERT_GE(kind, 0);
        ASSERT_LT(kind, BonusBar::KIND_COUNT);
        ++seen[kind];
        shown = kind;
    }
    // On floor 1 the super hint is not offered yet; the other kinds all come up.
    EXPECT_EQ(seen[BonusBar::SUPER_HINT], 0);
    for (int32_t kind = 0; kind < BonusBar::SUPER_HINT; ++kind) {
        EXPECT_GT(seen[kind], 0) << kind;
    }
    // Full stocks cut their tokens; the floors reached open the super hint.
    player->getHintStock().set(tuning().MAX_NUM_HINTS);
    player->getShuffleStock().set(tuning().MAX_NUM_SHUFFLES);
    player->floorReached = 3;
    int32_t superHints = 0;
    for (int i = 0; i < 400; ++i) {
        const int32_t kind = bar.drawKind(BonusBar::NONE);
        ASSERT_NE(kind, BonusBar::HINT);
        ASSERT_NE(kind, BonusBar::SHUFFLE);
        superHints += kind == BonusBar::SUPER_HINT;
    }
    EXPECT_GT(superHints, 0);
    // The rec room: no tokens and no time; it takes no points while suspended.
    game->getLevel()->setGameMode(RoomKind::RECROOM);
    player->getHintStock().set(0);
    player->getShuffleStock().set(0);
    for (int i = 0; i < 400; ++i) {
        const int32_t kind = bar.drawKind(BonusBar::NONE);
        ASSERT_TRUE((kind >= BonusBar::SCORE_2500 && kind <= BonusBar::SCORE_10000) ||
                    kind == BonusBar::SUPER_HINT)
            << kind;
    }
    // Rules that leave nothing to draw give no bonus (and the claim hands out nothing).
    RefHolder<PropertyVector> empty(new PropertyVector("bonuses"));
    bar.setRules(empty.get());
    EXPECT_EQ(bar.drawKind(BonusBar::NONE), BonusBar::NONE);
    bar.setMaxPoints(1);
    const int32_t score = game->getScore().getValue();
    bar.addPoints(5);  // claims the kind drawn before, then draws none
    bar.addPoints(5);  // claims nothing
    EXPECT_EQ(bar.getBonus(), BonusBar::NONE);
    EXPECT_EQ(game->screenCounts.bonusesClaimed, 1);
    EXPECT_LE(game->getScore().getValue() - score, 10000);
}

TEST_F(BarsTest, SavedValuesOutOfRangeAreMendedAndDataDivisionsAreGuarded) {
    play(1, 1);
    RefHolder<PropertyNode> saved = savedBar(
        "bonus=9 maxPoints=0 maxCountdown=-3 currentCountdown=99999 multiplier=0 "
        "internalMultiplier=500 currentPoints=nan depletionSpeed=-1");
    RefHolder<BonusBar> bar(new BonusBar(saved.get(), scene.get()));
    EXPECT_GE(bar->getBonus(), 0);
    EXPECT_LT(bar->getBonus(), BonusBar::KIND_COUNT) << "an unknown kind is drawn afresh";
    EXPECT_EQ(bar->getMaxPoints(), BonusBar::DEFAULT_MAX_POINTS);
    EXPECT_EQ(bar->getMaxCountdown(), BonusBar::DEFAULT_MAX_COUNTDOWN);
    EXPECT_EQ(bar->getCurrentCountdown(), BonusBar::DEFAULT_MAX_COUNTDOWN);
    EXPECT_EQ(bar->getMultiplier(), 1);
    EXPECT_EQ(bar->getInternalMultiplier(), 99);
    EXPECT_EQ(bar->getCurrentPoints(), 0.0f);
    EXPECT_EQ(bar->getDepletionSpeed(), BonusBar::DEFAULT_DEPLETION_SPEED);

    // Level values of 0: the meter shows empty and the clock draws empty, without dividing.
    bar->setMaxPoints(0);
    bar->setMaxCountdown(0);
    GameNode::appendChild(bar.get(), scene->getTree());
    bar->addPoints(0);
    frame(20);
    EXPECT_TRUE(std::isfinite(bar->getShownFill()));
    EXPECT_EQ(bar->getLastCountdownLevel(), 0);
    bar->setRemoved(true);

    // The clock's pixel pass: pictures of other sizes are refused, the rest is thresholded.
    RefHolder<Image> target = Image::createImage(2, 1, 4);
    RefHolder<Image> source = Image::createImage(2, 1, 4);
    RefHolder<Image> threshold = Image::createImage(2, 1, 4);
    RefHolder<Image> small = Image::createImage(1, 1, 4);
    ASSERT_TRUE(target->lock() && source->lock() && threshold->lock());
    reinterpret_cast<uint32_t*>(source->getPixels())[0] = 0xFF102030u;
    reinterpret_cast<uint32_t*>(source->getPixels())[1] = 0xFF405060u;
    reinterpret_cast<uint32_t*>(target->getPixels())[0] = 0x12345678u;
    *threshold->getAlphaAddress(0, 0) = 10;
    *threshold->getAlphaAddress(1, 0) = 200;
    target->unlock();
    source->unlock();
    threshold->unlock();
    EXPECT_FALSE(BonusBar::drawThresholdMask(target.get(), source.get(), small.get(), 100, false));
    ASSERT_TRUE(target->lock());
    EXPECT_EQ(reinterpret_cast<uint32_t*>(target->getPixels())[0], 0x12345678u);
    target->unlock();
    EXPECT_TRUE(
        BonusBar::drawThresholdMask(target.get(), source.get(), threshold.get(), 100, false));
    ASSERT_TRUE(target->lock());
    EXPECT_EQ(reinterpret_cast<uint32_t*>(target->getPixels())[0], 0xFF102030u);
    EXPECT_EQ(reinterpret_cast<uint32_t*>(target->getPixels())[1], 0u);
    target->unlock();
}

TEST_F(BarsTest, PicturesOfBothBarsEmptyHalfAndFull) {
    Game* game = play(1, 1);
    (void)game;
    loadResources({"IMAGE_COUNTDOWNTIMER", "IMAGE_COUNTDOWNTHRESHOLD"}, "game");
    DisplayValue& time = timeBar().getTime();
    const int32_t full = time.getMaximum();
    BonusBar& bar = bonusBar();
    bar.setDepletionSpeed(0.0f);
    bar.setMaxPoints(100000);
    struct Step {
        const char* name;
        int32_t time;
        int32_t points;
    };
    for (const Step& step : {Step{"bars-full", full, 99900}, Step{"bars-half", full / 2, 50000},
                             Step{"bars-empty", 0, 0}}) {
        time.set(step.time);
        // The meter: points straight from a saved state; the combo at 3 with half its clock.
        const std::string values =
            "bonus=2 maxPoints=100000 maxCountdown=4000 multiplier=3 "
            "internalMultiplier=3 depletionSpeed=0 currentPoints=";
        RefHolder<BonusBar> shown =
            restoreBar(*scene, scene->getBonusBar(),
                       values + std::to_string(step.points) +
                           (step.points > 0 ? " currentCountdown=1600" : ""));
        RefHolder<Dialog> dialog(new Dialog(nullptr));
        GameDialogHost::get()->onDialogOpened(dialog.get());  // hold the clocks for the picture
        runFrames(60, 20);
        GameDialogHost::get()->onDialogClosed(dialog.get());
        ASSERT_NE(writeScenePicture(scene.get(), step.name), nullptr) << step.name;
        shown->setRemoved(true);
    }
}

}  // namespace bonus_bar_test
