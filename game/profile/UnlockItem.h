#pragma once

#include <array>
#include <cstdint>

// The items of the player's unlock list, by the number the profile stores: item n opens when
// every room of floor n + 1 has been won. The rooms and dialogs that read an item give it its
// meaning; each reads its own table below.
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
