#include "game/rules/Game.h"

#include <algorithm>
#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/NumberText.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/StringUtils.h"
#include "framework/platform/AbstractPlayer.h"
#include "framework/platform/PlayerManager.h"
#include "game/rules/GameHooks.h"
#include "game/rules/IGameScreen.h"
#include "game/rules/IPlayerHooks.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"

QUOVEL_DEFINE_TYPE(Game, &GameNode::typeRecord, &ICurrentGame::typeRecord)

namespace {

// The slot of the current game; it holds one reference.
Game* currentGame = nullptr;

// The registration names of the game types, by type number.
constexpr const char* GAME_CLASS_NAMES[] = {"GameClassic", "GameFreeCell", "GameSplit",
                                            "GameTriple",  "GameRiver",    "GameSpeed"};

// A saved clock: its text read as "%ld" reads it (white space, sign, decimal digits), kept to
// 32 bits as the field is. Digits beyond 32 bits wrap instead of overflowing.
int32_t readCount(PropertyNode* node, const char* key) {
    return std::max(node->getChildValue(key)->getInt(), 0);
}

int32_t readLongText(PropertyNode* node, const char* key) {
    const std::wstring text = node->getChildValue(key)->getText();
    size_t end = text.find_first_not_of(L" \t\r\n");
    if (end == std::wstring::npos) {
        return 0;
    }
    if (text[end] == L'+' || text[end] == L'-') {
        ++end;
    }
    while (end < text.size() && text[end] >= L'0' && text[end] <= L'9') {
        ++end;
    }
    return parseInt(std::wstring_view(text).substr(0, end));
}

void addInteger(PropertyNode* node, const char* key, int32_t number) {
    node->addChild(new PropertyValue(key, number));
}

void addLong(PropertyNode* node, const char* key, int32_t number) {
    node->addChild(new PropertyValue(key, static_cast<long>(number)));
}

}  // namespace

Game::Game(PropertyNode* saved, GameType gameType) : gameType(gameType) {
    if (saved == nullptr || saved == DUMMY_NODE) {
        return;
    }
    score.set(saved->getChildValue("realScore")->getInt());
    // Counters never go below 0; play adds to them saturating.
    runCounts.undoCount = readCount(saved, "undoCount");
    levelCounts.hintCount = readCount(saved, "hintCount");
    levelCounts.shuffleCount = readCount(saved, "shuffleCount");
    levelCounts.removedTilesCount = readCount(saved, "removedTilesCount");
    runCounts.realTime = readLongText(saved, "realTime");
    gameCounts.dataGatherLevelTime = readLongText(saved, "dataGatherLevelTime");
    runCounts.clockTime = readLongText(saved, "clockTime");
    levelCounts.timeSinceLastRestart = readLongText(saved, "timeSinceLastRestart");
    hasWon = saved->getChildValue("hasWon")->getBool();
    screenCounts.pressedShuffle = saved->getChildValue("pressedShuffle")->getBool();
    screenCounts.pressedUndo = saved->getChildValue("pressedUndo")->getBool();
    screenCounts.bonusesClaimed = readCount(saved, "bonusesClaimed");

    ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
    // A game without its level and both boards cannot be played: such a tree is refused.
    BaseObject* madeLevel = factory->createObject(saved->getChild("level"));
    level = objectCast<Level>(madeLevel);
    if (!level) {
        restored = false;
        if (madeLevel != nullptr) {
            RefHolder<BaseObject> drop(madeLevel);
        }
        return;
    }
    const int32_t sideBoardIndex = level->getSideBoardIndex().getInt();
    PropertyNode* layoutNode = saved->getChildNode("layout");
    PropertyNode* copyNode = saved->getChildNode("layoutCopy");
    if (layoutNode == DUMMY_NODE || copyNode == DUMMY_NODE) {
        restored = false;
        return;
    }
    layout = new Layout(layoutNode, gameType, sideBoardIndex);
    layoutCopy = new Layout(copyNode, gameType, sideBoardIndex);
    level->setLayoutObject(layout.get());

    PropertyVector* undoList = saved->getChildVector("undo");
    for (int32_t i = 0; i < undoList->getChildCount(); ++i) {
        RefHolder<BaseObject> made(factory->createObject(undoList->getChildAt(i)));
        Command* command = objectCast<Command>(made.get());
        if (command == nullptr) {
            restored = false;
            return;
        }
        // A command whose tiles are lost cannot be undone; the rest of the history stays.
        if (command->isUsable()) {
            undoHistory.emplace_back(command);
        }
    }
    PropertyVector* levels = saved->getChildVector("randomLevels");
    for (int32_t i = 0; i < levels->getChildCount(); ++i) {
        randomLevels.push_back(valueOrDummy(levels->getChildAt(i))->getInt());
    }
}

Game::~Game() {
    endLevelSession(this);
    if (currentGame == this) {
        currentGame = nullptr;
        setCurrentGame(nullptr);
    }
}

