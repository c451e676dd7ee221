#include "game/screen/BonusBar.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "framework/core/NumberClamp.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/Random.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFraction.h"
#include "framework/nodes/ModifierFrame.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Image.h"
#include "framework/scene/Scene.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/Level.h"
#include "game/rules/TrophyId.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/GameHud.h"
#include "game/screen/PlayScreen.h"
#include "game/screen/PlayerAids.h"
#include "game/screen/TimeBar.h"
#include "game/screen/TrophyNotices.h"
#include "game/visuals/Effects.h"

QUOVEL_DEFINE_TYPE(BonusBar, &Sprite::typeRecord)
QUOVEL_REGISTER_CLASS(BonusBar)

namespace {

constexpr float FILL_MAX_SPEED = 1000.0f;
constexpr float FILL_ACCELERATION = 2000.0f;
constexpr float FILL_BRAKING = 2000.0f;
constexpr int32_t SCORE_BONUS[] = {2500, 5000, 10000};
constexpr int32_t TAG_BASE = 100;
constexpr int32_t SUPER_HINT_X = 740;
constexpr int32_t SUPER_HINT_Y = 60;
constexpr int32_t STAR_SPREAD = 20;
constexpr int32_t STAR_FRAME_TIME = 60;
constexpr int32_t STAR_HOLD = 180;
constexpr int32_t STAR_FADE = 420;
constexpr int32_t ARRIVED_FADE = 1000;
constexpr int32_t ICON_GROW = 500;
constexpr int32_t END_FADE = 400;
constexpr int32_t QUICK_BONUS_TIME = 5000;
constexpr int32_t TEN_BONUSES = 10;
constexpr int32_t SUPER_HINT_FLOOR = 3;

float easeInQuad(float t) {
    return t * t;
}

Modifier* removesTarget(Modifier* modifier) {
    modifier->setFlags(modifier->getFlags() | Modifier::FLAG_REMOVE_TARGET);
    return modifier;
}

// The centre of a node on the screen: its absolute position, plus half its size, less its
// anchor offset.
void centreOf(GameNode* node, int32_t& x, int32_t& y) {
    x = node->getAbsoluteX();
    y = node->getAbsoluteY();
    if (auto* sprite = objectCast<Sprite>(node)) {
        x += sprite->getWidth() / 2 - truncToInt32(sprite->getAnchor().x);
        y += sprite->getHeight() / 2 - truncToInt32(sprite->getAnchor().y);
    }
}

}  // namespace

BonusBar::BonusBar(PropertyNode* saved) : BonusBar(saved, PlayScreen::fromHost()) {}

BonusBar::BonusBar(PropertyNode* saved, PlayScreen* scene) : Sprite(saved), scene(scene) {
    readRules();
    findParts();
    effectLayer = new GameNode();
    if (scene && scene->getScene().getComponents()) {
        GameNode::appendChild(effectLayer.get(), scene->getScene().getComponents());
    }
    if (AbstractProperty::isReal(saved)) {
        restore(saved);
    } else {
        chooseNextBonus();
    }
    refreshView();
}

BonusBar::~BonusBar() {
    if (effectLayer) {
        effectLayer->setRemoved(true);
    }
}

void BonusBar::readRules() {
    RefHolder<PropertyStore> store(new PropertyStore());
    store->loadFile(RULES_FILE);  // an unreadable file leaves every weight at 0
    rules = store->getChildVector("bonuses");
}

void BonusBar::setRules(PropertyVector* value) {
    rules = value;
}

void BonusBar::findParts() {
    if (!scene) {
        return;
    }
    const auto part = [this](const char* name) {
        return RefHolder<Sprite>(objectCast<Sprite>(scene->getScene().findChild(name)));
    };
    filling = part("BONUSBAR_FILLING");
    multiplierLabel = objectCast<Label>(scene->getScene().findChild("BONUSBAR_MULTIPLIER"));
    timer = part("BONUSBAR_TIMER");
    bonusIcon = part("BONUSBAR_BONUS");
    box = part("BONUSBAR_BOX");
    sunshine = part("BONUSBAR_SUNSHINE");
}

