#include "framework/gui/DialogPainter.h"

#include <algorithm>

#include "framework/core/DefinitionKeys.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/platform/Graphics.h"

QUOVEL_DEFINE_TYPE(DialogPainter, &AbstractPainter::typeRecord)
QUOVEL_REGISTER_CLASS(DialogPainter)

namespace {

// Borders plus whole tiles of the rest; never below the request.
int32_t fitToTiles(int32_t requested, int32_t borders, int32_t tile) {
    int32_t result = borders;
    if (tile > 0 && requested > borders) {
        const int64_t rest = int64_t{requested} - borders;
        const int64_t tiles = (rest + tile - 1) / tile;
        result = static_cast<int32_t>(std::min<int64_t>(borders + tiles * tile, INT32_MAX));
    }
    return std::max(requested, result);
}

}  // namespace

DialogPainter::DialogPainter(PropertyNode* definition) : AbstractPainter(definition) {
    adjustAlpha = boolKeyOr(definition, "adjustalpha", adjustAlpha);
    initAlpha = boolKeyOr(definition, "initalpha", initAlpha);
    useMaxAlpha = boolKeyOr(definition, "usemaxalpha", useMaxAlpha);
    centerColor = static_cast<uint32_t>(
        intKeyOr(definition, "centercolor", static_cast<int32_t>(centerColor)));
}

int32_t DialogPainter::pieceWidth(int32_t index) {
    Image* image = getImage(index);
    return image ? image->getWidth() : 0;
}

int32_t DialogPainter::pieceHeight(int32_t index) {
    Image* image = getImage(index);
    return image ? image->getHeight() : 0;
}

int32_t DialogPainter::fitWidth(int32_t requested) {
    int32_t borders = std::max(pieceWidth(TOP_LEFT), pieceWidth(BOTTOM_LEFT)) +
                      std::max(pieceWidth(TOP_RIGHT), pieceWidth(BOTTOM_RIGHT));
    if (borders == 0) {
        borders = pieceWidth(LEFT) + pieceWidth(RIGHT);
    }
    int32_t tileWidth = std::max(pieceWidth(TOP), pieceWidth(BOTTOM));
    if (tileWidth == 0) {
        tileWidth = pieceWidth(CENTER);
    }
    return fitToTiles(requested, borders, tileWidth);
}

int32_t DialogPainter::fitHeight(int32_t requested) {
    int32_t borders = std::max(pieceHeight(TOP_LEFT), pieceHeight(TOP_RIGHT)) +
                      std::max(pieceHeight(BOTTOM_LEFT), pieceHeight(BOTTOM_RIGHT));
    if (borders == 0) {
        borders = pieceHeight(TOP) + pieceHeight(BOTTOM);
    }
    int32_t tileHeight = std::max(pieceHeight(LEFT), pieceHeight(RIGHT));
    if (tileHeight == 0) {
        tileHeight = pieceHeight(CENTER);
    }
    return fitToTiles(requested, borders, tileHeight);
}