void* Game::castTo(const TypeRecord* type) {
    if (type == &ICurrentGame::typeRecord) {
        return static_cast<ICurrentGame*>(this);
    }
    return GameNode::castTo(type);
}

Game* Game::create(GameType gameType) {
    if (gameType < TYPE_CLASSIC || gameType > TYPE_SPEED) {
        return nullptr;
    }
    BaseObject* made =
        ObjectFactoryContainer::instance()->create(GAME_CLASS_NAMES[gameType], nullptr);
    Game* game = objectCast<Game>(made);
    if (game == nullptr) {
        RefHolder<BaseObject> drop(made);
        return nullptr;
    }
    install(game);
    return game;
}

void Game::tellDamagedRoom(RoomKind room, bool runEnds) {
    // Each place offers its own choices: doors in the hallway, games and difficulties in the
    // casino and on the roof, layouts in the rec room.
    const char* key = runEnds                     ? "TEXT_RUN_DATA_DAMAGED"
                      : room == RoomKind::RECROOM ? "TEXT_LAYOUT_DATA_DAMAGED"
                      : room == RoomKind::FLOORS  ? "TEXT_ROOM_DATA_DAMAGED"
                                                  : "TEXT_GAME_DATA_DAMAGED";
    GameHooks::showMessage(GameHooks::GAME_TITLE, GameHooks::messageText(key));
}

Game* Game::createForLevel(GameType gameType, Level* level) {
    Game* game = level && level->hasTiles() ? create(gameType) : nullptr;
    if (game) {
        game->setLevel(level);
    }
    if (!game || !game->getLayout()) {
        logProblem("no game of type " + std::to_string(gameType) + " could be made for the level" +
                   (level ? " of layout \"" + level->getLayout() + "\"" : std::string()));
        if (game) {
            releaseCurrent();
        }
        tellDamagedRoom(level ? level->getGameMode() : RoomKind::FLOORS);
        return nullptr;
    }
    return game;
}

Game* Game::current() {
    return currentGame;
}

Level* Game::currentLevel() {
    return currentGame ? currentGame->getLevel() : nullptr;
}

GameType Game::currentLevelGameType() {
    Level* level = currentLevel();
    return level ? level->getGameType() : NO_GAME_TYPE;
}

void Game::install(Game* game) {
    Game* old = currentGame;
    game->addRef();
    currentGame = game;
    setCurrentGame(game);
    if (old != nullptr) {
        old->setRemoved(true);
        old->release();
    }
}

void Game::releaseCurrent() {
    Game* old = currentGame;
    currentGame = nullptr;
    setCurrentGame(nullptr);
    if (old != nullptr) {
        old->setRemoved(true);
        old->release();
    }
}

namespace {

// A whole game built from a saved "game" node, not made current; null when it restores none.
RefHolder<Game> restoredGame(PropertyNode* gameNode) {
    if (gameNode == nullptr || gameNode == DUMMY_NODE) {
        return {};
    }
    RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->createObject(gameNode));
    Game* game = objectCast<Game>(made.get());
    return game != nullptr && game->isRestored() ? RefHolder<Game>(game) : RefHolder<Game>();
}

// The current player's saved game of that number, built; null (the file set aside, out of
// the room's way) when it does not read back. `gameNode` is its node, held by `store`.
RefHolder<Game> readSaved(int32_t number, RefHolder<PropertyStore>& store,
                          PropertyNode*& gameNode) {
    PlayerManager* players = PlayerManager::getInstance();
    gameNode = nullptr;
    if (players == nullptr || players->getCurrentPlayer() == nullptr) {
        return {};
    }
    const std::string key = std::to_string(number);
    const std::string& name = players->getCurrentPlayer()->getName();
    store = new PropertyStore();
    gameNode =
        players->loadSaveGame(store.get(), key, name) ? store->getChildNode("game") : nullptr;
    RefHolder<Game> game = restoredGame(gameNode);
    if (!game) {
        players->setAsideSaveGame(key, name);
    }
    return game;
}

}  // namespace

bool Game::restoreCurrent(PropertyNode* gameNode) {
    RefHolder<Game> game = restoredGame(gameNode);
    if (!game) {
        return false;
    }
    install(game.get());
    return true;
}

bool Game::canLoadSaved(int32_t number) {
    RefHolder<PropertyStore> store;
    PropertyNode* gameNode = nullptr;
    return static_cast<bool>(readSaved(number, store, gameNode));
}

bool Game::loadSaved(int32_t number) {
    RefHolder<PropertyStore> store;
    PropertyNode* gameNode = nullptr;
    RefHolder<Game> game = readSaved(number, store, gameNode);
    return installResumed(game.get(), gameNode);
}

bool Game::resumeSaved(PropertyNode* gameNode) {
    RefHolder<Game> game = restoredGame(gameNode);
    return installResumed(game.get(), gameNode);
}

bool Game::installResumed(Game* game, PropertyNode* gameNode) {
    if (!game) {
        return false;
    }
    install(game);
    if (IPlayerHooks* player = getCurrentPlayer()) {
        player->keepSavedGame(gameNode);
    }
    return true;
}

