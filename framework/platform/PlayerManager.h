#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/FileSourceMode.h"
#include "framework/core/Hook.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/AbstractPlayer.h"

class PropertyNode;
class PropertyStore;

// The players of this machine, one of them current, and their files under the game folder:
// the player list "players/players.plrs", one profile "players/<escaped name>.plr" per player
// and the saved games "savegames/<escaped name>/<key>.sav". Scrambled managers keep every file
// as SCRAMBLED_LOOSE_FILES (stored under the name + ".!"), others as LOOSE_FILES. Each file
// carries the data version; a list or profile of another version is set aside (see
// DamagedFile.h), never read.
//
// Players are told apart by their escaped names, so names differing in any byte (letter case
// too) are different players. Empty names are refused everywhere: they would name the folder
// holding every player's saved games.
class PlayerManager : public BaseObject {
    QUOVEL_TYPE(PlayerManager)
public:
    using PlayerList = std::vector<RefHolder<AbstractPlayer>>;

    // An empty `version` stands for BasicProperties' "PLAYERS_VERSION".
    PlayerManager(const std::string& version, bool scrambled);

    // Makes the singleton (holding one reference) unless it exists.
    static void createInstance(const std::string& version, bool scrambled);
    static void releaseInstance();
    // The singleton, or null.
    static PlayerManager* getInstance();

    // Called after each change of the singleton's current player, with the new one (null when
    // none remains or the singleton is released): the game makes it the player its rules play
    // for. Other managers call nothing.
    static inline Hook<void(AbstractPlayer* player)> currentPlayerChanged{
        MustBeFilled{"PlayerManager::currentPlayerChanged", "installGameListeners"}};

    // Reads the player list and the current player's profile; entries that cannot be built as
    // players are skipped. A list that does not read as this version's list (damaged, another
    // kind of file, another version) is set aside (see DamagedFile.h). Such a list, a missing
    // one and one naming nobody are rebuilt from the profiles in the players' folder, whose file
    // names give the names back, as players of the class setRebuiltPlayerClass named; only names
    // a player could type are taken, and the first in byte order is current.
    virtual void loadPlayers();
    // The factory name of the profile class a rebuilt list makes; none, no rebuilding.
    void setRebuiltPlayerClass(const std::string& typeWord) { rebuiltPlayerClass = typeWord; }
    // Writes the list, then the current player's profile; false when a write failed (the old
    // file then stays whole). A list held unread is left as it is, which is no failure.
    virtual bool savePlayers();

    // Appends the player (taking a reference) and returns it; the first player becomes current.
    // Outside the reading of the list, a player whose profile is stored gets it (loadPlayer).
    // Refused, giving null, for a null player, an empty name, a name already known, or a name
    // whose escaped form is too long for the file names made from it. A refused player that
    // nobody else holds is released.
    virtual AbstractPlayer* addPlayer(AbstractPlayer* player);
    // Whether a player may bear the name: not empty, and short enough in its escaped form for
    // the file names made from it (a byte outside ASCII letters and digits takes four to ten).
    static bool isStorableName(const std::string& name);
    virtual bool hasPlayer(const std::string& name) const;
    // The first player of that name, or getPlayers().end().
    virtual PlayerList::const_iterator findPlayer(const std::string& name) const;
    // Deletes the player's saved games and profile (also when the list does not hold it),
    // drops the player from the list and saves the list. When the current player goes, the
    // first remaining one becomes current and its profile is loaded; none when none remains.
    // False, with nothing deleted, for an empty name.
    virtual bool removePlayer(const std::string& name);

    // Gives the player its profile when the file exists and has this manager's version; true
    // when it was read. A profile that exists but cannot be read, holds no profile, holds values
    // the player does not read (AbstractPlayer::load) or is of another version is set aside
    // (see DamagedFile.h) and the player starts anew; one that cannot be moved, or a link that
    // leads nowhere, is never saved over. A profile the list named that is missing is told
    // (tellMissingFile) the first time it is looked for, and written anew.
    virtual bool loadPlayer(AbstractPlayer* player);
    // Writes the player's profile; nothing (and true) when the player wrote no key or the
    // profile is held unread (told when it was found). False when it was not written.
    virtual bool savePlayer(AbstractPlayer* player);