void BonusBar::restore(PropertyNode* saved) {
    const auto integer = [saved](const char* key) { return saved->getChildValue(key)->getInt(); };
    const auto number = [saved](const char* key) { return saved->getChildValue(key)->getFloat(); };
    maxPoints = integer("maxPoints");
    if (maxPoints <= 0) {
        maxPoints = DEFAULT_MAX_POINTS;
    }
    maxCountdown = integer("maxCountdown");
    if (maxCountdown <= 0) {
        maxCountdown = DEFAULT_MAX_COUNTDOWN;
    }
    const float points = number("currentPoints");
    currentPoints = std::isfinite(points) ? std::clamp(points, 0.0f, float(maxPoints)) : 0.0f;
    currentCountdown = std::clamp(integer("currentCountdown"), 0, maxCountdown);
    multiplier = std::clamp(integer("multiplier"), 1, MAX_MULTIPLIER);
    internalMultiplier = std::clamp(integer("internalMultiplier"), 1, MAX_MULTIPLIER);
    const float speed = number("depletionSpeed");
    depletionSpeed = std::isfinite(speed) && speed >= 0.0f ? speed : DEFAULT_DEPLETION_SPEED;
    superHint = saved->getChildValue("superHint")->getBool();
    const int32_t kind = integer("bonus");
    if (kind >= 0 && kind < KIND_COUNT) {
        bonus = kind;
    } else {
        bonus = NONE;
        chooseNextBonus();
    }
}

void BonusBar::refreshView() {
    if (sunshine) {
        sunshine->setAlpha(0);
    }
    shownFill = targetFill();
    updateFillClip();
    drawCountdown(true);
    showBonusImage();
    for (Sprite* part : {sunshine.get(), box.get(), bonusIcon.get()}) {
        if (part) {
            GameNode::removeAllModifiers(part);
        }
    }
    if (box) {
        box->setFrame(0);
    }
    if (bonusIcon) {
        bonusIcon->setScale(1.0f);
    }
    updateMultiplierLabel();
}

void BonusBar::save(PropertyNode* node) const {
    if (!node) {
        return;
    }
    node->addChild(new PropertyValue("bonus", bonus));
    node->addChild(new PropertyValue("maxPoints", maxPoints));
    node->addChild(new PropertyValue("currentPoints", currentPoints));
    node->addChild(new PropertyValue("maxCountdown", maxCountdown));
    node->addChild(new PropertyValue("currentCountdown", currentCountdown));
    node->addChild(new PropertyValue("multiplier", multiplier));
    node->addChild(new PropertyValue("internalMultiplier", internalMultiplier));
    node->addChild(new PropertyValue("depletionSpeed", depletionSpeed));
    node->addChild(PropertyValue::fromBool("superHint", superHint));
}

int32_t BonusBar::chance(int32_t kind) const {
    if (!rules || kind < 0 || kind >= rules->getChildCount()) {
        return 0;
    }
    return std::max(nodeOrDummy(rules->getChildAt(kind))->getChildValue("chance")->getInt(), 0);
}

float BonusBar::countdownFactor(int32_t value) {
    const TuningConstants& c = tuning();
    const float factor = 1.0f - static_cast<float>(value - 1) * c.MULTIPLIER_PERCENTAGE;
    return factor > c.MULTIPLIER_MINIMUM ? factor : c.MULTIPLIER_MINIMUM;
}

// --- Matches and claims ---

void BonusBar::addPoints(int32_t points) {
    if (isSuspended()) {
        return;
    }
    currentPoints += static_cast<float>(int64_t{internalMultiplier} * points);
    raiseMultiplier();
    if (currentPoints >= static_cast<float>(maxPoints)) {
        claim();
    }
}

void BonusBar::raiseMultiplier() {
    multiplier = std::min(multiplier + 1, MAX_MULTIPLIER);
    internalMultiplier = std::min(internalMultiplier + 1, MAX_MULTIPLIER);
    if (Game* game = Game::current()) {
        game->screenCounts.bestChain = std::max(game->screenCounts.bestChain, multiplier);
    }
    currentCountdown =
        truncToInt32(static_cast<double>(maxCountdown) * countdownFactor(multiplier));
    drawCountdown(false);
    updateMultiplierLabel();
    if (multiplier == tuning().TROPHY_COMBO_FRENZY_MULTIPLIER) {
        awardTrophy(TrophyId::COMBO_FRENZY);
    }
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        player->getStats().maxCombo = std::max(player->getStats().maxCombo, multiplier);
    }
}

