#include "game/screen/GameSceneStates.h"

#include <algorithm>

#include "framework/core/Random.h"
#include "framework/core/ScreenSize.h"
#include "framework/gui/Button.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/SoundNode.h"
#include "framework/scene/Scene.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/GameSound.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/BoardScreen.h"
#include "game/screen/BonusBar.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/GameHud.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/PlayScreen.h"
#include "game/screen/PlayerAids.h"
#include "game/screen/SavedGameKeeper.h"

QUOVEL_DEFINE_TYPE(GameSceneState, &BaseObject::typeRecord)
QUOVEL_DEFINE_TYPE(StateRoomInfo, &GameSceneState::typeRecord)
QUOVEL_DEFINE_TYPE(StateInstructions, &GameSceneState::typeRecord)
QUOVEL_DEFINE_TYPE(StateBuildLevel, &GameSceneState::typeRecord)
QUOVEL_DEFINE_TYPE(StatePlaying, &GameSceneState::typeRecord)
QUOVEL_DEFINE_TYPE(StateShuffle, &GameSceneState::typeRecord)

namespace {

constexpr int32_t MAX_BUILD_INTERVAL = 20;
constexpr int32_t FEW_TILES = 25;

Layout* currentLayout() {
    Game* game = Game::current();
    return game ? game->getLayout() : nullptr;
}

// The shuffle loop of the build and the tear-down.
SoundNode* makeShuffleSound() {
    RefHolder<Sound> sound = findLoaded<Sound>("SOUND_SHUFFLE", "game");
    return sound ? new SoundNode(sound.get()) : nullptr;
}

void startLoop(SoundNode* sound) {
    if (sound) {
        sound->play(false, sound->getVolume(), sound->getPan(), true);
    }
}

void stopLoop(SoundNode* sound) {
    if (sound) {
        sound->stop(false);
    }
}

int32_t drawIndex(size_t count) {
    Random* random = Random::getInstance();
    return random ? random->nextInt(0, static_cast<int32_t>(count)) : 0;
}

// Draws candidates until one is free on the layout. A layout in which no candidate can become
// free (a closed ring) would draw for ever: after a long run of misses one blocked tile is
// taken all the same.
size_t drawFreeTile(const Layout& layout, const std::vector<RefHolder<Tile>>& candidates) {
    const size_t patience = 16 * candidates.size() + 16;
    for (size_t misses = 0;; ++misses) {
        const size_t index = static_cast<size_t>(drawIndex(candidates.size()));
        if (layout.isTileFree(candidates[index].get())) {
            return index;
        }
        if (misses >= patience) {
            const auto free = std::find_if(candidates.begin(), candidates.end(), [&](auto& tile) {
                return layout.isTileFree(tile.get());
            });
            return free != candidates.end() ? static_cast<size_t>(free - candidates.begin())
                                            : index;
        }
    }
}

// The whole intervals in the carried time and the frame's; the rest is carried to the next.
int32_t takeSteps(int32_t& accumulator, int32_t elapsedMs, int32_t interval) {
    const int32_t total = accumulator + elapsedMs;
    accumulator = total % interval;
    return total / interval;
}

// Milliseconds per tile, never 0: it divides the frame time.
int32_t perTile(int32_t duration, size_t count) {
    const int32_t n = static_cast<int32_t>(std::max<size_t>(count, 1));
    return std::max(duration / n, 1);
}

}  // namespace

void GameSceneState::update(int32_t) {}

void GameSceneState::exit() {}

// --- Room information ---

void StateRoomInfo::enter() {
    if (BonusBar* bonus = scene->getBonusBar()) {
        bonus->updateMultiplierLabel();
    }
    Dialog* dialog = GameDialogs::get().levelInfo(scene->getScene(), Game::currentLevel(),
                                                  callback<&StateRoomInfo::startInstructions>());
    if (!dialog) {
        // Without its dialog the level goes on at once rather than wait for a close.
        StateRoomInfo::startInstructions(nullptr);
        return;
    }
    scene->getScene().openDialog(dialog);
}

