#include "game/screen/ScreenUtils.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/core/GameNode.h"
#include "framework/core/Sprite.h"
#include "framework/platform/Image.h"

void setSpriteAnchor(Sprite* sprite, int32_t anchorType) {
    if (sprite == nullptr) {
        return;
    }
    const Sprite::Anchor before = sprite->getAnchor();
    if (before.type != anchorType) {
        sprite->setAnchor(anchorType);  // sets the pivot alike
    }
    const Sprite::Anchor& after = sprite->getAnchor();
    sprite->setX(sprite->getX() + static_cast<int32_t>(std::trunc(after.x - before.x)));
    sprite->setY(sprite->getY() + static_cast<int32_t>(std::trunc(after.y - before.y)));
}

void setPositionRelativeTo(GameNode* node, GameNode* newParent) {
    if (node == nullptr || newParent == nullptr) {
        return;
    }
    node->setX(node->getAbsoluteX() - newParent->getAbsoluteX());
    node->setY(node->getAbsoluteY() - newParent->getAbsoluteY());
    GameNode::appendChild(node, newParent);
}

void makeLevelKey(bool mixed, std::string& out, int32_t a, int32_t b, int32_t c) {
    if (mixed) {
        out = "mixed_" + std::to_string(c);
    } else {
        out = std::to_string(a) + "_" + std::to_string(b) + "_" + std::to_string(c);
    }
}

void decomposeRectUnion(std::vector<Rect>& out, const std::vector<Rect>& in) {
    out.clear();
    std::vector<int64_t> xs;
    std::vector<int64_t> ys;
    for (const Rect& r : in) {
        xs.push_back(r.x);
        xs.push_back(int64_t{r.x} + r.w);
        ys.push_back(r.y);
        ys.push_back(int64_t{r.y} + r.h);
    }
    const auto sortUnique = [](std::vector<int64_t>& edges) {
        std::sort(edges.begin(), edges.end());
        edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    };
    sortUnique(xs);
    sortUnique(ys);
    const auto covered = [&in](int64_t x, int64_t y) {
        return std::any_of(in.begin(), in.end(), [x, y](const Rect& r) {
            return r.x <= x && x < int64_t{r.x} + r.w && r.y <= y && y < int64_t{r.y} + r.h;
        });
    };
    for (size_t j = 0; j + 1 < ys.size(); ++j) {
        size_t i = 0;
        while (i + 1 < xs.size()) {
            if (!covered(xs[i], ys[j])) {
                ++i;
                continue;
            }
            const size_t start = i;
            while (i + 1 < xs.size() && covered(xs[i], ys[j])) {
                ++i;
            }
            const Rect run{static_cast<int32_t>(xs[start]), static_cast<int32_t>(ys[j]),
                           static_cast<int32_t>(xs[i] - xs[start]),
                           static_cast<int32_t>(ys[j + 1] - ys[j])};
            const auto joins = std::find_if(out.begin(), out.end(), [&run](const Rect& r) {
                return r.y == run.y && r.h == run.h && int64_t{r.x} + r.w == run.x;
            });
            if (joins != out.end()) {
                joins->w += run.w;
            } else {
                out.push_back(run);
            }
        }
    }
}

void greyImageRect(Image* image, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (image == nullptr || !image->lock() || image->getPixels() == nullptr) {
        return;
    }
    const int32_t left = std::max(x, 0);
    const int32_t top = std::max(y, 0);
    const int32_t right = std::min(x + width, image->getWidth());
    const int32_t bottom = std::min(y + height, image->getHeight());
    const int32_t depth = image->getBytesPerPixel();
    for (int32_t row = top; row < bottom; ++row) {
        uint8_t* line = image->getPixels() + static_cast<ptrdiff_t>(row) * image->getPitch();
        for (int32_t column = left; column < right; ++column) {
            if (depth == 4) {
                uint32_t pixel;
                std::memcpy(&pixel, line + column * 4, 4);
                const uint32_t grey = (3 * ((pixel >> 16) & 0xFF) + 6 * ((pixel >> 8) & 0xFF) +
                                       (pixel & 0xFF)) / 10;
                pixel = (pixel & 0xFF000000u) | (grey << 16) | (grey << 8) | grey;
                std::memcpy(line + column * 4, &pixel, 4);
            } else if (depth == 2) {
                uint16_t pixel;
                std::memcpy(&pixel, line + column * 2, 2);
                const uint32_t grey = (3u * (pixel >> 11) + 6u * ((pixel >> 6) & 0x1F) +
                                       (pixel & 0x1F)) / 10;
                pixel = static_cast<uint16_t>((grey << 11) | (grey << 6) | grey);
                std::memcpy(line + column * 2, &pixel, 2);
            }
        }
    }
}