void BonusBar::claim() {
    Game* game = Game::current();
    if (game) {
        game->screenCounts.lastBonusTime = game->levelCounts.timeSinceLastRestart;
    }
    if (filling) {
        GameNode::removeAllModifiers(filling.get());
    }
    updateFillClip();
    currentPoints = 0.0f;
    internalMultiplier = 1;
    applyBonus();
    animateClaim();
    chooseNextBonus();
    showBonusImage();
    if (game && currentRoomKind() != RoomKind::RECROOM) {
        if (game->runCounts.realTime < QUICK_BONUS_TIME) {
            awardTrophy(TrophyId::QUICK_BONUS);
        }
        if (game->screenCounts.bonusesClaimed == TEN_BONUSES) {
            awardTrophy(TrophyId::TEN_BONUSES);
        }
    }
}

void BonusBar::applyBonus() {
    if (bonus < 0 || bonus >= KIND_COUNT) {
        return;  // nothing was drawn
    }
    Game* game = Game::current();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (game) {
        game->screenCounts.bonusesClaimed =
            saturateToInt32(int64_t{game->screenCounts.bonusesClaimed} + 1);
    }
    if (player) {
        QuovelMahjongStats& stats = player->getStats();
        stats.maxBonus = std::max(stats.maxBonus, game ? game->screenCounts.bonusesClaimed : 0);
        stats.numBonusTotal = saturateToInt32(int64_t{stats.numBonusTotal} + 1);
    }
    switch (bonus) {
        case TIME:
            if (scene && scene->getTimeBar()) {
                scene->getTimeBar()->getTime().add(tuning().TIME_BONUS);
            }
            break;
        case SHUFFLE:
            if (player) {
                player->getShuffleStock().add(1);
            }
            break;
        case SCORE_2500:
        case SCORE_5000:
        case SCORE_10000:
            if (game) {
                const int32_t points = SCORE_BONUS[bonus - SCORE_2500];
                game->addScore(points);
                game->gameCounts.bonusPoints =
                    saturateToInt32(int64_t{game->gameCounts.bonusPoints} + points);
            }
            break;
        case HINT:
            if (player) {
                player->getHintStock().add(1);
            }
            break;
        case SUPER_HINT:
            superHint = true;
            break;
        default:
            break;
    }
    const TuningConstants& c = tuning();
    if (player && player->getHintStock().getValue() == c.MAX_NUM_HINTS &&
        player->getShuffleStock().getValue() == c.MAX_NUM_SHUFFLES) {
        awardTrophy(TrophyId::FULL_STOCKS);
    }
}

int32_t BonusBar::drawKind(int32_t shown) {
    std::array<int32_t, KIND_COUNT> weights{};
    for (int32_t kind = 0; kind < KIND_COUNT; ++kind) {
        weights[kind] = chance(kind);
    }
    if (shown >= 0 && shown < KIND_COUNT) {
        weights[shown] = 0;  // never the same kind twice in a row
    }
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    const TuningConstants& c = tuning();
    const bool superHintRunning = scene && scene->getAids().getSuperHintTimeLeft() > 0;
    if (superHint || superHintRunning || !player || player->floorReached < SUPER_HINT_FLOOR) {
        weights[SUPER_HINT] = 0;
    }
    if (player && player->getHintStock().getValue() == c.MAX_NUM_HINTS) {
        weights[HINT] = 0;
    }
    if (player && player->getShuffleStock().getValue() == c.MAX_NUM_SHUFFLES) {
        weights[SHUFFLE] = 0;
    }
    const RoomKind room = currentRoomKind();
    if (room != RoomKind::FLOORS) {
        weights[HINT] = 0;
        weights[SHUFFLE] = 0;
    }
    if (room == RoomKind::RECROOM) {
        weights[TIME] = 0;
    }
    Level* level = Game::currentLevel();
    if (level &&
        (level->getGameType() == Game::TYPE_SPEED || level->getGameType() == Game::TYPE_SPLIT)) {
        weights[SUPER_HINT] = 0;
    }
    chances = weights;
    int64_t total = 0;
    for (int32_t weight : weights) {
        total += weight;
    }
    if (total <= 0) {
        return NONE;
    }
    Random* random = Random::getInstance();
    const int32_t r = random ? random->nextInt(0, saturateToInt32(total)) : 0;
    int64_t sum = 0;
    for (int32_t kind = 0; kind < KIND_COUNT; ++kind) {
        sum += weights[kind];
        if (sum > r) {
            return kind;
        }
    }
    return SUPER_HINT;
}