int32_t StateRoomInfo::startInstructions(BaseObject*) {
    // The dialog is its own callback target; a close after the level moved on does nothing.
    PlayScreen* scene = PlayScreen::fromHost();
    if (scene && scene->getFlow().getCurrentState() &&
        scene->getFlow().getCurrentState()->isA(&StateRoomInfo::typeRecord)) {
        scene->getFlow().setState(new StateInstructions(scene));
    }
    return 0;
}

// --- Instructions ---

int32_t StateInstructions::hintNumber(RoomKind roomKind, GameType gameType) {
    if (roomKind == RoomKind::ROOF && gameType != Game::TYPE_SPEED) {
        return 14;
    }
    return gameType + 8;
}

void StateInstructions::enter() {
    Level* level = Game::currentLevel();
    const int32_t hint =
        hintNumber(level ? level->getGameMode() : RoomKind::FLOORS, Game::currentLevelGameType());
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (player && player->isHintPending(hint)) {
        if (Dialog* dialog = GameDialogs::get().hostHint(scene->getScene(), hint,
                                                         callback<&StateInstructions::finish>())) {
            scene->getScene().openDialog(dialog);
            player->clearTutorialHint(hint);
            return;
        }
    }
    finish(nullptr);
}

int32_t StateInstructions::finish(BaseObject*) {
    PlayScreen* scene = PlayScreen::fromHost();
    if (!scene || !scene->getFlow().getCurrentState() ||
        !scene->getFlow().getCurrentState()->isA(&StateInstructions::typeRecord)) {
        return 0;
    }
    scene->getFlow().playGameMusic();
    scene->getFlow().setState(new StateBuildLevel(scene));
    return 0;
}

// --- Building the board ---

StateBuildLevel::StateBuildLevel(PlayScreen* scene) : GameSceneState(scene) {
    sound = makeShuffleSound();
}

StateBuildLevel::~StateBuildLevel() = default;

