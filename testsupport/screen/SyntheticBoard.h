#pragma once
// Shared pieces of the board-screen tests and benchmarks: board geometry given to the tuning
// constants, synthetic tile pictures ("TILE", "SYMBOLS1", "SHADOW") served by a resource
// manager of their own, layouts from positions with faces, and a frame drawn through the render
// pass.

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/GameTree.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/Random.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/ImageResource.h"
#include "framework/platform/PngDecoder.h"
#include "framework/platform/RenderTask.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/ResourceSection.h"
#include "game/rules/Layout.h"
#include "game/rules/Tile.h"
#include "game/screen/LayoutRenderer.h"
#include "testsupport/rules/Pyramid144.h"
#include "testsupport/rules/RulesFixtures.h"

namespace screen_test {

// Board geometry in pixels: face, layer shift, shadow margin, side strips. Even sizes keep
// every clipped blit on even columns: the 32-bit blitter stores opaque pixels in pairs, so an
// odd clip edge would blend its last pixel by 254 and differ from an unclipped drawing by one
// color step.
struct Geometry {
    int32_t faceWidth = 20;
    int32_t faceHeight = 24;
    int32_t layerX = 4;
    int32_t layerY = 4;
    int32_t shadowX = 4;
    int32_t shadowY = 4;
    int32_t sideWidth = 4;
    int32_t sideHeight = 4;
};

// Pixel values of the synthetic pictures (0xAARRGGBB).
constexpr uint32_t FACE = 0xFFF0E6D2u;
constexpr uint32_t RIGHT_SIDE = 0xFF9C7A52u;
constexpr uint32_t BOTTOM_SIDE = 0xA0705030u;  // half transparent: repeated drawing shows
constexpr uint32_t SHADOW = 0x60000000u;

// The color of the symbol in sheet cell (column, row).
inline uint32_t symbolColor(int32_t column, int32_t row) {
    return 0xFF000000u | static_cast<uint32_t>((column * 29 + 40) << 16) |
           static_cast<uint32_t>((row * 45 + 20) << 8) | 0x60u;
}

inline void fill(Image* image, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t value) {
    auto* pixels = reinterpret_cast<uint32_t*>(image->getPixels());
    const int32_t stride = image->getPitch() / 4;
    for (int32_t j = y; j < y + h && j < image->getHeight(); ++j) {
        for (int32_t i = x; i < x + w && i < image->getWidth(); ++i) {
            pixels[j * stride + i] = value;
        }
    }
}

// Whether two pictures have the same size, depth, color bytes and alpha plane.
inline bool samePicture(const Image* a, const Image* b) {
    if (a->getWidth() != b->getWidth() || a->getHeight() != b->getHeight() ||
        a->getBytesPerPixel() != b->getBytesPerPixel()) {
        return false;
    }
    const size_t rowBytes = static_cast<size_t>(a->getWidth()) * a->getBytesPerPixel();
    for (int32_t y = 0; y < a->getHeight(); ++y) {
        if (std::memcmp(a->getPixels() + y * a->getPitch(), b->getPixels() + y * b->getPitch(),
                        rowBytes) != 0) {
            return false;
        }
    }
    const size_t plane = static_cast<size_t>(a->getWidth()) * a->getHeight();
    return a->getBytesPerPixel() != 2 ||
           std::memcmp(a->getAlphaPlane(), b->getAlphaPlane(), plane) == 0;
}

inline uint32_t pixelAt(const Image* image, int32_t x, int32_t y) {
    return reinterpret_cast<const uint32_t*>(image->getPixels())[y * (image->getPitch() / 4) + x];
}

// The blank tile: face at the top left, right side strip beside it, bottom strip below, and a
// transparent corner between the strips.
inline RefHolder<Image> makeTileImage(const Geometry& g) {
    RefHolder<Image> image(
        Image::createImage(g.faceWidth + g.sideWidth, g.faceHeight + g.sideHeight, 4));
    fill(image.get(), 0, 0, g.faceWidth, g.faceHeight, FACE);
    fill(image.get(), g.faceWidth, 0, g.sideWidth, g.faceHeight, RIGHT_SIDE);
    fill(image.get(), 0, g.faceHeight, g.faceWidth, g.sideHeight, BOTTOM_SIDE);
    return image;
}

// Nine columns by five rows of face cells (one pixel between rows), each transparent but for a
// square of its own color in the middle; the second tile set's colors are inverted.
inline RefHolder<Image> makeSymbolSheet(const Geometry& g, bool secondSet = false) {
    RefHolder<Image> image(Image::createImage(9 * g.faceWidth, 5 * (g.faceHeight + 1), 4));
    for (int32_t row = 0; row < 5; ++row) {
        for (int32_t column = 0; column < 9; ++column) {
            fill(image.get(), column * g.faceWidth + g.faceWidth / 4,
                 row * (g.faceHeight + 1) + g.faceHeight / 4, g.faceWidth / 2, g.faceHeight / 2,
                 symbolColor(column, row) ^ (secondSet ? 0x00FFFFFFu : 0u));
        }
    }
    return image;
}

inline RefHolder<Image> makeShadowImage(const Geometry& g) {
    RefHolder<Image> image(
        Image::createImage(g.faceWidth + 3 * g.shadowX, 2 * g.faceHeight + 2 * g.shadowY, 4));
    fill(image.get(), 0, 0, image->getWidth(), image->getHeight(), SHADOW);
    return image;
}

// Tuning constants for the geometry plus `extra`, and the pictures ("TILE" in section "default",
// "SYMBOLS1", "SYMBOLS2"... and "SHADOW" in "manual") in a resource manager for the scope, at a
// display depth of 4 or 2 bytes per pixel.
class ScopedBoardArt {
public:
    explicit ScopedBoardArt(const Geometry& g = Geometry(),
                            std::vector<std::pair<std::string, int32_t>> extra = {},
                            int32_t displayBytesPerPixel = 4)
        : ScopedBoardArt(g, std::move(extra), makeTileImage(g),
                         {makeSymbolSheet(g), makeSymbolSheet(g, true)}, makeShadowImage(g),
                         displayBytesPerPixel) {}
    // The same with the given pictures (4 bytes per pixel), converted to the display's depth.
    ScopedBoardArt(const Geometry& g, std::vector<std::pair<std::string, int32_t>> extra,
                   const RefHolder<Image>& tile, const std::vector<RefHolder<Image>>& symbols,
                   const RefHolder<Image>& shadow, int32_t displayBytesPerPixel = 4)
        : tuning(withGeometry(g, std::move(extra))) {
        setDisplayBytesPerPixel(displayBytesPerPixel);
        std::vector<std::pair<std::string, RefHolder<Image>>> manual{{"SHADOW", shadow}};
        for (size_t i = 0; i < symbols.size(); ++i) {
            manual.emplace_back("SYMBOLS" + std::to_string(i + 1), symbols[i]);
        }
        for (auto& [key, image] : manual) {
            followDisplay(image.get(), displayBytesPerPixel);
        }
        followDisplay(tile.get(), displayBytesPerPixel);
        ResourceManager* manager = ResourceManager::createInstance();
        addSection(manager, "default", {{"TILE", tile}});
        addSection(manager, "manual", manual);
    }
    ~ScopedBoardArt() {
        ResourceManager::stopLoader();
        setDisplayBytesPerPixel(4);
    }
    ScopedBoardArt(const ScopedBoardArt&) = delete;
    ScopedBoardArt& operator=(const ScopedBoardArt&) = delete;

