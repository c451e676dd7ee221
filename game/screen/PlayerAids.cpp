#include "game/screen/PlayerAids.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/ScreenSize.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/nodes/Sprite.h"
#include "framework/scene/Scene.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/GameSound.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/BoardInput.h"
#include "game/screen/Floaters.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/GameHud.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/PlayScreen.h"

namespace {

constexpr int32_t GLOW_BLINK_MS = 200;
constexpr int32_t GLOW_FADE_MS = 150;
constexpr int32_t SUPER_HINT_SLIDE_MS = 500;
constexpr int32_t SQUASH_STEP_MS = 120;
constexpr int32_t SUPER_HINT_WARNING = 900;

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

PlayerAids::PlayerAids(PlayScreen& play, BoardInput& input, Floaters& floaters)
    : play(play), input(input), floaters(floaters) {}

bool PlayerAids::aidsAllowed() const {
    return play.getFlow().getPauseState() == PlayScreen::RUNNING &&
           !play.getFlow().getCurrentState() && play.getRenderer() &&
           !play.getScene().isDialogOpen("DIALOG_HINT");
}

// --- Hint ---

int32_t PlayerAids::onHint(BaseObject*) {
    useHint();
    return 0;
}

void PlayerAids::useHint() {
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
    if (timedRoom(room) && play.getTimeValue().getValue() < c.HINT_TIME_PENALTY) {
        return;
    }
    // A hint still shown blocks a second one.
    if (!game->getSuperHintTiles().empty()) {
        return;
    }
    game->clearSuperHintTiles();
    game->clearSelection();
    input.clearHintPath(true);
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
        play.getHud().updateHintsLabel();
    } else if (timedRoom(room)) {
        DisplayValue& time = play.getTimeValue();
        time.set(time.getValue() - c.HINT_TIME_PENALTY);
        floaters.showTimeBarPenalty(-(c.HINT_TIME_PENALTY / 1000));
    } else {
        game->runCounts.clockTime += c.HINT_CLOCK_TIME_PENALTY;
        if (Label* timeLabel = play.getHud().getTimeLabel()) {
            // Under the clock, below the top bar's rule rather than across it.
            floaters.showTimePenalty(c.HINT_CLOCK_TIME_PENALTY / 1000, timeLabel->getX(),
                                     timeLabel->getY() - 10, L"+", floaters.floaterBoard());
        }
        squashTimeLabel();
    }
}

void PlayerAids::markHintTiles(const Game::TileList& tiles) {
    Game* game = Game::current();
    if (!game) {
        return;
    }
    const size_t count = std::min(tiles.size(), static_cast<size_t>(game->getTilesPerMatch()));
    for (size_t i = 0; i < count; ++i) {
        input.markHintTile(tiles[i].get());
        game->addSuperHintTile(tiles[i].get());
        game->addSelectedTile(tiles[i].get());
    }
    if (Game::currentLevelGameType() == Game::TYPE_RIVER && count >= 2) {
        input.showHintPath(tiles[0].get(), tiles[1].get());
    }
}

void PlayerAids::squashTimeLabel() {
    Label* timeLabel = play.getHud().getTimeLabel();
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

int32_t PlayerAids::onShuffle(BaseObject*) {
    useShuffle();
    return 0;
}

void PlayerAids::useShuffle() {
    Scene& scene = play.getScene();
    if (scene.isDialogOpen("TEXT_STUCK_QUOVEL")) {
        GameDialogs::get().close(scene.findDialog("TEXT_STUCK_QUOVEL"));
    }
    removeShuffleGlows();
    // A tutorial hint shown instead takes the press.
    if (input.shuffleHintShown()) {
        return;
    }
    Game* game = Game::current();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!game || !aidsAllowed() || tilesOnBoard() <= 0) {
        return;
    }
    if (currentRoomKind() == RoomKind::FLOORS) {
        if (player && player->getShuffleStock().getValue() > 0 && performShuffle(true)) {
            play.getHud().updateShufflesLabel();
        }
        return;
    }
    const int32_t penalty = shufflePenalty(Game::currentLevelGameType());
    DisplayValue& time = play.getTimeValue();
    if (time.getValue() < penalty) {
        return;
    }
    time.set(time.getValue() - penalty);
    floaters.showTimeBarPenalty(-(penalty / 1000));
    performShuffle(true);
}

