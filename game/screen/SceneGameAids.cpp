// The game scene's player aids: hint, shuffle, undo and the super hint with their costs per room,
// the HUD of each room, the matches and progress counters, and the stuck handling.
#include <algorithm>
#include <cstdint>
#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/nodes/Sprite.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/GameSound.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/BonusBar.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/LabelTicker.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/SceneGame.h"
#include "game/screen/TimeBar.h"

namespace {

constexpr int32_t GLOW_BLINK_MS = 200;
constexpr int32_t GLOW_FADE_MS = 150;
constexpr int32_t SUPER_HINT_SLIDE_MS = 500;
constexpr int32_t SQUASH_STEP_MS = 120;
const Rect SCREEN_RECT{0, 0, 800, 600};

bool timedRoom(RoomKind room) {
    return room == RoomKind::CASINO || room == RoomKind::ROOF;
}

int32_t tilesOnBoard() {
    Game* game = Game::current();
    return game && game->getLayout() ? game->getLayout()->getTileCount() : 0;
}

// One less, not below 0, in value and shown value at once.
void takeOne(DisplayValue& stock) {
    stock.set(std::max(stock.getValue() - 1, 0));
}

// The shuffle's time in the game type; an entry that is missing costs nothing.
int32_t shufflePenalty(GameType gameType) {
    BasicProperties* globals = BasicProperties::instance();
    PropertyVector* penalties = globals ? globals->getVector("SHUFFLE_TIME_PENALTIES") : nullptr;
    if (!penalties || gameType < 0 || gameType >= penalties->getChildCount()) {
        return 0;
    }
    auto* entry = objectCast<PropertyValue>(penalties->getChildAt(gameType));
    return entry ? std::max(entry->getInt(), 0) : 0;
}

void showButtonImage(Button* button, const RefHolder<Image>& image) {
    if (button && image) {
        button->setImage(image.get());
    }
}

}  // namespace

bool SceneGame::aidsAllowed() const {
    return pauseState == RUNNING && !currentState && renderer && !isDialogOpen("DIALOG_HINT");
}

// --- Hint ---

int32_t SceneGame::onHint(BaseObject*) {
    useHint();
    return 0;
}

void SceneGame::useHint() {
    Game* game = Game::current();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!game || !aidsAllowed()) {
        return;
    }
    const TuningConstants& c = tuning();
    const RoomKind room = currentRoomKind();
    if (room == RoomKind::FLOORS && (!player || player->getHintStock().getValue() <= 0)) {
        return;
    }
    if (timedRoom(room) && getTimeValue().getValue() < c.HINT_TIME_PENALTY) {
        return;
    }
    // A hint still shown blocks a second one.
    if (!game->getSuperHintTiles().empty()) {
        return;
    }
    game->clearSuperHintTiles();
    game->clearSelection();
    clearHintPath(true);
    Game::TileList tiles;
    if (!game->findHint(tiles)) {
        return;
    }
    playGameSound("SOUND_USE_HINT");
    markHintTiles(tiles);
    ++game->levelCounts.hintCount;
    if (player) {
        takeOne(player->getHintStock());
    }
    if (room == RoomKind::FLOORS) {
        updateHintsLabel();
    } else if (timedRoom(room)) {
        DisplayValue& time = getTimeValue();
        time.set(time.getValue() - c.HINT_TIME_PENALTY);
        showTimeBarPenalty(-(c.HINT_TIME_PENALTY / 1000));
    } else {
        game->runCounts.clockTime += c.HINT_CLOCK_TIME_PENALTY;
        if (timeLabel) {
            // Under the clock, below the top bar's rule rather than across it.
            showTimePenalty(c.HINT_CLOCK_TIME_PENALTY / 1000, timeLabel->getX(),
                            timeLabel->getY() - 10, L"+", floaterBoard());
        }
        squashTimeLabel();
    }
}

void SceneGame::markHintTiles(const Game::TileList& tiles) {
    Game* game = Game::current();
    if (!game) {
        return;
    }
    const size_t count = std::min(tiles.size(), static_cast<size_t>(game->getTilesPerMatch()));
    for (size_t i = 0; i < count; ++i) {
        markHintTile(tiles[i].get());
        game->addSuperHintTile(tiles[i].get());
        game->addSelectedTile(tiles[i].get());
    }
    if (Game::currentLevelGameType() == Game::TYPE_RIVER && count >= 2) {
        showHintPath(tiles[0].get(), tiles[1].get());
    }
}

