#pragma once

#include <string>

#include "framework/core/BaseObject.h"

class AbstractProperty;
class PropertyNode;

// Base of a player profile: the player's name, and how the profile is written into and read
// from property nodes. The game's profile class fills in the profile's own keys; the
// PlayerManager writes the files around them.
class AbstractPlayer : public BaseObject {
    QUOVEL_TYPE(AbstractPlayer)
public:
    explicit AbstractPlayer(std::string name);
    // The name is the text of the node's child "name".
    explicit AbstractPlayer(PropertyNode* node);

    const std::string& getName() const { return name; }

    // Adds the untyped text value "name" to the node of the player list (nothing when the
    // target is not a node). A profile class also sets the node's type word to the factory
    // name under which the list recreates it.
    virtual void writeProperties(AbstractProperty* target);
    // Writes the profile's own keys into the node "player" of the profile file.
    virtual void save(PropertyNode* node);
    // Reads them back; false, with the player left as it was, when the node's values do not
    // read (a damaged profile).
    virtual bool load(PropertyNode* node);
    // Drops a saved game the profile keeps.
    virtual void clearSavedGame();

private:
    std::string name;
};