void BonusBar::chooseNextBonus() {
    bonus = drawKind(bonus);
}

void BonusBar::showBonusImage() {
    if (!bonusIcon || !rules || bonus < 0 || bonus >= rules->getChildCount()) {
        return;
    }
    const std::string key =
        nodeOrDummy(rules->getChildAt(bonus))->getChildValue("image")->getValue();
    if (RefHolder<Image> image = gameImage(key)) {
        bonusIcon->setImage(image.get());
    }
}

void BonusBar::awardTrophy(TrophyId id) {
    if (scene) {
        scene->getTrophies().awardTrophy(id);
    }
}

// --- The claim's animation ---

void BonusBar::destination(int32_t kind, int32_t& x, int32_t& y) const {
    x = SUPER_HINT_X;
    y = SUPER_HINT_Y;
    if (!scene) {
        return;
    }
    GameNode* target = nullptr;
    switch (kind) {
        case TIME:
            if (GameNode* background = scene->getScene().findChild("TIMEBAR_BACKGROUND")) {
                int32_t unused = 0;
                centreOf(background, x, unused);
                if (scene->getTimeBar()) {
                    y = truncToInt32(scene->getTimeBar()->fillTop());
                }
            }
            return;
        case SHUFFLE:
            target = scene->getScene().findChild("BUTTON_SHUFFLE");
            break;
        case HINT:
            target = scene->getHud().getHintButton();
            break;
        case SCORE_2500:
        case SCORE_5000:
        case SCORE_10000:
            target = scene->getHud().getScoreLabel();
            break;
        default:
            return;
    }
    if (target) {
        centreOf(target, x, y);
    }
}

