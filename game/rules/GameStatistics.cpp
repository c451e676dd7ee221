// The statistics events of play: custom events and the level session, handed to the
// statistics collector.
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/platform/AbstractPlayer.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/StatisticsCollector.h"
#include "game/rules/Game.h"
#include "game/rules/GameHooks.h"
#include "game/rules/Level.h"

namespace {

int32_t playerCount() {
    const PlayerManager* players = PlayerManager::getInstance();
    return players ? static_cast<int32_t>(players->getPlayers().size()) : 0;
}

// The collector drops events while its record is closed, so an event of play opens a session
// of its own first.
void openPlayingSession(StatisticsCollector* collector) {
    if (collector->isClosed()) {
        collector->startPlayingSession(-1, playerCount());
    }
}

}  // namespace

PropertyNode* Game::addCustomEvent() {
    StatisticsCollector* collector = getStatisticsCollector();
    if (collector == nullptr) {
        return nullptr;
    }
    openPlayingSession(collector);
    RefHolder<PropertyNode> event(new PropertyNode("", "QVCustomEvent"));
    fillLevelSession(event.get());
    collector->addSessionEvent(event.get());
    // The collector's reference keeps the node alive for the caller; one it refused is freed
    // here and the caller sees none.
    return event->getRefCount() > 1 ? event.get() : nullptr;
}

PropertyNode* Game::getLevelSession() {
    if (getStatisticsCollector() == nullptr) {
        return nullptr;
    }
    Game* game = current();
    if (game == nullptr || !GameHooks::isGameSceneShown()) {
        return addCustomEvent();
    }
    if (!game->levelSession) {
        game->levelSession = new PropertyNode("", "QVLevelSession");
        fillLevelSession(game->levelSession.get());
    }
    return game->levelSession.get();
}

void Game::fillLevelSession(PropertyNode* node) {
    if (node == nullptr) {
        return;
    }
    if (const PlayerManager* players = PlayerManager::getInstance()) {
        if (const AbstractPlayer* player = players->getCurrentPlayer()) {
            node->addChild(new PropertyValue("playerName", player->getName()));
        }
    }
    const Game* game = current();
    // A game between levels has no level to describe.
    const Level* level = game ? game->getLevel() : nullptr;
    if (level == nullptr || !GameHooks::isGameSceneShown()) {
        return;
    }
    node->addChild(new PropertyValue("LevelName", level->getLayout()));
    node->addChild(new PropertyValue("GameType", level->getGameType()));
    node->addChild(new PropertyValue("GameMode", static_cast<int32_t>(level->getGameMode())));
    node->addChild(new PropertyValue("Difficulty", level->getDifficulty()));
}

void Game::endLevelSession(Game* game) {
    if (game == nullptr || !game->levelSession) {
        return;
    }
    if (StatisticsCollector* collector = getStatisticsCollector()) {
        openPlayingSession(collector);
        collector->addSessionEvent(game->levelSession.get());
    }
    game->levelSession = nullptr;
}
