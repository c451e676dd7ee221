#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"
#include "game/rules/TrophyId.h"

class PropertyNode;

// One picture entry of a trophy: its place in the trophy cabinet, the picture's key and
// resource section, and the keys of its header and body texts.
struct TrophyInfo {
    int32_t x = 0;
    int32_t y = 0;
    std::string image;
    std::string section;
    std::string headerId;
    std::string textId;

    // The header text with the digit grouping symbol at every "%1", trimmed.
    std::wstring headerText() const;
    // The body text likewise; its first "%2" becomes the text of the body key + "_PLUS" when
    // `plus` is set, else it goes.
    std::wstring bodyText(bool plus) const;
};

// A trophy the game can award: its picture entries, in the order of the definition file (the
// cabinet shows entry 0, the award and the texts use entry 1), and the player's state of it:
// 0 not earned, 1 earned and to be announced, 2 announced in this run, 3 seen, 4 earned and
// held back until its scene turns it into 1.
class Trophy : public BaseObject {
public:
    enum State : int32_t {
        NOT_EARNED = 0,
        EARNED = 1,
        ANNOUNCED = 2,
        SEEN = 3,
        HELD_BACK = 4,
    };

    // The entry at that index; an empty entry when the trophy has no such entry.
    virtual const TrophyInfo& getInfo(int32_t index) const;

    std::vector<TrophyInfo> infos;
    int32_t state = NOT_EARNED;
};

// The trophies of one player: the definitions read from the trophy file when the list is made,
// each with the player's state. Only the states are saved, in the profile's "trophies" node.
// The game expects twenty trophies; a missing or short file gives fewer, and every reader goes
// through getTrophy, which answers null past the end.
class TrophyList : public BaseObject {
public:
    static constexpr const char* DEFINITION_FILE = "media/properties/trophies.xml";
    // The trophies the game awards by index.
    static constexpr int32_t TROPHY_COUNT = TROPHY_ID_COUNT;

    // Reads the definitions; an unreadable file gives an empty list.
    explicit TrophyList(const std::string& definitionFile = DEFINITION_FILE);

    // The states from "trophyVector", as far as both the saved list and this one go.
    virtual void load(PropertyNode* node);
    // Writes "trophyVector"; earned trophies are written as seen when saveNotShownAsNew is set.
    virtual void save(PropertyNode* node) const;

    int32_t size() const { return static_cast<int32_t>(trophies.size()); }
    // The trophy at that index, or null.
    Trophy* getTrophy(int32_t index) const;
    Trophy* getTrophy(TrophyId id) const { return getTrophy(trophyIndex(id)); }

    std::vector<RefHolder<Trophy>> trophies;
    bool saveNotShownAsNew = true;
    std::string defaultSection;
};
