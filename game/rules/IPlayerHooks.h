#pragma once

#include <cstdint>

#include "framework/core/Interface.h"

class DisplayValue;
class PropertyNode;

// What the rules read and change in the current player's profile: tutorial-hint flags, the
// host's hints already shown, the total of removed pairs, the best score of a level, the stocks
// of shuffles and hints, and the saved-game node a restored game came from. The profile
// implements it; the player manager installs its current profile as the current player.
class IPlayerHooks : public Interface {
    QUOVEL_INTERFACE_TYPE(IPlayerHooks)
public:
    // A flag reads as set only while the flag block is enabled and the flag's byte is not 0.
    virtual bool isTutorialHintSet(int32_t flag) const = 0;
    virtual void clearTutorialHint(int32_t flag) = 0;
    virtual bool wasHostHintShown(int32_t hint) const = 0;
    virtual void setHostHintShown(int32_t hint) = 0;
    virtual int32_t getRemovedPairs() const = 0;
    virtual void addRemovedPair() = 0;
    // The best score of the level at that floor and room.
    virtual int32_t getBestScore(int32_t floor, int32_t room) const = 0;
    // Stocks with initial MIN_NUM_SHUFFLES / MIN_NUM_HINTS and bounds 0 and the maximum.
    virtual DisplayValue& getShuffleStock() = 0;
    virtual DisplayValue& getHintStock() = 0;
    // Keeps the "game" node of a restored saved game (null clears it).
    virtual void keepSavedGame(PropertyNode* node) = 0;
};

// The current player, or null; not owned.
IPlayerHooks* getCurrentPlayer();
void setCurrentPlayer(IPlayerHooks* player);
