#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"
#include "game/rules/GameType.h"

class Image;
class Layout;

// A small picture of a level's layout for the room previews: every occupied cell as the
// quarter of a miniature tile it covers, layer over layer, centred on the background of a game
// type.
class LayoutPreview {
public:
    // The key of a game type's miniature background in the "manual" section.
    static std::string backgroundKey(GameType gameType);

    // Takes the miniature tile and the backgrounds from the "manual" section, then unloads it.
    LayoutPreview();
    // Draws a new picture of the layout on the background of game type `index` (any other index
    // draws on white without a background) and keeps it.
    void build(Layout* layout, int32_t index);
    // Drops the picture, the tile and the backgrounds.
    void clear();

    Image* getPicture() const { return picture.get(); }
    Layout* getLayout() const { return layout; }

private:
    RefHolder<Image> picture;
    RefHolder<Image> tileImage;
    std::array<RefHolder<Image>, GAME_TYPE_COUNT> backgrounds;
    Layout* layout = nullptr;
};