void DialogPainter::paint(Graphics* target) {
    Image* image = target ? target->getImage() : nullptr;
    if (!image) {
        return;
    }
    const int32_t w = image->getWidth();
    const int32_t h = image->getHeight();
    if (adjustAlpha && initAlpha) {
        target->fillRectChannel(Channel::ALPHA, 0, 0, 0, w, h);
    }
    const Rect center{pieceWidth(LEFT), pieceHeight(TOP), w - pieceWidth(LEFT) - pieceWidth(RIGHT),
                      h - pieceHeight(TOP) - pieceHeight(BOTTOM)};
    if (Image* centerImage = getImage(CENTER)) {
        tile(target, centerImage, center);
    } else {
        fillCenter(target, center);
    }
    if (Image* top = getImage(TOP)) {
        tile(target, top,
             {pieceWidth(TOP_LEFT), 0, w - pieceWidth(TOP_LEFT) - pieceWidth(TOP_RIGHT),
              top->getHeight()});
    }
    if (Image* bottom = getImage(BOTTOM)) {
        tile(target, bottom,
             {pieceWidth(BOTTOM_LEFT), h - bottom->getHeight(),
              w - pieceWidth(BOTTOM_LEFT) - pieceWidth(BOTTOM_RIGHT), bottom->getHeight()});
    }
    if (Image* left = getImage(LEFT)) {
        tile(target, left,
             {0, pieceHeight(TOP_LEFT), left->getWidth(),
              h - pieceHeight(TOP_LEFT) - pieceHeight(BOTTOM_LEFT)});
    }
    if (Image* right = getImage(RIGHT)) {
        tile(target, right,
             {w - right->getWidth(), pieceHeight(TOP_RIGHT), right->getWidth(),
              h - pieceHeight(TOP_RIGHT) - pieceHeight(BOTTOM_RIGHT)});
    }
    const struct {
        Piece piece;
        bool alignRight;
        bool alignBottom;
    } corners[] = {{TOP_LEFT, false, false},
                   {TOP_RIGHT, true, false},
                   {BOTTOM_LEFT, false, true},
                   {BOTTOM_RIGHT, true, true}};
    for (const auto& corner : corners) {
        if (Image* piece = getImage(corner.piece)) {
            tile(target, piece,
                 {corner.alignRight ? w - piece->getWidth() : 0,
                  corner.alignBottom ? h - piece->getHeight() : 0, piece->getWidth(),
                  piece->getHeight()});
        }
    }
    setDirty(false);
}

void DialogPainter::fillCenter(Graphics* target, const Rect& area) {
    if (area.w <= 0 || area.h <= 0) {
        return;
    }
    const uint32_t savedColor = target->getColor();
    target->setColor(centerColor | 0xFF000000u);
    target->fillRectR(area);
    target->setColor(savedColor);
    if (!adjustAlpha) {
        return;
    }
    const int32_t a = static_cast<int32_t>(centerColor >> 24);
    if (!useMaxAlpha) {
        target->fillRectChannelR(Channel::ALPHA, a, area);
        return;
    }
    Image* image = target->getImage();
    if (!image->lock()) {
        return;
    }
    const int32_t x0 = std::max(0, area.x);
    const int32_t y0 = std::max(0, area.y);
    const int32_t x1 = std::min(image->getWidth(), area.x + area.w);
    const int32_t y1 = std::min(image->getHeight(), area.y + area.h);
    for (int32_t y = y0; y < y1; ++y) {
        for (int32_t x = x0; x < x1; ++x) {
            if (uint8_t* alpha = image->getAlphaAddress(x, y); alpha && *alpha < a) {
                *alpha = static_cast<uint8_t>(a);
            }
        }
    }
    image->unlock();
    image->markChanged();
}

void DialogPainter::tile(Graphics* target, Image* image, const Rect& area) {
    const int32_t stepX = image->getWidth();
    const int32_t stepY = image->getHeight();
    if (stepX <= 0 || stepY <= 0 || area.w <= 0 || area.h <= 0) {
        return;
    }
    const bool hasOwnAlpha = image->getUseAlphaChannel();
    image->setUseAlphaChannel(!adjustAlpha);
    if (adjustAlpha && !hasOwnAlpha) {
        target->fillRectChannelR(Channel::ALPHA, 255, area);
    }
    for (int32_t top = area.y; top < area.y + area.h; top += stepY) {
        for (int32_t left = area.x; left < area.x + area.w; left += stepX) {
            target->blitWhole(image, left, top);
            if (adjustAlpha && hasOwnAlpha) {
                if (useMaxAlpha) {
                    target->blitChannelMaxWhole(image, Channel::ALPHA, left, top);
                } else {
                    target->blitChannelWhole(image, Channel::ALPHA, left, top);
                }
            }
        }
    }
    image->setUseAlphaChannel(hasOwnAlpha);
}