void BonusBar::animateClaim() {
    if (bonus < 0 || bonus >= KIND_COUNT) {
        return;
    }
    const TuningConstants& c = tuning();
    int32_t destX = 0;
    int32_t destY = 0;
    destination(bonus, destX, destY);
    if (sunshine) {
        GameNode::removeAllModifiers(sunshine.get());
        GameNode::addModifier(sunshine.get(),
                              new ModifierSound("SOUND_BONUS_CLAIMED", "game", true));
        GameNode::addModifier(sunshine.get(),
                              new ModifierAlpha(c.BONUS_ANIM_SHINE_FADE_TIME, sunshine->getAlpha(),
                                                c.BONUS_ANIM_SHINE_ALPHA));
        GameNode::addModifier(sunshine.get(), new ModifierFrame(-1, c.BONUS_ANIM_SHINE_MSPF));
        GameNode::addModifier(sunshine.get(), new ModifierDelay(c.BONUS_ANIM_SHINE_TIME));
        GameNode::addModifier(sunshine.get(), new ModifierAlpha(c.BONUS_ANIM_SHINE_FADE_TIME,
                                                                c.BONUS_ANIM_SHINE_ALPHA, 0));
    }
    if (box) {
        GameNode::addModifier(box.get(), blocking(new ModifierFrame(c.BONUS_ANIM_FLASH_COUNT,
                                                                    c.BONUS_ANIM_FLASH_MSPF)));
        GameNode::addModifier(box.get(),
                              new ModifierFunction(callback<&BonusBar::resetBoxFrame>(this)));
    }
    if (!bonusIcon) {
        return;
    }
    GameNode::removeAllModifiers(bonusIcon.get());
    RefHolder<Sprite> flying(new Sprite(*bonusIcon));
    bonusIcon->setScale(0.0f);
    flying->setScale(1.0f);
    flying->setTag(bonus + TAG_BASE);
    GameNode::appendChild(flying.get(), effectLayer.get());
    flying->setRemoved(false);
    flyingBonus = flying;
    const bool super = bonus == SUPER_HINT;
    Sprite* node = flying.get();
    GameNode::addModifier(node, new ModifierDelay(c.BONUS_ANIM_BONUS_DELAY));
    GameNode::addModifier(node, new ModifierFunction(callback<&BonusBar::onBonusDetached>(this)));
    GameNode::addModifier(node, new ModifierSound("SOUND_BONUS_DETACHED", "game", true));
    GameNode::addModifier(
        node, new ModifierFractionFunc(c.BONUS_ANIM_FLY_TIME, callback<&BonusBar::spawnStar>(this),
                                       c.BONUS_ANIM_STAR_INTERVAL));
    if (!super) {
        GameNode::addModifier(node, new ModifierScale(1.0f, 0.6f, c.BONUS_ANIM_FLY_TIME));
    }
    auto* flight = new ModifierLocationLine(node->getX(), node->getY(), destX, destY,
                                            c.BONUS_ANIM_FLY_TIME, false);
    flight->setEasing(&easeInQuad);
    GameNode::addModifier(node, blocking(flight));
    const char* arrival = bonus == TIME ? "SOUND_BONUS_TIME_ARRIVES"
                          : bonus >= SCORE_2500 && bonus <= SCORE_10000
                              ? "SOUND_BONUS_SCORE_ARRIVES"
                          : super ? "SOUND_SUPER_HINT_ARRIVES"
                                  : nullptr;
    if (arrival) {
        GameNode::addModifier(node, new ModifierSound(arrival, "game", true));
    }
    GameNode::addModifier(node, new ModifierFunction(callback<&Effects::bonusBarStars>()));
    GameNode::addModifier(node,
                          new ModifierFunction(callback<&BonusBar::onBonusArrivedCallback>(this)));
    if (!super) {
        // The landed copy fades and then goes.
        GameNode::addModifier(node, removesTarget(new ModifierAlpha(ARRIVED_FADE, 255, 0)));
    }
    GameNode::addModifier(bonusIcon.get(), new ModifierDelay(c.BONUS_ANIM_SCALE_DELAY));
    GameNode::addModifier(bonusIcon.get(), new ModifierScale(0.0f, 1.0f, ICON_GROW));
}

int32_t BonusBar::resetBoxFrame(BaseObject*) {
    if (box) {
        box->setFrame(0);
    }
    return 0;
}

int32_t BonusBar::onBonusDetached(BaseObject* sender) {
    auto* modifier = objectCast<Modifier>(sender);
    GameNode* node = modifier ? modifier->getTarget() : nullptr;
    if (node && node == flyingBonus.get()) {
        flyingBonus = nullptr;
    }
    return 0;
}

int32_t BonusBar::onBonusArrivedCallback(BaseObject* sender) {
    auto* modifier = objectCast<Modifier>(sender);
    if (modifier && modifier->getTarget()) {
        onBonusArrived(modifier->getTarget());
    }
    return 0;
}

void BonusBar::onBonusArrived(GameNode* sprite) {
    const int32_t tag = sprite->getTag();
    sprite->setTag(0);  // each arrival acts once
    Game* game = Game::current();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    switch (tag - TAG_BASE) {
        case TIME:
            if (scene && scene->getTimeBar()) {
                scene->getTimeBar()->getTime().arrive(tuning().TIME_BONUS);
            }
            break;
        case SHUFFLE:
            if (player) {
                player->getShuffleStock().arrive(1);
            }
            if (scene) {
                scene->getHud().updateShufflesLabel();
            }
            break;
        case SCORE_2500:
        case SCORE_5000:
        case SCORE_10000:
            if (game) {
                game->onScoreArrived(SCORE_BONUS[tag - TAG_BASE - SCORE_2500]);
            }
            break;
        case HINT:
            if (player) {
                player->getHintStock().arrive(1);
            }
            if (scene) {
                scene->getHud().updateHintsLabel();
            }
            break;
        case SUPER_HINT:
            // Used now: while it runs, the running hint itself keeps another from the draw.
            superHint = false;
            if (scene) {
                scene->getAids().startSuperHint(objectCast<Sprite>(sprite));
            }
            break;
        default:
            break;
    }
}