void SceneGame::squashTimeLabel() {
    if (!timeLabel) {
        return;
    }
    const int32_t w = timeLabel->getWidth();
    const int32_t h = timeLabel->getHeight();
    const int32_t steps[][2] = {{w * 8 / 10, h * 12 / 10},
                                {w * 15 / 10, h * 5 / 10},
                                {w * 7 / 10, h * 13 / 10},
                                {w * 115 / 100, h * 85 / 100},
                                {w, h}};
    int32_t fromW = w;
    int32_t fromH = h;
    for (const auto& step : steps) {
        Modifier* stretch = new ModifierStretch(SQUASH_STEP_MS, fromW, fromH, step[0], step[1]);
        stretch->setFlags(Modifier::FLAG_BLOCKING);
        GameNode::addModifier(timeLabel, stretch);
        fromW = step[0];
        fromH = step[1];
    }
}

// --- Shuffle ---

int32_t SceneGame::onShuffle(BaseObject*) {
    useShuffle();
    return 0;
}

void SceneGame::useShuffle() {
    if (isDialogOpen("TEXT_STUCK_QUOVEL")) {
        GameDialogs::get().close(findDialog("TEXT_STUCK_QUOVEL"));
    }
    removeShuffleGlows();
    // A tutorial hint shown instead takes the press.
    if (shuffleHintShown()) {
        return;
    }
    Game* game = Game::current();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!game || !aidsAllowed() || tilesOnBoard() <= 0) {
        return;
    }
    if (currentRoomKind() == RoomKind::FLOORS) {
        if (player && player->getShuffleStock().getValue() > 0 && performShuffle(true)) {
            updateShufflesLabel();
        }
        return;
    }
    const int32_t penalty = shufflePenalty(Game::currentLevelGameType());
    DisplayValue& time = getTimeValue();
    if (time.getValue() < penalty) {
        return;
    }
    time.set(time.getValue() - penalty);
    showTimeBarPenalty(-(penalty / 1000));
    performShuffle(true);
}

bool SceneGame::performShuffle(bool charge) {
    Game* game = Game::current();
    if (!game || (charge && (!aidsAllowed() || tilesOnBoard() <= 0))) {
        return false;
    }
    game->screenCounts.pressedShuffle = true;
    game->gameCounts.lastMatchKey = -1;
    game->clearSelection();
    game->clearSuperHintTiles();
    clearHintPath(true);
    // Nothing before a shuffle can be undone.
    game->clearUndoHistory();
    if (charge) {
        if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
            takeOne(player->getShuffleStock());
        }
        ++game->levelCounts.shuffleCount;
        // FreeCell's hint counter counts matches that left a parked partner; shuffles taken
        // with a cell open have a counter of their own.
        SideBoard* cells = game->getLayout() ? game->getLayout()->getSideBoard() : nullptr;
        if (Game::currentLevelGameType() == Game::TYPE_FREECELL && cells &&
            cells->getTileCount() < cells->getCapacity()) {
            ++game->levelCounts.freeCellShuffleCount;
        }
    }
    setState(new StateShuffle(this));
    return true;
}

// --- Undo ---

int32_t SceneGame::onUndo(BaseObject*) {
    if (Game* game = Game::current(); game && aidsAllowed()) {
        game->undo();
    }
    return 0;
}

// --- Super hint ---

void SceneGame::startSuperHint(Sprite* icon) {
    superHintTimeLeft = tuning().SUPER_HINT_DURATION;
    superHintEnding = false;
    if (superHintIcon && superHintIcon.get() != icon) {
        superHintIcon->setRemoved(true);
    }
    superHintIcon = icon;
    superHintOverlay = nullptr;
    if (icon) {
        if (RefHolder<Image> image = gameImage("IMAGE_BONUSSUPERHINT_OVERLAY")) {
            superHintOverlay = new Sprite(0, 0, image.get());
            superHintOverlay->setAnchor(icon->getAnchor().type);
            appendChild(superHintOverlay.get(), icon);
        }
    }
    playGameSound("SOUND_SUPERHINT");
    updateSuperHintOverlay();
    markSuperHintTiles();
}

void SceneGame::updateSuperHintOverlay() {
    if (!superHintIcon || !superHintOverlay) {
        return;
    }
    superHintOverlay->setAlpha(superHintIcon->getAlpha());
    const int64_t duration = tuning().SUPER_HINT_DURATION;
    const int64_t width = superHintOverlay->getWidth();
    // A duration of 0 or less has nothing left to run: the veil covers the icon.
    const int64_t spent = std::clamp<int64_t>(duration - superHintTimeLeft, 0,
                                              std::max<int64_t>(duration, 0));
    const int64_t covered = duration > 0 ? width * spent / duration : width;
    superHintOverlay->setClipRect(
        Rect{superHintOverlay->getLeft(), superHintOverlay->getTop(), static_cast<int32_t>(covered),
             600});
}

