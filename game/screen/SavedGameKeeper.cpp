#include "game/screen/SavedGameKeeper.h"

#include <iterator>
#include <string>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/platform/PlayerManager.h"
#include "game/profile/PlayerFileReport.h"
#include "game/rules/Game.h"
#include "game/rules/Level.h"
#include "game/screen/BonusBar.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/PlayScreen.h"
#include "game/screen/TimeBar.h"

SavedGameKeeper::SavedGameKeeper(PlayScreen& screen) : screen(screen) {}

void SavedGameKeeper::save() {
    writeUnsaved();
    if (mode == SAVE_NOTHING) {
        return;
    }
    Game* game = Game::current();
    if (!game || !game->getLevel() || currentRoomKind() == RoomKind::FLOORS) {
        mode = SAVE_NOTHING;
        return;
    }
    const bool won = mode == SAVE_WON;
    if (won) {
        if (currentRoomKind() == RoomKind::RECROOM) {
            mode = SAVE_NOTHING;
            return;
        }
        const bool next = screen.getFlow().newLevel(true);
        game = Game::current();
        if (!next || !game || !game->getLevel()) {
            mode = SAVE_NOTHING;
            return;
        }
    }
    RefHolder<PropertyStore> store(new PropertyStore());
    auto* node = new PropertyNode("game");
    store->addChild(node);
    game->save(node);
    if (LayoutRenderer* renderer = screen.getRenderer()) {
        node->addChild(new PropertyValue("x", renderer->getX()));
        node->addChild(new PropertyValue("y", renderer->getY()));
    }
    // The bars of a won level belong to it: the next level starts with fresh ones.
    if (TimeBar* timeBar = screen.getTimeBar(); timeBar && !won) {
        auto* bar = new PropertyNode("timeBar", "TimeBar");
        timeBar->save(bar);
        node->addChild(bar);
    }
    if (BonusBar* bonusBar = screen.getBonusBar(); bonusBar && !won) {
        auto* bar = new PropertyNode("bonusBar", "BonusBar");
        bonusBar->save(bar);
        node->addChild(bar);
    }
    if (const Key key = currentKey(currentRoomKind()); !key.first.empty()) {
        unsaved[key] = {store, false};
        writeUnsaved();
    }
    mode = SAVE_NOTHING;
}

SavedGameKeeper::Key SavedGameKeeper::currentKey(RoomKind room) {
    PlayerManager* players = PlayerManager::getInstance();
    AbstractPlayer* player = players ? players->getCurrentPlayer() : nullptr;
    return {player ? player->getName() : std::string(), std::to_string(static_cast<int32_t>(room))};
}

void SavedGameKeeper::writeUnsaved() {
    writeKept(nullptr);
}

void SavedGameKeeper::writeKept(const Key* retold) {
    PlayerManager* players = PlayerManager::getInstance();
    if (!players) {
        return;
    }
    for (auto it = unsaved.begin(); it != unsaved.end();) {
        const auto& [name, room] = it->first;
        if (retold && it->first == *retold) {
            PlayerFileReport::tellAgain(PlayerFileReport::SavedFiles::SAVED_GAME);
        }
        const auto written = players->writeSaveGame(it->second.store.get(), room, name);
        // A saved game held unread was told when it was found; nothing of it is written.
        const bool done =
            written == PlayerManager::SaveGameWrite::HELD ||
            PlayerFileReport::saved(
                PlayerFileReport::SavedFiles::SAVED_GAME,
                written == PlayerManager::SaveGameWrite::WRITTEN,
                players->getStoredSaveGameName(room, name),
                PlayerFileReport::gameInProgress(name, static_cast<RoomKind>(std::stoi(room))));
        it = done ? unsaved.erase(it) : std::next(it);
    }
}

PropertyNode* SavedGameKeeper::offer(RoomKind room) {
    const Key key = currentKey(room);
    writeKept(&key);
    const auto kept = unsaved.find(key);
    if (kept == unsaved.end()) {
        return nullptr;
    }
    kept->second.offered = true;
    return kept->second.store->getChildNode("game");
}

PropertyNode* SavedGameKeeper::findKept(RoomKind room) const {
    const auto kept = unsaved.find(currentKey(room));
    return kept != unsaved.end() ? kept->second.store->getChildNode("game") : nullptr;
}

void SavedGameKeeper::drop() {
    const Key key = currentKey(currentRoomKind());
    PlayerManager* players = PlayerManager::getInstance();
    if (!players || key.first.empty()) {
        return;
    }
    players->deleteSaveGame(key.second, key.first);
    // A kept one is outdated as well once the player was offered it; until then it stays.
    if (const auto kept = unsaved.find(key); kept != unsaved.end() && kept->second.offered) {
        unsaved.erase(kept);
    }
}
