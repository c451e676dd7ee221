#include "game/visuals/ScreenUtils.h"

#include <algorithm>
#include <cmath>

#include "framework/core/GameNode.h"
#include "framework/nodes/Sprite.h"

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