void SceneGame::markSuperHintTiles() {
    Game* game = Game::current();
    if (!game || !game->getLayout()) {
        return;
    }
    game->clearSelection();
    Game::TileList matches;
    game->findMatches(matches, nullptr);
    deselectAll();
    SideBoard* sideBoard = game->getLayout()->getSideBoard();
    for (const RefHolder<Tile>& tile : matches) {
        game->addSuperHintTile(tile.get());
        if (sideBoard && tile->isOnSideBoard()) {
            sideBoard->addSuperHintTint(tile.get());
        } else {
            addSuperHintTint(tile.get());
        }
    }
    addDirtyRect(SCREEN_RECT);
}

void SceneGame::dismissSuperHintIcon(bool animated) {
    RefHolder<Sprite> icon = superHintIcon;
    superHintIcon = nullptr;
    superHintOverlay = nullptr;
    if (!icon) {
        return;
    }
    GameNode::removeAllModifiers(icon.get());
    if (!animated) {
        icon->setRemoved(true);
        return;
    }
    auto* slide = new ModifierLocationLine(icon->getX(), icon->getY(), 800 + icon->getWidth(),
                                           icon->getY(), SUPER_HINT_SLIDE_MS, true);
    slide->setFlags(Modifier::FLAG_REMOVE_TARGET);
    GameNode::addModifier(icon.get(), slide);
}

// --- HUD ---

void SceneGame::showHudForRoom() {
    const RoomKind room = currentRoomKind();
    const bool floors = room == RoomKind::FLOORS;
    const bool rec = room == RoomKind::RECROOM;
    showNode(hintButton, true);
    showNode(hintsLabel, floors);
    showNode(shuffleButton, !rec);
    showNode(shufflesLabel, floors);
    showNode(undoButton, rec);
    showNode(scoreTicker, !rec);
    showNode(scoreCaption, !rec);
    showNode(timeLabel, rec);
    showNode(timeCaption, rec);
    showNode(levelLabel, floors || room == RoomKind::ROOF);
    showNode(levelCaption, floors || room == RoomKind::ROOF);
    showNode(timeBar.get(), !rec);
    showNode(bonusBar.get(), !rec);
    showNode(findChild("BONUSBAR_CIRCLE"), !rec);
}

void SceneGame::updateLevelLabel() {
    if (Level* level = Game::current() ? Game::current()->getLevel() : nullptr) {
        setLabelNumber(levelLabel, level->getIndex() + 1);
    }
}

void SceneGame::updateMatchesText() {
    Game* game = Game::current();
    if (!game || !game->getLayout()) {
        return;
    }
    const int32_t count = game->countMatches(nullptr);
    setLabelNumber(matchesLabel, count);
    if (matchesCaption) {
        const std::string form = count == 0 ? "ZERO" : count == 1 ? "ONE" : "PLURAL";
        const char* prefix = Game::currentLevelGameType() == Game::TYPE_TRIPLE
                                 ? "TEXT_TRIPLE_MATCHES_"
                                 : "TEXT_MATCHES_";
        matchesCaption->setText(getBasicText(prefix + form));
    }
    if (count == 0 && game->isStuck(0) && !isLevelOver()) {
        ++game->runCounts.numZeroMatches;
        if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
            ++player->getStats().numStuck;
        }
        showStuckDialog(true);
    }
}

void SceneGame::updateProgressLabel() {
    Game* game = Game::current();
    if (!game || !game->getLayout() || !progressLabel) {
        return;
    }
    Layout* layout = game->getLayout();
    const int32_t total = layout->getStartingTileCount();
    int32_t left = layout->getTileCount();
    // A tile parked in a free cell is still to be played; the racks of Split and Speed show
    // copies, which were never among the starting tiles.
    if (SideBoard* cells = layout->getSideBoard();
        cells && Game::currentLevelGameType() == Game::TYPE_FREECELL) {
        left += cells->getTileCount();
    }
    // Whole percent, counted in whole numbers so that an exact share shows exactly; a layout
    // that started empty has made no progress.
    const int64_t percent = total > 0 ? (int64_t{total} - left) * 100 / total : 0;
    const std::string text = std::to_string(percent) + "%";
    progressLabel->setText(std::wstring(text.begin(), text.end()));
}

// --- Stuck ---

