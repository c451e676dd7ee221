#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "framework/core/RefHolder.h"
#include "framework/platform/AbstractPlayer.h"
#include "game/profile/QuovelMahjongStats.h"
#include "game/profile/TrophyList.h"
#include "game/profile/UnlockItem.h"
#include "game/rules/IPlayerHooks.h"

class PropertyNode;

// The game's player profile: the player's settings (tutorial hints, background, tile set), the
// progress through the building (floor reached, unlocked items, opened areas), the tutorial
// and host hints still to be shown, the statistics and room records, the trophies and the
// saved game being resumed. The PlayerManager owns the profiles and writes each into its own
// file through save and load; the factory builds them from the player list under
// "QuovelMahjongPlayer".
//
// It is also the player the rules read and change (IPlayerHooks). The rules' trophies of play
// (a score, the total of pairs, a repeated face) arrive as host hints by trophy index: a hint
// counts as shown once its trophy is earned.
class QuovelMahjongPlayer : public AbstractPlayer, public IPlayerHooks {
    QUOVEL_TYPE(QuovelMahjongPlayer)
public:
    static constexpr int32_t HINT_COUNT = 29;
    static constexpr int32_t UNLOCKABLE_COUNT = UNLOCK_ITEM_COUNT;
    static constexpr int32_t MODE_COUNT = 4;
    // The backgrounds to choose from: 0, each game type's own, then the custom ones
    // (BACKGROUND_CUSTOM<n>). The content test holds it to the resources' lists.
    static constexpr int32_t BACKGROUND_COUNT = 11;
    static constexpr int32_t TILESET_COUNT = 4;
    // Winning the top floor opens the one above it.
    static constexpr int32_t HIGHEST_FLOOR_REACHED = QuovelMahjongStats::FLOORS + 1;
    // The trophies a floor's win holds back until the floor-end box is closed.
    static constexpr TrophyId FLOOR_END_TROPHIES[] = {TrophyId::FLOOR_DONE, TrophyId::TEN_FLOORS,
                                                      TrophyId::ALL_FLOORS, TrophyId::ALL_SILVER,
                                                      TrophyId::ALL_GOLD};

    explicit QuovelMahjongPlayer(std::string name);
    // The factory's constructor: the name is the node's "name".
    explicit QuovelMahjongPlayer(PropertyNode* node);
    ~QuovelMahjongPlayer() override;

    // The PlayerManager's current player when it is a profile of this class, else null. The
    // manager makes each new current profile the rules' player too (through its hook, which
    // this class installs), so the game always plays for the profile that the scenes show.
    static QuovelMahjongPlayer* current();

    // The base's "name", then the node's type word "QuovelMahjongPlayer".
    void writeProperties(AbstractProperty* target) override;
    void save(PropertyNode* node) override;
    // Absent keys read as 0 or false; absent lists leave their fields as they are. A value that
    // is neither an integer nor "true" or "false" makes the whole profile unread (false). The
    // floor-end trophies still held come back earned: a loaded profile is on its highest floor,
    // so the floor end that was to give them can no longer play.
    bool load(PropertyNode* node) override;
    void clearSavedGame() override;

    // Unlocks the item (0-19) and opens the group of modes it belongs to.
    void setRoomWon(int32_t item);
    // Five per floor below floorReached, plus the rooms won on floorReached itself.
    int32_t roomsReached() const;
    // Every earned trophy among the first twenty becomes seen.
    void setTrophiesSeen();
    // Those of the trophies that are held back become earned, to be announced.
    void releaseHeldTrophies(std::span<const TrophyId> ids);
    // All five rooms of the floor (1-20) won at least once.
    static bool isFloorComplete(int32_t floor, const QuovelMahjongStats& statistics);
    // The hints switch and the hint's own flag (0-28).
    bool isHintPending(int32_t hint) const;

    // The item's entry of unlockedStuff (an UnlockState).
    int32_t& unlockState(UnlockItem item) { return unlockedStuff[static_cast<size_t>(item)]; }
    int32_t unlockState(UnlockItem item) const { return unlockedStuff[static_cast<size_t>(item)]; }
    bool isUnlocked(UnlockItem item) const { return unlockState(item) != LOCKED; }
    // Backgrounds 0-2 are always open, 3-6 need BACKGROUNDS_3_TO_6, from 7 on also
    // BACKGROUNDS_7_TO_10. Without a player only the always open ones are.
    static bool isBackgroundLocked(const QuovelMahjongPlayer* player, int32_t background);
    // Tile set 0 is always open; 1-3 each need their item.
    static bool isTileSetLocked(const QuovelMahjongPlayer* player, int32_t tileSet);
    // The item whose "new" marker the open background carries: its group's while that is
    // unlocked and not yet seen; none otherwise.
    std::optional<UnlockItem> newBackgroundGroup(int32_t background) const;
    // Likewise for an open tile set.
    std::optional<UnlockItem> newTileSet(int32_t tileSet) const;

    PropertyNode* getSavedGame() const { return savedGame.get(); }
    QuovelMahjongStats& getStats() { return stats; }
    const QuovelMahjongStats& getStats() const { return stats; }
    TrophyList& getTrophies() { return trophyList(); }
    const TrophyList& getTrophies() const { return trophyList(); }

    // IPlayerHooks.
    bool isTutorialHintSet(int32_t flag) const override;
    void clearTutorialHint(int32_t flag) override;
    bool wasHostHintShown(int32_t hint) const override;
    void setHostHintShown(int32_t hint) override;
    int32_t getRemovedPairs() const override;
    void addRemovedPair() override;
    int32_t getBestScore(int32_t floor, int32_t room) const override;
    DisplayValue& getShuffleStock() override;
    DisplayValue& getHintStock() override;
    void keepSavedGame(PropertyNode* node) override;

    bool showHints = true;
    std::array<bool, HINT_COUNT> hints{};
    bool newScorePending = false;
    int32_t background = 0;
    int32_t tileSet = 0;
    int32_t floorReached = 0;
    int32_t currentFloor = 1;
    // Per item, its UnlockState.
    std::array<int32_t, UNLOCKABLE_COUNT> unlockedStuff{};
    // Per room kind, the UnlockState of its group of items; the floors' starts open.
    std::array<int32_t, MODE_COUNT> modesUnlocked{UNLOCKED_SEEN, LOCKED, LOCKED, LOCKED};

private:
    QuovelMahjongStats stats;
    RefHolder<PropertyNode> savedGame;
    // Made at first use: it reads the trophy definitions, and a long player list holds many
    // profiles whose trophies are never looked at.
    TrophyList& trophyList() const;
    mutable RefHolder<TrophyList> trophies;
};