int32_t BonusBar::spawnStar(BaseObject* sender) {
    auto* modifier = objectCast<Modifier>(sender);
    GameNode* flying = modifier ? modifier->getTarget() : nullptr;
    Random* random = Random::getInstance();
    if (!flying || !flying->getParent()) {
        return 0;
    }
    RefHolder<Image> image = findOrLoad<Image>("BONUS_STAR", "default");
    const int32_t dx = random ? random->nextInt(-STAR_SPREAD, STAR_SPREAD) : 0;
    const int32_t dy = random ? random->nextInt(-STAR_SPREAD, STAR_SPREAD) : 0;
    RefHolder<Sprite> star(new Sprite(flying->getX() + dx, flying->getY() + dy, image.get()));
    star->setAnchor(Sprite::ANCHOR_CENTER);
    GameNode::insertBefore(star.get(), flying);
    GameNode::addModifier(star.get(), new ModifierFrame(1, STAR_FRAME_TIME));
    GameNode::addModifier(star.get(), new ModifierDelay(STAR_HOLD));
    GameNode::addModifier(star.get(), removesTarget(new ModifierAlpha(STAR_FADE, 255, 0)));
    return 0;
}

void BonusBar::finishAnimations() {
    if (flyingBonus) {
        flyingBonus = nullptr;
    }
    if (effectLayer) {
        for (GameNode* node = effectLayer->getFirstChild(); node; node = node->getNextSibling()) {
            GameNode::removeAllModifiers(node);
            const int32_t alpha =
                objectCast<Sprite>(node) ? objectCast<Sprite>(node)->getAlpha() : 255;
            GameNode::addModifier(node, removesTarget(new ModifierAlpha(END_FADE, alpha, 0)));
            if (node->getTag() > 9) {
                onBonusArrived(node);  // a bonus in flight still takes effect
            }
        }
    }
    if (bonusIcon) {
        GameNode::removeAllModifiers(bonusIcon.get());
        bonusIcon->setScale(1.0f);
    }
}

// --- The frame ---

bool BonusBar::runs() const {
    return scene && scene->getFlow().getPauseState() == PlayScreen::RUNNING &&
           Game::current() != nullptr;
}

float BonusBar::targetFill() const {
    if (!filling) {
        return 0.0f;
    }
    const float height = static_cast<float>(filling->getHeight());
    if (flyingBonus) {
        return height;
    }
    if (maxPoints <= 0) {
        return 0.0f;
    }
    const float fill = height * currentPoints / static_cast<float>(maxPoints);
    return std::isfinite(fill) ? std::clamp(fill, 0.0f, height) : 0.0f;
}

void BonusBar::update(int32_t elapsedMs) {
    Sprite::update(elapsedMs);
    if (!runs()) {
        return;
    }
    if (currentCountdown > 0) {
        currentCountdown -= elapsedMs;
        if (currentCountdown < 1) {
            multiplier = 1;
            internalMultiplier = 1;
            currentCountdown = 0;
            updateMultiplierLabel();
        }
        drawCountdown(false);
    }
    currentPoints = std::max(currentPoints - static_cast<float>(elapsedMs) * depletionSpeed, 0.0f);
    approachTarget(fillSpeed, shownFill, elapsedMs, targetFill(), FILL_MAX_SPEED, FILL_ACCELERATION,
                   FILL_BRAKING, true);
    updateFillClip();
}

void BonusBar::updateFillClip() {
    if (!filling || maxPoints == 0) {
        return;
    }
    const int32_t height = filling->getHeight();
    const int32_t shown = std::clamp(truncToInt32(shownFill), 0, height);
    filling->setClipRect(
        Rect{filling->getX(), filling->getY() + height - shown, filling->getWidth(), shown});
}