bool PlayerAids::performShuffle(bool charge) {
    Game* game = Game::current();
    if (!game || (charge && (!aidsAllowed() || tilesOnBoard() <= 0))) {
        return false;
    }
    game->screenCounts.pressedShuffle = true;
    game->gameCounts.lastMatchKey = -1;
    game->clearSelection();
    game->clearSuperHintTiles();
    input.clearHintPath(true);
    // Nothing before a shuffle can be undone.
    game->clearUndoHistory();
    if (charge) {
        if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
            takeOne(player->getShuffleStock());
        }
        ++game->levelCounts.shuffleCount;
        // FreeCell's hint counter counts matches that left a parked partner; shuffles taken
        // with a cell open have a counter of their own.
        SideBoard* cells = currentSideBoard();
        if (Game::currentLevelGameType() == Game::TYPE_FREECELL && cells &&
            cells->getTileCount() < cells->getCapacity()) {
            ++game->levelCounts.freeCellShuffleCount;
        }
    }
    play.getFlow().shuffleBoard();
    return true;
}

// --- Undo ---

int32_t PlayerAids::onUndo(BaseObject*) {
    if (Game* game = Game::current(); game && aidsAllowed()) {
        game->undo();
    }
    return 0;
}

// --- Super hint ---

void PlayerAids::startSuperHint(Sprite* icon) {
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
            GameNode::appendChild(superHintOverlay.get(), icon);
        }
    }
    playGameSound("SOUND_SUPERHINT");
    updateSuperHintOverlay();
    markSuperHintTiles();
}

void PlayerAids::updateSuperHintOverlay() {
    if (!superHintIcon || !superHintOverlay) {
        return;
    }
    superHintOverlay->setAlpha(superHintIcon->getAlpha());
    const int64_t duration = tuning().SUPER_HINT_DURATION;
    const int64_t width = superHintOverlay->getWidth();
    // A duration of 0 or less has nothing left to run: the veil covers the icon.
    const int64_t spent =
        std::clamp<int64_t>(duration - superHintTimeLeft, 0, std::max<int64_t>(duration, 0));
    const int64_t covered = duration > 0 ? width * spent / duration : width;
    superHintOverlay->setClipRect(Rect{superHintOverlay->getLeft(), superHintOverlay->getTop(),
                                       static_cast<int32_t>(covered), SCREEN_HEIGHT});
}

void PlayerAids::markSuperHintTiles() {
    Game* game = Game::current();
    if (!game || !game->getLayout()) {
        return;
    }
    game->clearSelection();
    Game::TileList matches;
    game->findMatches(matches, nullptr);
    input.deselectAll();
    SideBoard* sideBoard = game->getLayout()->getSideBoard();
    for (const RefHolder<Tile>& tile : matches) {
        game->addSuperHintTile(tile.get());
        if (sideBoard && tile->isOnSideBoard()) {
            sideBoard->addSuperHintTint(tile.get());
        } else if (LayoutRenderer* renderer = play.getRenderer()) {
            renderer->addSuperHintTint(tile.get());
        }
    }
    if (LayoutRenderer* renderer = play.getRenderer()) {
        renderer->addDirtyRect(SCREEN_RECT);
    }
}

void PlayerAids::dismissSuperHintIcon(bool animated) {
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
    auto* slide =
        new ModifierLocationLine(icon->getX(), icon->getY(), SCREEN_WIDTH + icon->getWidth(),
                                 icon->getY(), SUPER_HINT_SLIDE_MS, true);
    slide->setFlags(Modifier::FLAG_REMOVE_TARGET);
    GameNode::addModifier(icon.get(), slide);
}

void PlayerAids::advanceSuperHint(int32_t elapsedMs) {
    Game* game = Game::current();
    if (!game || superHintTimeLeft <= 0) {
        return;
    }
    superHintTimeLeft -= elapsedMs;
    updateSuperHintOverlay();
    if (superHintTimeLeft <= SUPER_HINT_WARNING && !superHintEnding && superHintIcon) {
        superHintEnding = true;
        GameNode::addModifier(superHintIcon.get(),
                              new ModifierSound("SOUND_SUPER_HINT_ENDS", "game", true));
        GameNode::addModifier(superHintIcon.get(), new ModifierBlink(255, 0, 100, 0, 100, 100, 3));
    }
    if (superHintTimeLeft <= 0) {
        SideBoard* sideBoard = currentSideBoard();
        LayoutRenderer* renderer = play.getRenderer();
        for (const RefHolder<Tile>& tile : game->getSuperHintTiles()) {
            if (sideBoard && tile->isOnSideBoard()) {
                sideBoard->addPlainImage(tile.get());
            } else if (renderer) {
                renderer->clearModifiers(tile.get());
            }
        }
        game->clearSuperHintTiles();
        dismissSuperHintIcon(true);
    }
}

