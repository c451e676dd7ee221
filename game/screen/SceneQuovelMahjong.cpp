#include "game/screen/SceneQuovelMahjong.h"

#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/gui/Button.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/SoundManager.h"
#include "framework/scene/SceneManager.h"
#include "game/profile/PlayerFileReport.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/screen/BuildingHooks.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/GameScenes.h"
#include "game/screen/PlayScreen.h"
#include "game/screen/SavedGameKeeper.h"
#include "game/visuals/GameModifiers.h"

QUOVEL_DEFINE_TYPE(SceneQuovelMahjong, &Scene::typeRecord)
QUOVEL_REGISTER_CLASS(SceneQuovelMahjong)

namespace {

// The game screen's saved games whose write failed, or null without a game screen.
SavedGameKeeper* savedGameKeeper() {
    PlayScreen* screen = PlayScreen::fromHost();
    return screen ? &screen->getSavedGame() : nullptr;
}

}  // namespace

SceneQuovelMahjong::SceneQuovelMahjong(PropertyNode* definition) : Scene(definition) {}

SceneQuovelMahjong::~SceneQuovelMahjong() = default;

void SceneQuovelMahjong::show() {
    PlayerFileReport::savePlayers();
    Scene::show();
}

void SceneQuovelMahjong::hide() {
    closeSavedGameQuestion();
    // The quit question goes with the player: left open here, it would vanish unanswered and
    // come back unasked on the next visit.
    SceneManager* manager = SceneManager::getInstance();
    Dialog* quit = isDialogOpen(QUIT_QUESTION_KEY) ? findDialog(QUIT_QUESTION_KEY) : nullptr;
    const bool carried = quit && manager && manager->getCurrentScene() != this;
    if (carried) {
        closeDialog(quit);
        dropDialog(QUIT_QUESTION_KEY);
    }
    Scene::hide();
    if (carried) {
        BuildingHooks::quitAsked();
    }
}

void SceneQuovelMahjong::closeSavedGameQuestion() {
    if (Dialog* question = findDialog(SAVED_GAME_QUESTION_KEY)) {
        closeDialog(question);
        dropDialog(SAVED_GAME_QUESTION_KEY);
    }
}

void SceneQuovelMahjong::onQuitRequest() {
    BuildingHooks::quitAsked();
}

void SceneQuovelMahjong::playBuildingMusic() {
    SoundManager::playSceneMusic("MUSIC_QUOVEL");
}

bool SceneQuovelMahjong::hasSavedGame(AbstractPlayer* player, int32_t number) {
    PlayerManager* players = PlayerManager::getInstance();
    return player && players && players->saveGameExists(std::to_string(number), player->getName());
}

void SceneQuovelMahjong::askContinueSavedGame(int32_t number, SceneQuovelMahjong* scene) {
    SceneManager* manager = SceneManager::getInstance();
    if (!scene || !manager) {
        return;
    }
    Scene* previous = manager->getPreviousScene();
    const GameScenes& slots = gameScenes();
    if (!previous || (previous != slots.elevator.get() && previous != slots.lobby.get())) {
        return;
    }
    PlayerManager* players = PlayerManager::getInstance();
    if (!players) {
        return;
    }
    // A game whose save failed is written now, or, failing again (told once more), offered
    // from memory.
    SavedGameKeeper* keeper = savedGameKeeper();
    const bool kept = keeper && keeper->offer(static_cast<RoomKind>(number));
    // A game that does not read back is set aside (and told) here, never offered.
    if (!kept &&
        (!hasSavedGame(players->getCurrentPlayer(), number) || !Game::canLoadSaved(number))) {
        return;
    }
    scene->setTag(number);
    const GameDialogs::Question question = GameDialogs::get().ask(
        SAVED_GAME_QUESTION_KEY, "CTEXT_SAVEGAME_HEADER",
        callback<&SceneQuovelMahjong::startRecentSavedGame>(scene), {}, scene);
    if (!question.dialog) {
        return;
    }
    if (question.yes) {
        question.yes->setToolTip(getBasicText("CTOOLTIP_SAVEGAME_YES"));
    }
    if (question.no) {
        question.no->setToolTip(getBasicText("CTOOLTIP_SAVEGAME_NO"));
    }
    scene->openDialog(question.dialog);
}

void SceneQuovelMahjong::shineButton(Sprite* button, const char* maskKey, const char* maskSection) {
    RefHolder<Image> light = findLoaded<Image>("SHINE", "default");
    RefHolder<Image> mask = findLoaded<Image>(maskKey, maskSection);
    ModifierShine::shineThreeTimes(button, light.get(), mask.get());
}

int32_t SceneQuovelMahjong::goToElevator(BaseObject*) {
    if (SceneManager* manager = SceneManager::getInstance()) {
        manager->goToScene("SCENE_ELEVATOR", "TRANSITION_DEFAULT");
    }
    return 0;
}

int32_t SceneQuovelMahjong::startRecentSavedGame(BaseObject*) {
    SceneManager* manager = SceneManager::getInstance();
    if (!manager) {
        return 0;
    }
    closeSavedGameQuestion();
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        player->clearSavedGame();
    }
    // An unreadable saved game is set aside (the player is told of it) and the room stays.
    SavedGameKeeper* keeper = savedGameKeeper();
    PropertyNode* kept = keeper ? keeper->findKept(static_cast<RoomKind>(getTag())) : nullptr;
    if (!(kept ? Game::resumeSaved(kept) : Game::loadSaved(getTag()))) {
        return 0;
    }
    savedGameContinued();
    manager->goToScene("SCENE_GAME", "TRANSITION_DEFAULT");
    return 0;
}