void SceneGame::showStuckDialog(bool checkShuffle) {
    Game* game = Game::current();
    if (!game || !game->getLayout()) {
        return;
    }
    bool helps = false;
    if (checkShuffle) {
        helps = game->shuffleWouldHelp();
    }
    const RoomKind room = currentRoomKind();
    if (timedRoom(room) && helps) {
        addShuffleGlows();
        return;
    }
    GameDialogs::Question question;
    if (room == RoomKind::RECROOM) {
        question = GameDialogs::get().ask("TEXT_STUCK_RECROOM", "TEXT_STUCK_RECROOM_HEADER",
                                          callback<&SceneGame::onStuckUndo>(),
                                          callback<&SceneGame::onStuckRestart>(), this);
        if (question.dialog) {
            showButtonImage(question.yes, gameImage("STUCK_BUTTON_UNDO"));
        }
    } else {
        question = GameDialogs::get().ask("TEXT_STUCK_QUOVEL", "TEXT_STUCK_QUOVEL_HEADER",
                                          callback<&SceneGame::onStuckShuffle>(),
                                          callback<&SceneGame::onStuckRestart>(), this);
        if (question.yes) {
            QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
            const bool stock =
                room != RoomKind::FLOORS || (player && player->getShuffleStock().getValue() > 0);
            showButtonImage(question.yes, gameImage("STUCK_BUTTON_SHUFFLE"));
            question.yes->setEnabled(helps && stock);
        }
    }
    if (!question.dialog) {
        return;
    }
    showButtonImage(question.no, gameImage("STUCK_BUTTON_RESTART"));
    openDialog(question.dialog);
}

template <int32_t (SceneGame::*Action)(BaseObject*)>
int32_t SceneGame::stuckAction(BaseObject* sender, int32_t value) {
    SceneGame* scene = fromHost();
    if (!scene) {
        return 0;
    }
    if (PropertyNode* event = Game::addCustomEvent()) {
        event->addChild(new PropertyValue("stuckAction", std::to_string(value), true));
    }
    // The button's callback names the scene; the question is the open one of either key.
    GameDialogs& dialogs = GameDialogs::get();
    const iGuiMethod::Bound then = callback<Action>(scene);
    if (dialogs.closeThen(sender, then)) {
        return 0;
    }
    for (const char* name : {"TEXT_STUCK_QUOVEL", "TEXT_STUCK_RECROOM"}) {
        if (scene->isDialogOpen(name) && dialogs.closeThen(scene->findDialog(name), then)) {
            return 0;
        }
    }
    (scene->*Action)(nullptr);
    return 0;
}

int32_t SceneGame::runRestart(BaseObject*) {
    restartLevel();
    return 0;
}

int32_t SceneGame::onStuckRestart(BaseObject* dialog) {
    return stuckAction<&SceneGame::runRestart>(dialog, 0);
}

int32_t SceneGame::onStuckShuffle(BaseObject* dialog) {
    return stuckAction<&SceneGame::onShuffle>(dialog, 1);
}

int32_t SceneGame::onStuckUndo(BaseObject* dialog) {
    return stuckAction<&SceneGame::onUndo>(dialog, 2);
}

// --- The shuffle glows ---

void SceneGame::addShuffleGlows() {
    // Both glows of an earlier stuck board go first, so that no blinking sprite is left over.
    for (RefHolder<Sprite>* glow : {&shuffleGlow, &matchesGlow}) {
        if (*glow) {
            GameNode::removeAllModifiers(glow->get());
            (*glow)->setRemoved(true);
            *glow = nullptr;
        }
    }
    RefHolder<Image> image = gameImage("GLOW_BUTTON_SHUFFLE");
    if (!image || !shuffleButton || !shuffleButton->getParent()) {
        return;
    }
    shuffleGlow = new Sprite(shuffleButton->getX() + 2, shuffleButton->getY() - 7, image.get());
    shuffleGlow->setAlpha(0);
    GameNode::addModifier(shuffleGlow.get(),
                          new ModifierBlink(0, 255, GLOW_BLINK_MS, 0, GLOW_BLINK_MS, 0, 0));
    insertBefore(shuffleGlow.get(), shuffleButton);
    if (matchesLabel) {
        matchesGlow = new Sprite(1, -16, image.get());
        matchesGlow->setAnchor(Sprite::ANCHOR_TOP);
        matchesGlow->setAlpha(0);
        GameNode::addModifier(matchesGlow.get(), new ModifierDelay(GLOW_BLINK_MS));
        GameNode::addModifier(matchesGlow.get(),
                              new ModifierBlink(0, 255, GLOW_BLINK_MS, 0, GLOW_BLINK_MS, 0, 0));
        appendChild(matchesGlow.get(), matchesLabel);
    }
}

void SceneGame::removeShuffleGlows() {
    for (RefHolder<Sprite>* glow : {&shuffleGlow, &matchesGlow}) {
        if (!*glow) {
            continue;
        }
        GameNode::removeAllModifiers(glow->get());
        Modifier* fade = new ModifierAlpha(GLOW_FADE_MS, (*glow)->getAlpha(), 0);
        fade->setFlags(Modifier::FLAG_REMOVE_TARGET);
        GameNode::addModifier(glow->get(), fade);
        *glow = nullptr;
    }
}
