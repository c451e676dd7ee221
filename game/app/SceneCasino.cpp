#include "game/app/SceneCasino.h"

#include <algorithm>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/Switch.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/platform/HighScoreTable.h"
#include "framework/platform/PlayerManager.h"
#include "framework/scene/SceneManager.h"
#include "game/dialogs/DialogTrophy.h"
#include "game/profile/HighScoreTables.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/UnlockItem.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/TrophyId.h"
#include "game/screen/GameScenes.h"
#include "game/visuals/ScreenUtils.h"

QUOVEL_DEFINE_TYPE(SceneCasino, &SceneScoreRoom::typeRecord)
QUOVEL_REGISTER_CLASS(SceneCasino)

namespace {

constexpr const char* GAME_TYPE_SWITCHES[SceneCasino::GAME_TYPES] = {
    "SWITCH_CLASSIC", "SWITCH_FREECELL", "SWITCH_SPLIT", "SWITCH_TRIPLE", "SWITCH_RIVER"};
// The room's number in its table keys.
constexpr int32_t CASINO_KEY_ROOM = static_cast<int32_t>(RoomKind::CASINO);
constexpr int32_t CASINO_HINT = 5;
constexpr int32_t TROPHY_DELAY_MS = 2000;
// Trophies the casino announces itself when it is entered.
constexpr TrophyId CASINO_TROPHIES[] = {TrophyId::CASINO_FIRST, TrophyId::ALL_CASINO_TABLES};

struct Area {
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
    bool contains(int32_t x, int32_t y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
};

// The chip stack, the fanned cards and the dice painted on the felt.
constexpr Area SEQUENCE_AREAS[3] = {{410, 440, 60, 60}, {300, 400, 60, 80}, {720, 464, 60, 56}};
constexpr int32_t SEQUENCE[SceneCasino::SEQUENCE_LENGTH] = {0, 1, 2, 0, 2, 1, 1, 0, 2};

}  // namespace

SceneCasino::SceneCasino(PropertyNode* definition) : SceneScoreRoom(definition) {}

SceneCasino::~SceneCasino() = default;

SceneCasino* SceneCasino::instance() {
    return objectCast<SceneCasino>(gameScenes().casino.get());
}

Switch* SceneCasino::getGameTypeSwitch(GameType gameType) const {
    if (gameType < 0 || gameType >= GAME_TYPES) {
        return nullptr;
    }
    return gameTypeSwitches[static_cast<size_t>(gameType)].get();
}

void SceneCasino::loadResources() {
    SceneScoreRoom::loadResources();
    for (int32_t type = 0; type < GAME_TYPES; ++type) {
        gameTypeSwitches[static_cast<size_t>(type)] = wireSwitch(
            GAME_TYPE_SWITCHES[type], type, callback<&SceneCasino::onGameTypeChosen>(this));
    }
    // The scene hears every click first, before any widget, and lets it go on.
    getInputHandler()->getContainer().addListener(this);
}

void SceneCasino::show() {
    SceneQuovelMahjong::show();
    enterRoom(CASINO_HINT, "21");
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        player->releaseHeldTrophies(CASINO_TROPHIES);
    }
    if (DialogTrophy::showIfNew(callback<&SceneCasino::onTrophyDialogClosed>(this))) {
        getComponentsContainer().setActive(false);
        if (GameNode* cabinet = findDialog("DIALOG_TROPHY")) {
            GameNode::addModifier(cabinet, new ModifierDelay(TROPHY_DELAY_MS), false);
        }
        return;
    }
    getComponentsContainer().setActive(true);
    shineGameModes();
}

int32_t SceneCasino::onTrophyDialogClosed(BaseObject*) {
    getComponentsContainer().setActive(true);
    shineGameModes();
    return 0;
}

void SceneCasino::hide() {
    SceneScoreRoom::hide();
    for (const RefHolder<Switch>& widget : gameTypeSwitches) {
        if (widget) {
            widget->setOn(false);
        }
    }
}