    // Adds a section of loaded pictures to the manager.
    static void addSection(ResourceManager* manager, const std::string& name,
                           const std::vector<std::pair<std::string, RefHolder<Image>>>& images) {
        RefHolder<PropertyNode> definition(new PropertyNode(name, "Section"));
        definition->addChild(new PropertyValue("name", name, true));
        RefHolder<ResourceSection> section(new ResourceSection(definition.get()));
        for (const auto& [key, image] : images) {
            RefHolder<ImageResource> resource(new ImageResource(key + ".png", "", 0));
            resource->setImage(image.get());
            resource->setLoaded();
            section->addObject(key, resource.get());
        }
        manager->addSection(section.get());
    }

private:
    static std::vector<std::pair<std::string, int32_t>> withGeometry(
        const Geometry& g, std::vector<std::pair<std::string, int32_t>> values) {
        values.insert(values.end(), {{"RENDERER_TILE_FACE_WIDTH", g.faceWidth},
                                     {"RENDERER_TILE_FACE_HEIGHT", g.faceHeight},
                                     {"RENDERER_TILE_LAYER_OFFSETX", g.layerX},
                                     {"RENDERER_TILE_LAYER_OFFSETY", g.layerY},
                                     {"RENDERER_SHADOW_OFFSETX", g.shadowX},
                                     {"RENDERER_SHADOW_OFFSETY", g.shadowY},
                                     {"RENDERER_TILE_SIDE_WIDTH", g.sideWidth},
                                     {"RENDERER_TILE_SIDE_HEIGHT", g.sideHeight},
                                     {"TILE_FACE_WIDTH", g.faceWidth},
                                     {"TILE_FACE_HEIGHT", g.faceHeight}});
        return values;
    }
    static void followDisplay(Image* image, int32_t bytesPerPixel) {
        if (image != nullptr) {
            image->setFollowsDisplayDepth(true);
            image->convert(bytesPerPixel);
        }
    }
    rules_test::ScopedTuning tuning;
};

// The game's board geometry, read from the built "media/properties/mahjong.xml" (with every
// other integer of the file in `values`); false when the file is missing.
inline bool readGameGeometry(const std::filesystem::path& media, Geometry& g,
                             std::vector<std::pair<std::string, int32_t>>& values) {
    std::ifstream file(media / "properties/mahjong.xml");
    if (!file) {
        return false;
    }
    std::map<std::string, int32_t> read;
    const std::regex integer(R"re(<Integer id="([A-Z0-9_]+)" value="(-?[0-9]+)")re");
    for (std::string line; std::getline(file, line);) {
        std::smatch match;
        if (std::regex_search(line, match, integer)) {
            read[match[1]] = std::stoi(match[2]);
        }
    }
    g = {read["RENDERER_TILE_FACE_WIDTH"],    read["RENDERER_TILE_FACE_HEIGHT"],
         read["RENDERER_TILE_LAYER_OFFSETX"], read["RENDERER_TILE_LAYER_OFFSETY"],
         read["RENDERER_SHADOW_OFFSETX"],     read["RENDERER_SHADOW_OFFSETY"],
         read["RENDERER_TILE_SIDE_WIDTH"],    read["RENDERER_TILE_SIDE_HEIGHT"]};
    values.assign(read.begin(), read.end());
    return g.faceWidth > 0 && g.faceHeight > 0;
}

// The game's own tile pictures and board geometry from the built media folder, plus `extra`;
// null when the build has not made them.
inline std::unique_ptr<ScopedBoardArt> gameArt(const std::filesystem::path& media, Geometry& g,
                                               std::vector<std::pair<std::string, int32_t>> extra) {
    const std::filesystem::path tiles = media / "images/tiles";
    std::vector<std::pair<std::string, int32_t>> values;
    if (!std::filesystem::exists(tiles / "tile.png") || !readGameGeometry(media, g, values)) {
        return nullptr;
    }
    values.insert(values.end(), extra.begin(), extra.end());
    const auto picture = [&tiles](const char* name) {
        return RefHolder<Image>(loadPngFile((tiles / name).string(), PngDecodeFlags::FULL_COLOR));
    };
    RefHolder<Image> tile = picture("tile.png");
    RefHolder<Image> symbols = picture("symbols1.png");
    RefHolder<Image> shadow = picture("shadow.png");
    if (!tile || !symbols || !shadow) {
        return nullptr;
    }
    return std::make_unique<ScopedBoardArt>(g, values, tile, std::vector<RefHolder<Image>>{symbols},
                                            shadow);
}

using game_test::Position;
using game_test::pyramid144;

// The face of the i-th tile of a full set: four of each of the 34 regular faces (three suits of
// nine, four winds, three dragons), then the four flowers and the four seasons; round again.
inline std::pair<int, int> faceOf(size_t i) {
    const int n = static_cast<int>(i % 144);
    if (n >= 136) {
        return {n < 140 ? 5 : 6, (n - 136) % 4};
    }
    const int face = n / 4;
    if (face < 27) {
        return {face / 9, face % 9};
    }
    return face < 31 ? std::pair<int, int>{3, face - 27} : std::pair<int, int>{4, face - 31};
}

// A layout of tiles at the positions, with the faces of a full set in order.
inline RefHolder<Layout> makeLayout(const std::vector<Position>& positions) {
    RefHolder<PropertyNode> node(new PropertyNode("layout", "Layout"));
    RefHolder<PropertyVector> tiles(new PropertyVector("tiles"));
    for (size_t i = 0; i < positions.size(); ++i) {
        const Position& p = positions[i];
        const auto [suit, value] = faceOf(i);
        tiles->addChild(rules_test::tileNode(p[0], p[1], p[2], suit, value).get());
    }
    node->addChild(tiles.get());
    return RefHolder<Layout>(new Layout(node.get(), TYPE_CLASSIC, -1));
}

// The program's random generator, seeded, for the scope.
class ScopedRandom {
public:
    explicit ScopedRandom(uint32_t seed) { Random::createInstance(seed); }
    ~ScopedRandom() { Random::releaseInstance(); }
    ScopedRandom(const ScopedRandom&) = delete;
    ScopedRandom& operator=(const ScopedRandom&) = delete;
};
// An 800 x 600 frame at the display depth into which a node tree is drawn by the render pass.
class Frame {
public:
    Frame()
        : image(Image::createImage(800, 600)),
          graphics(image->createGraphics()),
          tree(new GameTree()),
          pass(new RenderTask(tree.get())) {}

    GameTree* root() const { return tree.get(); }
    Image* picture() const { return image.get(); }
    // Clears the frame to opaque black and draws the tree.
    void draw() {
        graphics->setColor(0xFF000000u);
        graphics->clear();
        graphics->fillChannel(0, 255);
        drawOver();
    }
    // Draws the tree over what the frame holds.
    void drawOver() { pass->render(graphics.get()); }

private:
    RefHolder<Image> image;
    RefHolder<Graphics> graphics;
    RefHolder<GameTree> tree;
    RefHolder<RenderTask> pass;
};

// A renderer of the layout placed at (x, y) in the frame, drawn once.
inline RefHolder<LayoutRenderer> drawnBoard(Layout* layout, Frame& frame, int32_t x, int32_t y) {
    RefHolder<LayoutRenderer> renderer(new LayoutRenderer());
    renderer->build(layout, {});
    renderer->setPosition(x, y);
    GameNode::appendChild(renderer.get(), frame.root());
    frame.draw();
    return renderer;
}

}  // namespace screen_test
