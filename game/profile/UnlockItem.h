#pragma once

#include <array>
#include <cstdint>
#include <string>

// The items of the player's unlock list, by the number the profile stores; FLOOR_UNLOCKS says
// which floor's end opens each. The rooms and dialogs that read an item give it its meaning;
// each reads its own table below.
enum class UnlockItem : int32_t {
    CASINO_CLASSIC = 0,
    CASINO_TRIPLE = 1,
    TILESET_1 = 2,
    RECROOM_CLASSIC = 3,
    CASINO_FREECELL = 4,
    RECROOM_TRIPLE = 5,
    BACKGROUNDS_3_TO_6 = 6,
    CASINO_SPLIT = 7,
    RECROOM_RIVER = 8,
    TILESET_2 = 9,
    CASINO_RIVER = 10,
    RECROOM_SPLIT = 11,
    RECROOM_FREECELL = 12,
    LAYOUT_PAGE_2 = 13,
    TILESET_3 = 14,
    LAYOUT_PAGE_3 = 15,
    BACKGROUNDS_7_TO_10 = 16,
    EXPERT = 17,
    LAYOUT_ALL_PAGES = 18,
    ROOF = 19,
};

inline constexpr int32_t UNLOCK_ITEM_COUNT = 20;

// What the end of each floor opens, floor 1 first: the floor's win marks it in the profile, the
// lift's next ride reports it and the hallway's floor end names it (TEXT_UNLOCK<number + 1>).
// Profiles store the items' numbers: reorder this table, never the enumerators.
inline constexpr std::array<UnlockItem, UNLOCK_ITEM_COUNT> FLOOR_UNLOCKS{
    UnlockItem::CASINO_CLASSIC,      UnlockItem::CASINO_TRIPLE,
    UnlockItem::TILESET_1,           UnlockItem::RECROOM_CLASSIC,
    UnlockItem::CASINO_FREECELL,     UnlockItem::RECROOM_TRIPLE,
    UnlockItem::BACKGROUNDS_3_TO_6,  UnlockItem::CASINO_SPLIT,
    UnlockItem::RECROOM_RIVER,       UnlockItem::TILESET_2,
    UnlockItem::CASINO_RIVER,        UnlockItem::RECROOM_SPLIT,
    UnlockItem::RECROOM_FREECELL,    UnlockItem::LAYOUT_PAGE_2,
    UnlockItem::TILESET_3,           UnlockItem::LAYOUT_PAGE_3,
    UnlockItem::BACKGROUNDS_7_TO_10, UnlockItem::EXPERT,
    UnlockItem::LAYOUT_ALL_PAGES,    UnlockItem::ROOF};

// The number the profile stores item `item` under.
constexpr int32_t unlockIndex(UnlockItem item) {
    return static_cast<int32_t>(item);
}

// The number of the item the end of `floor` opens, or -1 for a floor outside the table.
constexpr int32_t floorUnlockIndex(int32_t floor) {
    return floor >= 1 && floor <= UNLOCK_ITEM_COUNT
               ? unlockIndex(FLOOR_UNLOCKS[static_cast<size_t>(floor - 1)])
               : -1;
}

// The key of the text that names the item of that number.
inline std::string unlockTextKey(int32_t index) {
    return "TEXT_UNLOCK" + std::to_string(index + 1);
}

// The state of an item: locked, unlocked and not yet shown as new, unlocked and shown.
enum UnlockState : int32_t { LOCKED = 0, UNLOCKED_NEW = 1, UNLOCKED_SEEN = 2 };

// The casino's game-type switches, by game type.
inline constexpr std::array<UnlockItem, 5> CASINO_UNLOCKS{
    UnlockItem::CASINO_CLASSIC, UnlockItem::CASINO_FREECELL, UnlockItem::CASINO_SPLIT,
    UnlockItem::CASINO_TRIPLE, UnlockItem::CASINO_RIVER};
// The rec room's game-type switches, by game type.
inline constexpr std::array<UnlockItem, 5> RECROOM_UNLOCKS{
    UnlockItem::RECROOM_CLASSIC, UnlockItem::RECROOM_FREECELL, UnlockItem::RECROOM_SPLIT,
    UnlockItem::RECROOM_TRIPLE, UnlockItem::RECROOM_RIVER};
// The roof's own item, which opens it.
inline constexpr std::array<UnlockItem, 1> ROOF_UNLOCKS{UnlockItem::ROOF};
// The background selection: tile sets 1 to 3 (tile set 0 is always open).
inline constexpr std::array<UnlockItem, 3> TILESET_UNLOCKS{
    UnlockItem::TILESET_1, UnlockItem::TILESET_2, UnlockItem::TILESET_3};
