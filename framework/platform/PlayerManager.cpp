#include "framework/platform/PlayerManager.h"

#include <algorithm>
#include <utility>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/ProcessInstance.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/os/FileSystem.h"
#include "framework/os/Utf8.h"
#include "framework/platform/DamagedFile.h"
#include "framework/platform/Folders.h"

QUOVEL_DEFINE_TYPE(PlayerManager, &BaseObject::typeRecord)

namespace {

constinit ProcessInstance<PlayerManager> processPlayers;

constexpr const char* LIST_FILE = "players.plrs";
constexpr const char* PROFILE_EXTENSION = ".plr";
constexpr const char* SAVE_GAME_EXTENSION = ".sav";

// The longest escaped name whose profile file can still be written in the scrambled mode
// (the longest of the names made from it).
constexpr size_t MAX_ESCAPED_NAME_LENGTH =
    FileSystem::MAX_WRITABLE_NAME_LENGTH - std::char_traits<char>::length(".plr.!");

// Whether a player could have typed the name: valid UTF-8 without control characters.
bool couldBeTyped(const std::string& name) {
    const std::wstring text = stringToWString(name);
    return wstringToString(text) == name && std::none_of(text.begin(), text.end(), [](wchar_t c) {
               return c < 0x20 || (c >= 0x7F && c < 0xA0);
           });
}

}  // namespace

PlayerManager::PlayerManager(const std::string& version, bool scrambled)
    : version(version), scrambled(scrambled) {
    if (this->version.empty() && BasicProperties::instance()) {
        this->version = BasicProperties::instance()->getString("PLAYERS_VERSION");
    }
}

void PlayerManager::createInstance(const std::string& version, bool scrambled) {
    processPlayers.create([&] { return new PlayerManager(version, scrambled); });
}

void PlayerManager::releaseInstance() {
    if (PlayerManager* manager = processPlayers.get()) {
        manager->changeCurrentPlayer(nullptr);
    }
    processPlayers.release();
}

PlayerManager* PlayerManager::getInstance() {
    return processPlayers.get();
}

void PlayerManager::changeCurrentPlayer(AbstractPlayer* player) {
    currentPlayer = player;
    if (processPlayers.get() == this) {
        currentPlayerChanged(player);
    }
}

std::string PlayerManager::folderPath(const std::string& folder, bool create) const {
    const std::string path = getGameDataFolder() + "/" + folder;
    if (create) {
        createFolderTree(path);
    }
    return path;
}

std::string PlayerManager::profilePath(const std::string& name, bool create) const {
    if (name.empty()) {
        return {};
    }
    return folderPath(playersFolder, create) + "/" + escapeName(name) + PROFILE_EXTENSION;
}

std::string PlayerManager::saveGamePath(const std::string& key, const std::string& name,
                                        bool create) const {
    if (name.empty()) {
        return {};
    }
    return folderPath(savegamesFolder + "/" + escapeName(name), create) + "/" + key +
           SAVE_GAME_EXTENSION;
}

std::string PlayerManager::getPlayersFileName() {
    return folderPath(playersFolder, true) + "/" + LIST_FILE;
}

std::string PlayerManager::getPlayerFilePath(const std::string& name) {
    return profilePath(name, true);
}

std::string PlayerManager::getPlayerFileName(const std::string& key, const std::string& name) {
    return saveGamePath(key, name, true);
}

std::string PlayerManager::getStoredProfileName(const std::string& name) const {
    const std::string path = profilePath(name, false);
    return path.empty() ? path : getStoredFileName(fileMode(), path);
}

std::string PlayerManager::getStoredPlayersFileName() {
    return getStoredFileName(fileMode(), getPlayersFileName());
}

std::string PlayerManager::getStoredSaveGameName(const std::string& key,
                                                 const std::string& name) const {
    const std::string path = saveGamePath(key, name, false);
    return path.empty() ? path : getStoredFileName(fileMode(), path);
}