    // Reads a saved game into `store`; true when it was read.
    virtual bool loadSaveGame(PropertyStore* store, const std::string& key,
                              const std::string& playerName);
    // What writeSaveGame did: wrote the file, left a saved game held unread as it is (no
    // failure, but nothing of `store` is stored), or failed.
    enum class SaveGameWrite { WRITTEN, HELD, FAILED };
    // Saves `store` as the saved game. A saved game held unread is neither written nor deleted.
    virtual SaveGameWrite writeSaveGame(PropertyStore* store, const std::string& key,
                                        const std::string& playerName);
    // Whether anything is in the saved game's place: a file, or something else (a folder)
    // that then does not read and is told as a damaged saved game is.
    virtual bool saveGameExists(const std::string& key, const std::string& playerName);
    virtual void deleteSaveGame(const std::string& key, const std::string& playerName);
    // Whether the player's profile, or the saved game, is held unread: a save leaves it as it
    // is, so nothing of it is written.
    bool isProfileHeld(const std::string& name) const;
    bool isSaveGameHeld(const std::string& key, const std::string& name) const;
    // Moves a saved game that could not be restored aside (see DamagedFile.h); true when none
    // is left in its place. One that cannot be moved is held from then on.
    bool setAsideSaveGame(const std::string& key, const std::string& playerName);

    // The paths of the list, of a profile and of a saved game (before the ".!" of the stored
    // name), making their folders; empty for an empty name.
    std::string getPlayersFileName();
    std::string getPlayerFilePath(const std::string& name);
    std::string getPlayerFileName(const std::string& key, const std::string& name);
    // The names a profile, the list and a saved game are stored under (with the ".!" of the
    // scrambled mode); empty for an empty name.
    std::string getStoredProfileName(const std::string& name) const;
    std::string getStoredPlayersFileName();
    std::string getStoredSaveGameName(const std::string& key, const std::string& name) const;

    // Adds the players named in the list node; the list's current player, or the first.
    virtual void readPlayerNames(PropertyNode* node);
    virtual void writePlayerNames(PropertyNode* node);

    const PlayerList& getPlayers() const { return players; }
    // Null while the list is empty.
    AbstractPlayer* getCurrentPlayer() const { return currentPlayer; }
    // Makes a player of the list current; false (nothing changes) for one not in the list.
    bool setCurrentPlayer(AbstractPlayer* player);
    const std::string& getVersion() const { return version; }
    bool isScrambled() const { return scrambled; }

private:
    int32_t fileMode() const {
        return scrambled ? FileSource::SCRAMBLED_LOOSE_FILES : FileSource::LOOSE_FILES;
    }
    // game folder + "/" + folder, made when `create` is set.
    std::string folderPath(const std::string& folder, bool create) const;
    std::string profilePath(const std::string& name, bool create) const;
    std::string saveGamePath(const std::string& key, const std::string& name, bool create) const;
    bool isKnownName(const std::string& escapedName) const;
    // Adds a player for each profile file of the players' folder.
    void addStoredProfiles();
    // The one way currentPlayer changes: the singleton tells the hook.
    void changeCurrentPlayer(AbstractPlayer* player);

    PlayerList players;
    // The escaped names of `players`, so that adding one to a long list checks no other.
    std::unordered_set<std::string> escapedNames;
    std::string playersFolder = "players";
    std::string version;
    std::string savegamesFolder = "savegames";
    AbstractPlayer* currentPlayer = nullptr;  // one of `players`, not an extra reference
    bool scrambled = false;
    // The list file failed to load and could not be moved aside: it is never written over.
    bool listHeld = false;
    // Likewise for profiles, by escaped player name.
    std::set<std::string> heldProfiles;
    // The escaped names of the players the list read names whose profiles were not yet looked
    // for: a missing one of them is told.
    std::unordered_set<std::string> listedProfiles;
    // The stored names of saved games held unread.
    std::set<std::string> heldSaveGames;
    std::string rebuiltPlayerClass;
    // Set while the list's own players are added: their profiles are read when they are current.
    bool readingList = false;
};