void PlayerAids::clear() {
    dismissSuperHintIcon(false);
    superHintTimeLeft = 0;
    for (RefHolder<Sprite>* glow : {&shuffleGlow, &matchesGlow}) {
        if (*glow) {
            (*glow)->setRemoved(true);
            *glow = nullptr;
        }
    }
}

// --- Stuck ---

void PlayerAids::showStuckDialog(bool checkShuffle) {
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
        question = GameDialogs::get().ask(
            "TEXT_STUCK_RECROOM", "TEXT_STUCK_RECROOM_HEADER", callback<&PlayerAids::onStuckUndo>(),
            callback<&PlayerAids::onStuckRestart>(), &play.getScene());
        if (question.dialog) {
            showButtonImage(question.yes, gameImage("STUCK_BUTTON_UNDO"));
        }
    } else {
        question =
            GameDialogs::get().ask("TEXT_STUCK_QUOVEL", "TEXT_STUCK_QUOVEL_HEADER",
                                   callback<&PlayerAids::onStuckShuffle>(),
                                   callback<&PlayerAids::onStuckRestart>(), &play.getScene());
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
    play.getScene().openDialog(question.dialog);
}

template <int32_t (PlayerAids::*Action)(BaseObject*)>
int32_t PlayerAids::stuckAction(BaseObject* sender, int32_t value) {
    PlayScreen* play = PlayScreen::fromHost();
    if (!play) {
        return 0;
    }
    PlayerAids& aids = play->getAids();
    Scene& scene = play->getScene();
    if (PropertyNode* event = Game::addCustomEvent()) {
        event->addChild(new PropertyValue("stuckAction", std::to_string(value), true));
    }
    // The button's callback names no target: the aids are the dialogs' host's; the question is
    // the open one of either key.
    GameDialogs& dialogs = GameDialogs::get();
    const iGuiMethod::Bound then = callback<Action>(&aids);
    if (dialogs.closeThen(sender, then)) {
        return 0;
    }
    for (const char* name : {"TEXT_STUCK_QUOVEL", "TEXT_STUCK_RECROOM"}) {
        if (scene.isDialogOpen(name) && dialogs.closeThen(scene.findDialog(name), then)) {
            return 0;
        }
    }
    (aids.*Action)(nullptr);
    return 0;
}

int32_t PlayerAids::runRestart(BaseObject*) {
    play.getFlow().restartLevel();
    return 0;
}

int32_t PlayerAids::onStuckRestart(BaseObject* dialog) {
    return stuckAction<&PlayerAids::runRestart>(dialog, 0);
}

int32_t PlayerAids::onStuckShuffle(BaseObject* dialog) {
    return stuckAction<&PlayerAids::onShuffle>(dialog, 1);
}

int32_t PlayerAids::onStuckUndo(BaseObject* dialog) {
    return stuckAction<&PlayerAids::onUndo>(dialog, 2);
}

// --- The shuffle glows ---

void PlayerAids::addShuffleGlows() {
    // Both glows of an earlier stuck board go first, so that no blinking sprite is left over.
    for (RefHolder<Sprite>* glow : {&shuffleGlow, &matchesGlow}) {
        if (*glow) {
            GameNode::removeAllModifiers(glow->get());
            (*glow)->setRemoved(true);
            *glow = nullptr;
        }
    }
    RefHolder<Image> image = gameImage("GLOW_BUTTON_SHUFFLE");
    Button* shuffleButton = play.getHud().getShuffleButton();
    Label* matchesLabel = play.getHud().getMatchesLabel();
    if (!image || !shuffleButton || !shuffleButton->getParent()) {
        return;
    }
    shuffleGlow = new Sprite(shuffleButton->getX() + 2, shuffleButton->getY() - 7, image.get());
    shuffleGlow->setAlpha(0);
    GameNode::addModifier(shuffleGlow.get(),
                          new ModifierBlink(0, 255, GLOW_BLINK_MS, 0, GLOW_BLINK_MS, 0, 0));
    GameNode::insertBefore(shuffleGlow.get(), shuffleButton);
    if (matchesLabel) {
        matchesGlow = new Sprite(1, -16, image.get());
        matchesGlow->setAnchor(Sprite::ANCHOR_TOP);
        matchesGlow->setAlpha(0);
        GameNode::addModifier(matchesGlow.get(), new ModifierDelay(GLOW_BLINK_MS));
        GameNode::addModifier(matchesGlow.get(),
                              new ModifierBlink(0, 255, GLOW_BLINK_MS, 0, GLOW_BLINK_MS, 0, 0));
        GameNode::appendChild(matchesGlow.get(), matchesLabel);
    }
}

void PlayerAids::removeShuffleGlows() {
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