void Game::save(PropertyNode* node) {
    if (node == nullptr || node == DUMMY_NODE) {
        return;
    }
    // A tile still flying to its slot is not on the board yet: land it so that it is written.
    completePendingMoves();
    addInteger(node, "undoCount", runCounts.undoCount);
    addInteger(node, "hintCount", levelCounts.hintCount);
    addInteger(node, "shuffleCount", levelCounts.shuffleCount);
    addInteger(node, "removedTilesCount", levelCounts.removedTilesCount);
    addInteger(node, "numZeroMatches", runCounts.numZeroMatches);
    addInteger(node, "realScore", score.getValue());
    addLong(node, "realTime", runCounts.realTime);
    addLong(node, "dataGatherLevelTime", gameCounts.dataGatherLevelTime);
    addLong(node, "clockTime", runCounts.clockTime);
    addLong(node, "timeSinceLastRestart", levelCounts.timeSinceLastRestart);
    node->addBool("hasWon", hasWon, false);
    node->addBool("pressedShuffle", screenCounts.pressedShuffle, false);
    node->addBool("pressedUndo", screenCounts.pressedUndo, false);
    addInteger(node, "bonusesClaimed", screenCounts.bonusesClaimed);
    if (layout) {
        RefHolder<PropertyNode> child(new PropertyNode("layout", "Layout"));
        layout->save(child.get());
        node->addChild(child.get());
    }
    if (layoutCopy) {
        RefHolder<PropertyNode> child(new PropertyNode("layoutCopy", "Layout"));
        layoutCopy->save(child.get());
        node->addChild(child.get());
    }
    if (level) {
        RefHolder<PropertyNode> child(new PropertyNode("level", "Level"));
        level->toProperties(child.get());
        node->addChild(child.get());
    }
    RefHolder<PropertyVector> undoList(new PropertyVector("undo"));
    for (const RefHolder<Command>& command : undoHistory) {
        command->save(undoList.get());
    }
    node->addChild(undoList.get());
    RefHolder<PropertyVector> levels(new PropertyVector("randomLevels"));
    for (int32_t number : randomLevels) {
        levels->addChild(new PropertyValue("", number));
    }
    node->addChild(levels.get());
    node->addChild(
        new PropertyValue("lastSubmitTime", std::to_string(screenCounts.lastSubmitTime)));
}

void Game::completePendingMoves() {
    for (const RefHolder<Command>& command : undoHistory) {
        command->complete();
    }
}

void Game::setLevel(Level* newLevel) {
    level = newLevel;
    layout = level ? level->getLayoutObject() : nullptr;
    if (!layout) {
        layoutCopy = nullptr;
        return;
    }
    prepareLevel(layout.get());
    layoutCopy = new Layout(*layout);
}

void Game::restartLevel() {
    if (layoutCopy) {
        layout = new Layout(*layoutCopy);
        if (level) {
            level->setLayoutObject(layout.get());
        }
    }
    resetLevelState();
    const bool keepsScore =
        level &&
        (level->getGameMode() == RoomKind::CASINO || level->getGameMode() == RoomKind::ROOF) &&
        level->getIndex() > 0;
    if (!keepsScore) {
        score.set(0);
    }
    undoHistory.clear();
}

void Game::resetLevelState() {
    levelCounts = {};
    runCounts = {};
    hasWon = false;
    selection.clear();
    superHintTiles.clear();
}

void Game::applyShuffle() {
    if (layout && layout->getSideBoard() != nullptr) {
        layout->getSideBoard()->setRemoved(true);
    }
    if (pendingLayout) {
        layout = pendingLayout;
        if (level) {
            level->setLayoutObject(layout.get());
        }
    }
    pendingLayout = nullptr;
    if (layout && layout->getSideBoard() != nullptr) {
        if (GameNode* holder = getGameScreen().getSideBoardHolder()) {
            GameNode::appendChild(layout->getSideBoard(), holder);
        }
    }
}

void Game::setPendingLayout(Layout* value) {
    pendingLayout = value;
}

void Game::returnToRoom() {
    static constexpr const char* SCENES[] = {"SCENE_HALLWAY", "SCENE_CASINO", "SCENE_RECROOM",
                                             "SCENE_ROOF"};
    const int32_t room = level ? static_cast<int32_t>(level->getGameMode()) : -1;
    if (room < 0 || room > 3) {
        return;
    }
    GameHooks::goToScene(SCENES[room], "TRANSITION_DEFAULT");
}

Tile* Game::nextTile() {
    return nullptr;
}

void Game::restoreSideBoardTile(Layout*, Tile*) {}

int32_t Game::getTilesPerMatch() const {
    return 2;
}

void Game::resetHintCounters() {}

GameType Game::getLevelGameType() const {
    return level ? level->getGameType() : gameType;
}

void Game::setMoveTarget(int32_t column, int32_t row) {
    moveTargetColumn = column;
    moveTargetRow = row;
}
