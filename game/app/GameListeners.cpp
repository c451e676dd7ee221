#include "game/app/GameListeners.h"

#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/PlayerManager.h"
#include "framework/scene/SceneManager.h"
#include "game/app/QuovelMahjongMain.h"
#include "game/app/SceneCasino.h"
#include "game/app/SceneElevator.h"
#include "game/app/SceneHallway.h"
#include "game/app/SceneLobby.h"
#include "game/dialogs/GameScreenDialogs.h"
#include "game/dialogs/PlayerSwitch.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/UnlockItem.h"
#include "game/rules/GameHooks.h"
#include "game/screen/BuildingHooks.h"
#include "game/screen/GameScenes.h"
#include "game/screen/TileModifiers.h"

namespace {

// An ended floor opens the next one behind the elevator's snap. Ended on the player's own
// floor (not by a profile already higher up), it also unlocks the floor's item, which the
// hallway's floor-end sequence shows on the way back and the lift's next ride reports.
void openNextFloor(int32_t floor) {
    SceneElevator* elevator = SceneElevator::instance();
    if (!elevator) {
        return;
    }
    elevator->setPendingTargets(floor + 1);
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
        player && player->currentFloor == floor) {
        elevator->setUnlockedItem(floorUnlockIndex(floor));
    }
}

// A game stopped in a room brings the elevator to that room's stop (the rooms' stops follow
// the floors').
void stopAtRoom(RoomKind roomKind) {
    if (SceneElevator* elevator = SceneElevator::instance()) {
        elevator->setStop(SceneElevator::FLOOR_COUNT + static_cast<int32_t>(roomKind));
    }
}

// A floor level's first win sets the host's hint: on the first floor by its medal, on the
// others when it lacks gold.
void setHallwayHint(const BuildingHooks::FirstWin& win) {
    SceneHallway* hallway = SceneHallway::instance();
    if (!hallway) {
        return;
    }
    if (win.floor == 1) {
        hallway->setHintSelector(win.medal ? 3 : 2);
    } else if (!win.gold) {
        hallway->setHintSelector(4);
    }
}

// The game screen's trophy for an entry in every casino table asks the casino.
bool casinoTablesFilled() {
    SceneCasino* casino = SceneCasino::instance();
    return casino && casino->hasEntriesInAllFiveTables();
}

// A player confirmed in the player selection or the name input is greeted by name.
void greetPlayer() {
    if (SceneLobby* lobby = SceneLobby::get()) {
        lobby->updateWelcome();
    }
}

// The rules play for the player manager's current player whenever it is a profile.
void playForCurrentProfile(AbstractPlayer* player) {
    setCurrentPlayer(objectCast<QuovelMahjongPlayer>(player));
}

void goToScene(const std::string& sceneName, const std::string& transitionName) {
    if (SceneManager* manager = SceneManager::getInstance()) {
        manager->goToScene(sceneName, transitionName);
    }
}

// The game's statistics tell a level's own session from events elsewhere by this.
bool isGameSceneShown() {
    SceneManager* manager = SceneManager::getInstance();
    const RefHolder<Scene>& game = gameScenes().game;
    return manager && game && manager->getCurrentScene() == game.get();
}

// Each hook the game fills, with its function (and its name where the hook carries none):
// installed by installGameListeners, checked by missingGameWiring.
template <typename Visit>
void forEachGameHook(Visit visit) {
    visit(PlayerManager::currentPlayerChanged, &playForCurrentProfile);
    visit(RenderTile::lookMaker, &makeTileLook);
    visit(playerConfirmed, &greetPlayer);
    visit(GameHooks::goToScene, &goToScene, "GameHooks::goToScene");
    visit(GameHooks::isGameSceneShown, &isGameSceneShown);
    visit(BuildingHooks::levelWon, &setHallwayHint);
    visit(BuildingHooks::floorEnded, &openNextFloor);
    visit(BuildingHooks::gameStopped, &stopAtRoom);
    visit(BuildingHooks::quitAsked, &QuovelMahjongMain::askQuit);
    visit(BuildingHooks::hasEntriesInAllCasinoTables, &casinoTablesFilled);
}

}  // namespace

void installGameListeners() {
    FileArchive::installPropertyFileHooks();
    installGameScreenDialogs();
    forEachGameHook(
        [](auto& hook, auto function, const char* = nullptr) { hook.install(function); });
    QuovelMahjongMain::missingWiring.install(&missingGameWiring);
}

std::string missingGameWiring() {
    std::vector<std::string> empty;
    forEachGameHook([&empty](const auto& hook, auto, const char* name = nullptr) {
        if (!hook.isInstalled()) {
            const char* named = name ? name : hook.name();
            empty.emplace_back(named ? named : "a hook without a name");
        }
    });
    if (empty.empty()) {
        return {};
    }
    std::string names;
    for (const std::string& name : empty) {
        names += (names.empty() ? "" : ", ") + name;
    }
    return (empty.size() == 1 ? "the game's listener " + names + " is empty"
                              : "the game's listeners " + names + " are empty") +
           "; call installGameListeners() first";
}
