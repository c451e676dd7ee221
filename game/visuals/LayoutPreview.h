#pragma once

#include <array>
#include <cstdint>

#include "framework/core/RefHolder.h"

class Image;
class Layout;

// A small picture of a level's layout for the room previews: every occupied cell as the
// quarter of a miniature tile it covers, layer over layer, centred on one of six backgrounds.
class LayoutPreview {
public:
    static constexpr int32_t BACKGROUND_COUNT = 6;

    // Takes the miniature tile and the backgrounds from the "manual" section, then unloads it.
    LayoutPreview();
    // Draws a new picture of the layout on background `index` (0-5; any other index draws on
    // white without a background) and keeps it.
    void build(Layout* layout, int32_t index);
    // Drops the picture, the tile and the backgrounds.
    void clear();

    Image* getPicture() const { return picture.get(); }
    Layout* getLayout() const { return layout; }

private:
    RefHolder<Image> picture;
    RefHolder<Image> tileImage;
    std::array<RefHolder<Image>, BACKGROUND_COUNT> backgrounds;
    Layout* layout = nullptr;
};
