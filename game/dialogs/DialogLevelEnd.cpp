#include "game/dialogs/DialogLevelEnd.h"

#include <climits>

#include "framework/core/BasicProperties.h"
#include "framework/core/ModifierContainer.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Image.h"
#include "framework/platform/Sound.h"
#include "framework/scene/Scene.h"
#include "game/dialogs/DialogTrophy.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/Level.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/PlayScreen.h"
#include "game/visuals/Effects.h"
#include "game/visuals/ModifierLabelValue.h"
#include "game/visuals/ScreenUtils.h"

QUOVEL_DEFINE_TYPE(DialogLevelEnd, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogLevelEnd)

int32_t DialogLevelEnd::levelEndBestScore = 0;
int32_t DialogLevelEnd::levelEndBestTime = 0;

namespace {

constexpr int32_t LABEL_FADE_TIME = 500;
constexpr int32_t SCORE_TO_TIME_PAUSE = 500;
constexpr int32_t COUNT_INTERVAL = 40;
constexpr int32_t TIME_COUNT_TIME = 1000;
constexpr int32_t RECORD_TIME_COUNT_TIME = 500;
// A stepped count moves by the smallest power of ten whose twentyfold passes the distance, at
// least by this much.
constexpr float STEP_DIVISOR = 20.0f;
constexpr int32_t LEAST_STEP = 100;
const char* const GAME_SECTION = "game";

const char* const SUB_TEXTS[] = {"TEXT_LEVEL_END_QUOVEL", "TEXT_LEVEL_END_CASINO",
                                 "TEXT_LEVEL_END_RECROOM", "TEXT_LEVEL_END_ROOFTOP"};
// A lost level leads back to the hallway on the floors; in the casino and on the roof it ends the
// run. The rec room has no clock that runs out.
const char* const TIME_UP_TEXTS[] = {"TEXT_LEVEL_END_TIME_UP", "TEXT_LEVEL_END_TIME_UP_CASINO",
                                     "TEXT_LEVEL_END_TIME_UP", "TEXT_LEVEL_END_TIME_UP_ROOFTOP"};

int32_t currentScore() {
    Game* game = Game::current();
    return game ? game->getScore().getValue() : 0;
}

// The rec room's clock counts up; elsewhere the time played.
int32_t currentTime() {
    Game* game = Game::current();
    if (!game) {
        return 0;
    }
    return currentRoomKind() == RoomKind::RECROOM ? game->runCounts.clockTime
                                                  : game->runCounts.realTime;
}

Modifier* chain(Modifier* after, GameNode* target, Modifier* modifier) {
    modifier->setTarget(target);
    return ModifierContainer::addModifier(after, modifier);
}

Modifier* fadeUp(Modifier* after, GameNode* target, int32_t duration) {
    return chain(after, target, new ModifierAlpha(duration, 0, DialogQuovelMahjong::OPAQUE));
}

std::wstring withBlank(const char* statKey) {
    return getBasicText(statKey) + L" ";
}

// A count on the label from `from` to `to` by decimal steps every 40 ms, grouped digits.
Modifier* steppedCount(Modifier* after, Label* label, int32_t from, int32_t to, const char* statKey,
                       Sound* tick) {
    auto* count = new ModifierLabelValue(INT32_MAX, from, to, COUNT_INTERVAL, withBlank(statKey));
    count->setRule(ModifierLabelValue::RULE_TENFOLD);
    count->setMul(STEP_DIVISOR);
    count->setAdd(LEAST_STEP);
    count->setTickSound(tick);
    return chain(after, label, count);
}

// A count on the label over `duration` ms, in clock format.
Modifier* linearTimeCount(Modifier* after, Label* label, int32_t from, int32_t to, int32_t duration,
                          const char* statKey, Sound* tick) {
    auto* count = new ModifierLabelValue(duration, from, to, COUNT_INTERVAL, withBlank(statKey));
    count->setFormat(ModifierLabelValue::FORMAT_TIME);
    count->setTickSound(tick);
    return chain(after, label, count);
}

template <class T>
RefHolder<T> loadedResource(const char* key) {
    return findLoaded<T>(key, GAME_SECTION);
}

void setTextIfAny(Label* label, const std::wstring& text) {
    if (label) {
        label->setText(text);
    }
}

}  // namespace