void BonusBar::updateMultiplierLabel() {
    if (multiplierLabel) {
        multiplierLabel->setText(L"x" + std::to_wstring(multiplier));
    }
}

void BonusBar::drawCountdown(bool force) {
    RefHolder<Image> threshold = gameImage("IMAGE_COUNTDOWNTHRESHOLD");
    RefHolder<Image> clockImage = gameImage("IMAGE_COUNTDOWNTIMER");
    if (!timer || !clockImage) {
        return;
    }
    if (!countdownImage) {
        countdownImage = Image::createImage(clockImage->getWidth(), clockImage->getHeight());
        if (!countdownImage) {
            return;
        }
        timer->setImage(countdownImage.get());
    }
    const int32_t full =
        truncToInt32(static_cast<double>(maxCountdown) * countdownFactor(multiplier));
    // A full countdown of 0 or less (from the data) draws the clock empty.
    const int32_t level = full > 0 ? static_cast<int32_t>(std::clamp<int64_t>(
                                         int64_t{currentCountdown} * 255 / full, 0, 255))
                                   : 0;
    if (level != lastCountdownLevel || force) {
        drawThresholdMask(countdownImage.get(), clockImage.get(), threshold.get(), level, false);
        lastCountdownLevel = level;
        timer->setDirty(true);
    }
}

bool BonusBar::drawThresholdMask(Image* target, Image* source, Image* threshold, int32_t level,
                                 bool invert) {
    if (!target || !source || !threshold) {
        return false;
    }
    const int32_t width = target->getWidth();
    const int32_t height = target->getHeight();
    if (source->getWidth() != width || source->getHeight() != height ||
        threshold->getWidth() != width || threshold->getHeight() != height ||
        target->getBytesPerPixel() != source->getBytesPerPixel() ||
        (target->getBytesPerPixel() != 2 && target->getBytesPerPixel() != 4)) {
        return false;
    }
    if (!target->lock()) {
        return false;
    }
    const bool sourceLocked = source->lock();
    const bool thresholdLocked = threshold->lock();
    bool drawn = false;
    if (sourceLocked && thresholdLocked && target->getPixels() && source->getPixels()) {
        const int32_t depth = target->getBytesPerPixel();
        for (int32_t y = 0; y < height; ++y) {
            uint8_t* to = target->getPixels() + int64_t{y} * target->getPitch();
            const uint8_t* from = source->getPixels() + int64_t{y} * source->getPitch();
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t* t = threshold->getAlphaAddress(x, y);
                uint8_t* toAlpha = target->getAlphaAddress(x, y);
                const bool clear = ((t ? *t : 0) < level) == invert;
                if (depth == 4) {
                    auto* pixel = reinterpret_cast<uint32_t*>(to) + x;
                    *pixel = clear ? 0u : reinterpret_cast<const uint32_t*>(from)[x];
                } else {
                    auto* pixel = reinterpret_cast<uint16_t*>(to) + x;
                    *pixel = clear ? uint16_t{0} : reinterpret_cast<const uint16_t*>(from)[x];
                    if (toAlpha) {
                        const uint8_t* fromAlpha = source->getAlphaAddress(x, y);
                        *toAlpha = clear ? 0 : (fromAlpha ? *fromAlpha : 255);
                    }
                }
            }
        }
        drawn = true;
        target->markChanged();
    }
    if (thresholdLocked) {
        threshold->unlock();
    }
    if (sourceLocked) {
        source->unlock();
    }
    target->unlock();
    return drawn;
}

void BonusBar::setVisible(bool value) {
    if (value != isVisible()) {
        setDirty(true);
    }
    Sprite::setVisible(value);
    for (GameNode* part :
         {static_cast<GameNode*>(filling.get()), static_cast<GameNode*>(box.get()),
          static_cast<GameNode*>(bonusIcon.get()), static_cast<GameNode*>(timer.get()),
          static_cast<GameNode*>(multiplierLabel.get()), static_cast<GameNode*>(sunshine.get())}) {
        if (part) {
            part->setVisible(value);
        }
    }
    if (scene) {
        if (GameNode* background = scene->getScene().findChild("BONUSBAR_BACKGROUND")) {
            background->setVisible(value);
        }
    }
}