void StateBuildLevel::layOutTiles() {
    buildList.clear();
    Layout* layout = currentLayout();
    if (!layout) {
        return;
    }
    std::vector<RefHolder<Tile>> candidates;
    layout->getAllTiles(candidates);
    buildList.reserve(candidates.size());
    while (!candidates.empty()) {
        const size_t index = drawFreeTile(*layout, candidates);
        buildList.push_back(candidates[index]);
        layout->removeTile(candidates[index].get());
        candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

void StateBuildLevel::enter() {
    layOutTiles();
    if (Layout* layout = currentLayout()) {
        layout->clear();
    }
    if (LayoutRenderer* renderer = scene->getRenderer()) {
        renderer->setVisible(true);
    }
    interval =
        std::min(perTile(tuning().BUILD_LAYOUT_DURATION, buildList.size()), MAX_BUILD_INTERVAL);
    playGameSound("SOUND_LEVEL_BUILDUP");
    startLoop(sound.get());
}

void StateBuildLevel::update(int32_t elapsedMs) {
    const int32_t steps = takeSteps(accumulator, elapsedMs, interval);
    Layout* layout = currentLayout();
    LayoutRenderer* renderer = scene->getRenderer();
    for (int32_t i = 0; i < steps; ++i) {
        if (buildList.empty() || !layout) {
            finish();
            return;
        }
        Tile* tile = buildList.back().get();
        layout->placeTile(tile, tile->getGridX(), tile->getGridY(), tile->getGridZ());
        if (renderer) {
            renderer->placeInGrid(renderer->findRenderTile(tile));
        }
        buildList.pop_back();
    }
}

void StateBuildLevel::finish() {
    if (Layout* layout = currentLayout()) {
        for (auto it = buildList.rbegin(); it != buildList.rend(); ++it) {
            layout->placeTile(it->get(), (*it)->getGridX(), (*it)->getGridY(), (*it)->getGridZ());
        }
    }
    buildList.clear();
    if (LayoutRenderer* renderer = scene->getRenderer()) {
        if (Game::currentLevelGameType() == Game::TYPE_RIVER) {
            renderer->applyLayerShading();
        }
        renderer->addDirtyRect(SCREEN_RECT);
    }
    scene->getBoard().markFreeTiles();
    stopLoop(sound.get());
    if (scene->getAids().getSuperHintTimeLeft() > 0) {
        scene->getAids().markSuperHintTiles();
    }
    scene->getFlow().setState(new StatePlaying(scene));
}

// --- Play begins ---

void StatePlaying::enter() {
    scene->getHud().enableHudButtons();
    // The bars start with play; the rec room's clock is the level flow's own.
    scene->setBarsSuspended(currentRoomKind() == RoomKind::RECROOM);
    scene->getBoard().markFreeTiles();
    Layout* layout = currentLayout();
    if (layout && layout->getSideBoard()) {
        layout->getSideBoard()->setVisible(true);
    }
    if (Game::currentLevelGameType() == Game::TYPE_RIVER && scene->getRenderer()) {
        scene->getRenderer()->applyLayerShading();
    }
    scene->setSaveMode(SavedGameKeeper::SAVE_RUNNING);
    scene->getFlow().setState(nullptr);
}

// --- Shuffle ---

StateShuffle::StateShuffle(PlayScreen* scene) : GameSceneState(scene) {
    sound = makeShuffleSound();
}

StateShuffle::~StateShuffle() = default;

void StateShuffle::enter() {
    scene->getHud().disableHudButtons();
    scene->setBonusBarSuspended(true);
    playGameSound("SOUND_USE_SHUFFLE");
    Layout* layout = currentLayout();
    if (layout) {
        layout->getAllTiles(tiles);
    }
    interval = tiles.size() > static_cast<size_t>(FEW_TILES)
                   ? perTile(tuning().TEAR_DOWN_LAYOUT_DURATION, tiles.size())
                   : std::max(tuning().TEAR_DOWN_LAYOUT_MIN_DURATION, 1);
    startLoop(sound.get());
    Game* game = Game::current();
    if (game && layout) {
        game->dealShuffle();
    }
}

void StateShuffle::update(int32_t elapsedMs) {
    const int32_t steps = takeSteps(accumulator, elapsedMs, interval);
    Layout* layout = currentLayout();
    LayoutRenderer* renderer = scene->getRenderer();
    for (int32_t i = 0; i < steps; ++i) {
        if (tiles.empty() || !layout) {
            scene->getFlow().setState(new StateBuildLevel(scene));
            return;
        }
        const size_t index = drawFreeTile(*layout, tiles);
        RefHolder<Tile> tile = tiles[index];
        tiles.erase(tiles.begin() + static_cast<std::ptrdiff_t>(index));
        if (renderer) {
            renderer->positionRenderTile(tile->getGridX() - renderer->getOriginX(),
                                         tile->getGridY() - renderer->getOriginY(),
                                         tile->getGridZ() - renderer->getOriginZ());
        }
        layout->removeTile(tile.get());
    }
    if (renderer) {
        renderer->addDirtyRect(SCREEN_RECT);
    }
}

void StateShuffle::exit() {
    LayoutRenderer* renderer = scene->getRenderer();
    if (renderer) {
        renderer->setVisible(false);
    }
    Game* game = Game::current();
    if (game) {
        game->applyShuffle();
        scene->getBoard().resetFreeMarks();
    }
    if (renderer && game) {
        renderer->buildFromLayout(game->getLayout());
        renderer->clearGrid();
    }
    stopLoop(sound.get());
    scene->getHud().updateMatchesText();
    if (Layout* layout = currentLayout(); layout && layout->getSideBoard()) {
        layout->getSideBoard()->invalidateAll();
    }
}