DialogLevelEnd::DialogLevelEnd(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    setSoundsEnabled(false);
    setFadeInOnShow(false);
    connect<&DialogLevelEnd::onContinue>("BUTTON_CONTINUE", this, &getComponentsContainer());
    header = objectCast<Sprite>(findChild("HEADER"));
    sub = objectCast<Label>(findChild("SUB"));
    score = objectCast<Label>(findChild("SCORE"));
    bestScore = objectCast<Label>(findChild("BEST_SCORE"));
    time = objectCast<Label>(findChild("TIME"));
    bestTime = objectCast<Label>(findChild("BEST_TIME"));
    const RoomKind kind = currentRoomKind();
    if (kind >= RoomKind::FLOORS && kind <= RoomKind::ROOF) {
        setTextIfAny(sub, getBasicText(SUB_TEXTS[static_cast<size_t>(kind)]));
    }
    if (kind == RoomKind::CASINO || kind == RoomKind::RECROOM || kind == RoomKind::ROOF) {
        placeAnchor(kind == RoomKind::RECROOM);
    }
    Game* game = Game::current();
    setTimeUp(game && !game->getHasWon());
}

DialogLevelEnd::~DialogLevelEnd() = default;

void DialogLevelEnd::lookupBest() {
    Level* level = Game::currentLevel();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!level || !player) {
        return;
    }
    QuovelMahjongStats& stats = player->getStats();
    switch (level->getGameMode()) {
        case RoomKind::FLOORS:
            if (const RoomRecord* record = stats.roomRecord(level->getFloor(), level->getRoom())) {
                levelEndBestScore = record->bestScore;
                levelEndBestTime = record->bestTime;
            }
            break;
        case RoomKind::CASINO:
            if (const CasinoRecord* record =
                    stats.casinoRecord(level->getGameType(), level->getDifficulty())) {
                levelEndBestScore = record->bestScore;
            }
            break;
        case RoomKind::RECROOM:
            if (const RecRoomRecord* record =
                    stats.recRoomRecordFor(level->getGameType(), level->getIndex())) {
                levelEndBestTime = record->bestTime;
            }
            break;
        case RoomKind::ROOF:
            if (const RooftopRecord* record =
                    stats.rooftopRecord(level->getGameType(), level->getDifficulty())) {
                levelEndBestScore = record->bestScore;
            }
            break;
        default:
            break;
    }
}

void DialogLevelEnd::placeAnchor(bool timeOnly) {
    GameNode* anchor = findChild("ANCHOR");
    for (Label* label : {score, bestScore, time, bestTime}) {
        if (!label) {
            continue;
        }
        if (anchor) {
            label->setY(anchor->getY());
        }
        const bool isTime = label == time || label == bestTime;
        label->setVisible(isTime == timeOnly);
    }
    // One row on the anchor's line, at the box's middle: the divider between two rows would
    // run through it.
    if (GameNode* divider = findChild("DIVIDER")) {
        divider->setVisible(false);
    }
}

void DialogLevelEnd::setTimeUp(bool value) {
    timeUp = value;
    if (!value) {
        return;
    }
    if (header) {
        if (RefHolder<Image> image = loadedResource<Image>("IMAGE_GAMEOVER")) {
            header->setImage(image.get());
        }
    }
    const RoomKind kind = currentRoomKind();
    const bool inBuilding = kind >= RoomKind::FLOORS && kind <= RoomKind::ROOF;
    setTextIfAny(sub, getBasicText(inBuilding ? TIME_UP_TEXTS[static_cast<size_t>(kind)]
                                              : TIME_UP_TEXTS[0]));
}

bool DialogLevelEnd::isNewScoreRecord() const {
    const RoomKind kind = currentRoomKind();
    if (timeUp && (kind == RoomKind::FLOORS || kind == RoomKind::RECROOM)) {
        return false;
    }
    return currentScore() >= levelEndBestScore;
}

bool DialogLevelEnd::isNewTimeRecord() const {
    const RoomKind kind = currentRoomKind();
    if (timeUp && (kind == RoomKind::FLOORS || kind == RoomKind::RECROOM)) {
        return false;
    }
    return currentTime() < levelEndBestTime || levelEndBestTime == 0;
}