void PlayerManager::loadPlayers() {
    RefHolder<PropertyStore> store(new PropertyStore());
    store->setSourceMode(fileMode());
    const bool read = store->loadFile(getPlayersFileName());
    PropertyNode* list = store->getChildNode("players");
    if (read && !list->isDummy() && list->getChildValue("version")->getValue() == version) {
        readPlayerNames(list);
        listedProfiles = escapedNames;
    } else {
        // A list that exists but is not this version's list (damaged, another kind of file, or
        // written by another version) is kept: saving over it would orphan every profile and
        // saved game it names.
        listHeld = !setAsideUnloadableFile(fileMode(), getPlayersFileName(),
                                           {StoredFileKind::PLAYER_LIST, {}, !list->isDummy()});
    }
    // Its players, or those of an empty list (a first start quit at the name box), are found
    // again from their profiles.
    if (players.empty()) {
        addStoredProfiles();
    }
    if (currentPlayer) {
        loadPlayer(currentPlayer);
    }
}

void PlayerManager::addStoredProfiles() {
    if (rebuiltPlayerClass.empty()) {
        return;
    }
    const std::string ending = getStoredFileName(fileMode(), PROFILE_EXTENSION);
    std::vector<std::string> names;
    for (const std::string& file :
         FileSystem::current().listFiles(folderPath(playersFolder, false))) {
        std::string name;
        if (file.size() > ending.size() && file.ends_with(ending) &&
            unescapeName(std::string_view(file).substr(0, file.size() - ending.size()), name) &&
            couldBeTyped(name)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
    const bool wasReading = std::exchange(readingList, true);
    for (const std::string& name : names) {
        RefHolder<PropertyNode> entry(new PropertyNode("", rebuiltPlayerClass));
        entry->addChild(new PropertyValue("name", name));
        const RefHolder<BaseObject> made(factory->createObject(entry.get()));
        if (auto* player = objectCast<AbstractPlayer>(made.get())) {
            addPlayer(player);
        }
    }
    readingList = wasReading;
}

void PlayerManager::readPlayerNames(PropertyNode* node) {
    PropertyVector* names = nodeOrDummy(node)->getChildVector("playernames");
    ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
    const bool wasReading = std::exchange(readingList, true);
    for (int32_t i = 0; i < names->getChildCount(); ++i) {
        // Players are written as nodes; a value would only reach the handlers of global values.
        AbstractProperty* element = names->getChildAt(i);
        if (!element->isNode()) {
            continue;
        }
        // Held at once, so that what is not a player (or is refused) is freed here.
        const RefHolder<BaseObject> made(factory->createObject(element));
        if (auto* player = objectCast<AbstractPlayer>(made.get())) {
            addPlayer(player);
        }
    }
    readingList = wasReading;
    if (!players.empty()) {
        // A list naming nobody as current (the game never writes one) falls back to the first.
        const auto current =
            findPlayer(nodeOrDummy(node)->getChildValue("currentplayer")->getValue());
        changeCurrentPlayer(current != players.end() ? current->get() : players.front().get());
    }
}

void PlayerManager::writePlayerNames(PropertyNode* node) {
    if (!node || node->isDummy()) {
        return;
    }
    node->addChild(new PropertyValue("version", version));
    if (currentPlayer) {
        node->addChild(new PropertyValue("currentplayer", currentPlayer->getName()));
    }
    auto* names = static_cast<PropertyVector*>(node->addChild(new PropertyVector("playernames")));
    for (const RefHolder<AbstractPlayer>& player : players) {
        auto* element = static_cast<PropertyNode*>(names->addChild(new PropertyNode("")));
        player->writeProperties(element);
    }
}

bool PlayerManager::savePlayers() {
    RefHolder<PropertyStore> store(new PropertyStore());
    auto* list =
        static_cast<PropertyNode*>(store->addChild(new PropertyNode("players", "Players")));
    writePlayerNames(list);
    store->setSourceMode(fileMode());
    store->setSaveFileName(getPlayersFileName());
    // A list held unread is not written; that was told when it was found.
    bool saved = listHeld || store->save();
    if (currentPlayer) {
        saved = savePlayer(currentPlayer) && saved;
    }
    return saved;
}

bool PlayerManager::isKnownName(const std::string& escapedName) const {
    return escapedNames.count(escapedName) != 0;
}

AbstractPlayer* PlayerManager::addPlayer(AbstractPlayer* player) {
    const RefHolder<AbstractPlayer> held(player);
    if (!player || !isStorableName(player->getName())) {
        return nullptr;
    }
    // A known name would share the other player's files.
    const std::string escaped = escapeName(player->getName());
    if (isKnownName(escaped)) {
        return nullptr;
    }
    // A newcomer whose profile is stored already (the list lost the name) is that player: it
    // takes the stored profile, so that no save can write the newcomer over it.
    if (!readingList) {
        loadPlayer(player);
    }
    players.push_back(held);
    escapedNames.insert(escaped);
    if (!currentPlayer) {
        changeCurrentPlayer(player);
    }
    return player;
}

bool PlayerManager::isStorableName(const std::string& name) {
    // A longer escaped name could never be saved.
    return !name.empty() && escapeName(name).size() <= MAX_ESCAPED_NAME_LENGTH;
}

bool PlayerManager::hasPlayer(const std::string& name) const {
    return !name.empty() && isKnownName(escapeName(name));
}

PlayerManager::PlayerList::const_iterator PlayerManager::findPlayer(const std::string& name) const {
    if (name.empty()) {
        return players.end();
    }
    const std::string escaped = escapeName(name);
    return std::find_if(players.begin(), players.end(), [&](const RefHolder<AbstractPlayer>& p) {
        return escapeName(p->getName()) == escaped;
    });
}

bool PlayerManager::setCurrentPlayer(AbstractPlayer* player) {
    if (!player || std::find(players.begin(), players.end(), player) == players.end()) {
        return false;
    }
    changeCurrentPlayer(player);
    return true;
}

bool PlayerManager::removePlayer(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    deleteFolderTree(folderPath(savegamesFolder + "/" + escapeName(name), false));
    const std::string profile = getStoredProfileName(name);
    FileSystem::current().deleteFile(profile);
    if (!FileSystem::current().exists(profile) && !FileSystem::current().isLinkToNowhere(profile)) {
        heldProfiles.erase(escapeName(name));
    }
    listedProfiles.erase(escapeName(name));
    std::erase_if(heldSaveGames,
                  [](const std::string& stored) { return !FileSystem::current().exists(stored); });

    const auto found = findPlayer(name);
    if (found != players.end()) {
        // Kept until the list no longer holds it, so that currentPlayer never names a freed one.
        const RefHolder<AbstractPlayer> removed = *found;
        players.erase(found);
        escapedNames.erase(escapeName(name));
        if (currentPlayer == removed.get()) {
            changeCurrentPlayer(players.empty() ? nullptr : players.front().get());
            // The new current player's profile is saved below: it must hold its own data.
            if (currentPlayer) {
                loadPlayer(currentPlayer);
            }
        }
    }
    savePlayers();
    return true;
}

bool PlayerManager::loadPlayer(AbstractPlayer* player) {
    if (!player || player->getName().empty()) {
        return false;
    }
    RefHolder<PropertyStore> store(new PropertyStore());
    store->setSourceMode(fileMode());
    const std::string path = profilePath(player->getName(), false);
    const std::string escaped = escapeName(player->getName());
    // Told once: from here on the profile is this run's to write.
    const bool listed = listedProfiles.erase(escaped) > 0;
    if (!store->loadFile(path)) {
        // A missing profile is a new player, unless the list names it: that player's progress
        // is gone, which is told. One that exists but cannot be read (a link that leads nowhere
        // too) is moved aside, or, when it cannot be moved, never saved over.
        FileSystem& files = FileSystem::current();
        const std::string stored = getStoredFileName(fileMode(), path);
        if (!files.exists(stored) && !files.isLinkToNowhere(stored)) {
            if (listed) {
                tellMissingFile(fileMode(), path, {StoredFileKind::PROFILE, player->getName()});
            }
        } else if (!setAsideUnloadableFile(fileMode(), path,
                                           {StoredFileKind::PROFILE, player->getName(), false})) {
            heldProfiles.insert(escaped);
        }
        return false;
    }
    // A file without a profile in it, or whose values do not read, is damaged. A missing
    // "version" is no match either, unless this manager's version is empty too. Each is kept
    // aside: the player starts anew without losing it.
    PropertyNode* profile = store->getChildNode("player");
    const bool otherVersion =
        !profile->isDummy() && store->getChildValue("version")->getValue() != version;
    if (profile->isDummy() || otherVersion || !player->load(profile)) {
        if (!setAsideUnloadableFile(fileMode(), path,
                                    {StoredFileKind::PROFILE, player->getName(), otherVersion})) {
            heldProfiles.insert(escapeName(player->getName()));
        }
        return false;
    }
    return true;
}

bool PlayerManager::savePlayer(AbstractPlayer* player) {
    if (!player || player->getName().empty()) {
        return false;
    }
    RefHolder<PropertyNode> profile(new PropertyNode("player", "Player"));
    player->save(profile.get());
    if (profile->getNameTable().empty()) {
        return true;
    }
    // A profile held unread is not written; that was told when it was found.
    if (heldProfiles.count(escapeName(player->getName())) > 0) {
        return true;
    }
    RefHolder<PropertyStore> store(new PropertyStore());
    store->addChild(new PropertyValue("version", version));
    store->addChild(profile.get());
    store->setSourceMode(fileMode());
    store->setSaveFileName(getPlayerFilePath(player->getName()));
    return store->save();
}

bool PlayerManager::loadSaveGame(PropertyStore* store, const std::string& key,
                                 const std::string& playerName) {
    if (!store || playerName.empty()) {
        return false;
    }
    store->setSourceMode(fileMode());
    return store->loadFile(saveGamePath(key, playerName, false));
}

PlayerManager::SaveGameWrite PlayerManager::writeSaveGame(PropertyStore* store,
                                                          const std::string& key,
                                                          const std::string& playerName) {
    if (!store || playerName.empty()) {
        return SaveGameWrite::FAILED;
    }
    // A saved game held unread is not written; that was told when it was found.
    if (heldSaveGames.count(getStoredSaveGameName(key, playerName)) > 0) {
        return SaveGameWrite::HELD;
    }
    store->setSaveFileName(getPlayerFileName(key, playerName));
    store->setSourceMode(fileMode());
    return store->save() ? SaveGameWrite::WRITTEN : SaveGameWrite::FAILED;
}

bool PlayerManager::saveGameExists(const std::string& key, const std::string& playerName) {
    if (playerName.empty()) {
        return false;
    }
    // A link that leads nowhere is found too: it is then told and never saved over.
    const std::string stored = getStoredSaveGameName(key, playerName);
    return FileSystem::current().exists(stored) || FileSystem::current().isLinkToNowhere(stored);
}

bool PlayerManager::isProfileHeld(const std::string& name) const {
    return !name.empty() && heldProfiles.count(escapeName(name)) > 0;
}

bool PlayerManager::isSaveGameHeld(const std::string& key, const std::string& name) const {
    return !name.empty() && heldSaveGames.count(getStoredSaveGameName(key, name)) > 0;
}

bool PlayerManager::setAsideSaveGame(const std::string& key, const std::string& playerName) {
    if (playerName.empty()) {
        return true;
    }
    if (setAsideUnloadableFile(fileMode(), saveGamePath(key, playerName, false),
                               {StoredFileKind::SAVED_GAME, playerName, false})) {
        return true;
    }
    heldSaveGames.insert(getStoredSaveGameName(key, playerName));
    return false;
}

void PlayerManager::deleteSaveGame(const std::string& key, const std::string& playerName) {
    if (playerName.empty()) {
        return;
    }
    const std::string stored = getStoredSaveGameName(key, playerName);
    if (FileSystem::current().exists(stored) && heldSaveGames.count(stored) == 0) {
        FileSystem::current().deleteFile(stored);
    }
}