void SceneCasino::shineGameModes() {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!player) {
        return;
    }
    for (GameType type : ROOM_GAME_TYPES) {
        if (Switch* widget = getGameTypeSwitch(type)) {
            widget->setEnabled(player->isUnlocked(CASINO_UNLOCKS[type]));
        }
    }
    const bool expertOpen = player->isUnlocked(UnlockItem::EXPERT);
    if (!expertOpen && expertSwitch && expertSwitch->isOn()) {
        if (auto* normal = objectCast<Switch>(findChild("SWITCH_NORMAL"))) {
            normal->setOn(true);
            onDifficultyChosen(normal);
        }
    }
    if (expertSwitch) {
        expertSwitch->setEnabled(expertOpen);
    }
    getComponents()->setSuspended(false);
    for (GameType type : ROOM_GAME_TYPES) {
        int32_t& unlock = player->unlockState(CASINO_UNLOCKS[type]);
        if (unlock == UNLOCKED_NEW) {
            unlock = UNLOCKED_SEEN;
            if (Switch* widget = getGameTypeSwitch(type)) {
                SceneQuovelMahjong::shineButton(widget, "SHINE_MASK_GAMEMODE", "casino");
            }
        }
    }
}

void SceneCasino::showGameTypePanel() {
    sequenceProgress = 0;
    SceneScoreRoom::showGameTypePanel();
}

int32_t SceneCasino::onGameTypeChosen(BaseObject* sender) {
    auto* widget = objectCast<GameNode>(sender);
    if (!widget) {
        return 0;
    }
    selectedGameType = static_cast<GameType>(widget->getTag());
    clearNewScore();
    showGameTypePanel();
    return 0;
}

bool SceneCasino::onLeftButtonDown(int32_t x, int32_t y, int32_t, bool) {
    const Area& expected = SEQUENCE_AREAS[SEQUENCE[sequenceProgress]];
    if (!expected.contains(x, y)) {
        sequenceProgress = 0;
        return false;
    }
    if (++sequenceProgress == SEQUENCE_LENGTH) {
        sequenceProgress = 0;
        if (Dialog* game = getDialog("DIALOG_KILLER_STONES")) {
            openDialog(game);
        }
    }
    return false;
}

Rect SceneCasino::sequenceArea(int32_t step) {
    const Area& area = SEQUENCE_AREAS[SEQUENCE[std::clamp(step, 0, SEQUENCE_LENGTH - 1)]];
    return {area.left, area.top, area.width, area.height};
}

std::string SceneCasino::tableKey() const {
    std::string key;
    makeLevelKey(false, key, CASINO_KEY_ROOM, selectedGameType, selectedDifficulty);
    return key;
}

bool SceneCasino::hasEntriesInAllFiveTables() const {
    PlayerManager* players = PlayerManager::getInstance();
    AbstractPlayer* player = players ? players->getCurrentPlayer() : nullptr;
    if (!player) {
        return false;
    }
    for (GameType type : ROOM_GAME_TYPES) {
        std::string key;
        makeLevelKey(false, key, CASINO_KEY_ROOM, type, selectedDifficulty);
        HighScoreTable* table = getHighScoreTable(key, type, true);
        if (!table || !table->containsPlayer(player->getName())) {
            return false;
        }
    }
    return true;
}

RefHolder<Level> SceneCasino::buildLevel() const {
    return LevelCatalog::instance()->casinoLevel(selectedGameType, selectedDifficulty, roomKind());
}

std::array<int32_t, 3> SceneCasino::record() const {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    const CasinoRecord* best =
        player ? player->getStats().casinoRecord(selectedGameType, selectedDifficulty) : nullptr;
    if (!best) {
        return {0, 0, 0};
    }
    return {best->bestScore, best->bestLevel, best->playCount};
}

std::wstring SceneCasino::gameTypeText() const {
    return getBasicText("TEXT_GAMETYPE" + std::to_string(selectedGameType + 1));
}

Sprite* SceneCasino::chosenSwitch() const {
    return getGameTypeSwitch(selectedGameType);
}