std::wstring DialogLevelEnd::scoreText(const char* statKey, int32_t value) {
    return withBlank(statKey) +
           ModifierLabelValue::formatNumber(value, ModifierLabelValue::FORMAT_DOT,
                                            getBasicText("CTEXT_DIGIT_GROUPING_SYMBOL"));
}

std::wstring DialogLevelEnd::timeText(const char* statKey, int32_t ms) {
    return withBlank(statKey) +
           ModifierLabelValue::formatNumber(ms, ModifierLabelValue::FORMAT_TIME, L"");
}

std::wstring DialogLevelEnd::bestTimeText(int32_t ms) {
    return ms == 0 ? withBlank("TEXT_RECORD_STAT") + L"-" : timeText("TEXT_RECORD_STAT", ms);
}

void DialogLevelEnd::bufferForFade() {
    setBuffered(true);
    setRepaint(true);
    getComponentsContainer().setActive(false);
}

int32_t DialogLevelEnd::endBuffering(BaseObject*) {
    setBuffered(false);
    setRepaint(true);
    return 0;
}

int32_t DialogLevelEnd::endIntro(BaseObject*) {
    introSequence = nullptr;
    resetButtons();
    return 0;
}

void DialogLevelEnd::show() {
    DialogQuovelMahjong::show();
    bufferForFade();
    setAlpha(0);
    for (Label* label : {score, bestScore, time, bestTime}) {
        if (label) {
            label->setAlpha(0);
        }
    }
    Scene* screen = targetScene();
    introSequence = new ModifierContainer();
    if (screen) {
        ModifierContainer::addModifier(screen->getAnimTree(), introSequence.get());
    }
    const TuningConstants& constants = tuning();
    if (header && screen) {
        setPositionRelativeTo(header, screen->getTree());
        setSpriteAnchor(header, Sprite::ANCHOR_CENTER);
        addPopInModifiers(header, introSequence.get(), constants.GOODIE_APPEAR_TIME,
                          constants.GOODIE_WIGGLE_TIME, constants.GOODIE_WIGGLE_ANGLE);
    }
    Modifier* faded = fadeUp(introSequence.get(), this,
                             constants.GOODIE_APPEAR_TIME + 5 * constants.GOODIE_WIGGLE_TIME);
    chain(faded, this, new ModifierFunction(callback<&DialogLevelEnd::endBuffering>(this)));
    RefHolder<Sound> tick = loadedResource<Sound>("SOUND_SCORE_TICK");
    Modifier* last = faded;
    if (score && score->isVisible()) {
        last = addScorePart(last, tick.get());
    }
    if (time && time->isVisible()) {
        last = addTimePart(last, tick.get());
    }
    chain(last, this, new ModifierFunction(callback<&DialogLevelEnd::endIntro>(this)));
    stampOpaqueParts(false);
}

Modifier* DialogLevelEnd::addCelebration(Modifier* after, Label* label) {
    chain(after, label, new ModifierSound("SOUND_RECORD_BROKEN", GAME_SECTION, false));
    chain(after, label, new ModifierFunction(callback<&Effects::bonusStar>()));
    return after;
}

Modifier* DialogLevelEnd::addScorePart(Modifier* after, Sound* tick) {
    if (bestScore) {
        fadeUp(after, score, LABEL_FADE_TIME);
        after = fadeUp(after, bestScore, LABEL_FADE_TIME);
    } else {
        after = fadeUp(after, score, LABEL_FADE_TIME);
    }
    const int32_t best = levelEndBestScore;
    const int32_t finalScore = currentScore();
    setTextIfAny(bestScore, scoreText("TEXT_RECORD_STAT", best));
    setTextIfAny(score, scoreText("TEXT_SCORE_STAT", 0));
    if (isNewScoreRecord()) {
        if (best > 0) {
            after = steppedCount(after, score, 0, best, "TEXT_SCORE_STAT", tick);
        }
        if (bestScore) {
            Modifier* record =
                steppedCount(after, bestScore, best, finalScore, "TEXT_RECORD_STAT", nullptr);
            addCelebration(record, bestScore);
        }
        after = steppedCount(after, score, best, finalScore, "TEXT_SCORE_STAT", tick);
    } else {
        after = steppedCount(after, score, 0, finalScore, "TEXT_SCORE_STAT", tick);
    }
    if (time && time->isVisible()) {
        after = chain(after, this, new ModifierDelay(SCORE_TO_TIME_PAUSE));
    }
    return after;
}

Modifier* DialogLevelEnd::addTimePart(Modifier* after, Sound* tick) {
    if (bestTime) {
        fadeUp(after, time, LABEL_FADE_TIME);
        after = fadeUp(after, bestTime, LABEL_FADE_TIME);
    } else {
        after = fadeUp(after, time, LABEL_FADE_TIME);
    }
    const int32_t best = levelEndBestTime;
    const int32_t finalTime = currentTime();
    setTextIfAny(bestTime, bestTimeText(best));
    setTextIfAny(time, timeText("TEXT_TIME_STAT", 0));
    after = linearTimeCount(after, time, 0, finalTime, TIME_COUNT_TIME, "TEXT_TIME_STAT", tick);
    if (isNewTimeRecord() && bestTime) {
        after = linearTimeCount(after, bestTime, best, finalTime, RECORD_TIME_COUNT_TIME,
                                "TEXT_RECORD_STAT", tick);
        addCelebration(after, bestTime);
    }
    return after;
}

bool DialogLevelEnd::onLeftButtonDown(int32_t, int32_t, int32_t, bool) {
    if (!introSequence) {
        return false;
    }
    introSequence->setRemoved(true);
    introSequence = nullptr;
    setAlpha(OPAQUE);
    if (header) {
        header->setScale(1.0f);
        header->setRotation(0.0f);
        header->setVisible(true);
    }
    for (Label* label : {score, bestScore, time, bestTime}) {
        if (label) {
            label->setAlpha(OPAQUE);
        }
    }
    const int32_t finalScore = currentScore();
    const int32_t finalTime = currentTime();
    setTextIfAny(score, scoreText("TEXT_SCORE_STAT", finalScore));
    setTextIfAny(bestScore, scoreText("TEXT_RECORD_STAT",
                                      isNewScoreRecord() ? finalScore : levelEndBestScore));
    setTextIfAny(time, timeText("TEXT_TIME_STAT", finalTime));
    setTextIfAny(bestTime, isNewTimeRecord() ? timeText("TEXT_RECORD_STAT", finalTime)
                                             : bestTimeText(levelEndBestTime));
    resetButtons();
    return true;
}

void DialogLevelEnd::stampOpaqueParts(bool withHeader) {
    updateBackground();
    if (withHeader) {
        stampSpriteAlpha(this, header);
    }
    stampSpriteAlpha(this, objectCast<Sprite>(findChild("BOX")));
    stampSpriteAlpha(this, objectCast<Sprite>(findChild("BUTTON_CONTINUE")));
}

void DialogLevelEnd::callContinuation() {
    if (hasCallback()) {
        getCallback()(getCallbackTarget(), this);
    }
}

int32_t DialogLevelEnd::onContinue(BaseObject*) {
    if (continued) {
        return 0;
    }
    continued = true;
    bufferForFade();
    iInputListener::setActive(false);
    if (header) {
        setPositionRelativeTo(header, getComponents());
    }
    auto* fade = new ModifierAlpha(tuning().DIALOG_FADE_TIME, getAlpha(), 0);
    fade->setFlags(fade->getFlags() | Modifier::FLAG_BLOCKING);
    GameNode::addModifier(this, fade);
    if (DialogTrophy::showIfNew(callback<&DialogLevelEnd::isRoomInfoState>(this))) {
        return 0;
    }
    if (!nextLevelIntroduced()) {
        callContinuation();
    }
    stampOpaqueParts(true);
    return 0;
}

bool DialogLevelEnd::nextLevelIntroduced() {
    PlayScreen* scene = PlayScreen::fromHost();
    GameSceneState* state = scene ? scene->getFlow().getCurrentState() : nullptr;
    return state && state->isA(&StateRoomInfo::typeRecord);
}

int32_t DialogLevelEnd::isRoomInfoState(BaseObject*) {
    if (!nextLevelIntroduced()) {
        callContinuation();
    }
    return 0;
}
