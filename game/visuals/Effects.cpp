#include "game/visuals/Effects.h"

#include <cmath>
#include <vector>

#include "framework/core/ModifierContainer.h"
#include "framework/core/Polygon.h"
#include "framework/core/Random.h"
#include "framework/gui/Dialog.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFrame.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"
#include "game/rules/Layout.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/visuals/GameModifiers.h"
#include "game/visuals/ITileBoard.h"
#include "game/visuals/ScreenUtils.h"

namespace {

constexpr float TWO_PI = 6.2831855f;

// Links the modifier, aimed at `target`, below `container`; returns it for chaining.
Modifier* attach(Modifier* container, GameNode* target, Modifier* modifier) {
    modifier->setTarget(target);
    return ModifierContainer::addModifier(container, modifier);
}

Modifier* currentContainer() {
    SceneManager* scenes = SceneManager::getInstance();
    Scene* scene = scenes ? scenes->getCurrentScene() : nullptr;
    return scene ? scene->getAnimTree() : nullptr;
}

GameNode* senderTarget(BaseObject* sender) {
    Modifier* modifier = objectCast<Modifier>(sender);
    return modifier ? modifier->getTarget() : nullptr;
}

}  // namespace

Sprite* createTileFaceSprite(const ITileBoard& board, Layout* layout, Tile* tile, bool silhouette,
                             uint32_t colour, bool additive) {
    const TuningConstants& constants = tuning();
    Image* symbols = board.getSymbolImage();
    RefHolder<Image> face(
        Image::createImage(constants.TILE_FACE_WIDTH, constants.TILE_FACE_HEIGHT));
    RefHolder<Graphics> graphics(face ? face->createGraphics() : nullptr);
    if (graphics && symbols) {
        const int32_t sx = tile->getFaceOffsetX();
        const int32_t sy = tile->getFaceOffsetY();
        if (silhouette) {
            graphics->setColor(0xFF000000u | colour);
            graphics->fillRect(0, 0, face->getWidth(), face->getHeight());
            graphics->blitChannel(symbols, Channel::ALPHA, 0, 0, sx, sy, face->getWidth(),
                                  face->getHeight());
        } else {
            graphics->copyRect(symbols, 0, 0, sx, sy, face->getWidth(), face->getHeight());
        }
    }
    Sprite* sprite = additive ? new AdditiveSprite(0, 0, face.get()) : new Sprite(0, 0, face.get());
    int32_t x = 0;
    int32_t y = 0;
    SideBoard* side = layout ? layout->getSideBoard() : nullptr;
    if (tile->isOnSideBoard() && side) {
        x = tile->getGridX();
        y = tile->getGridY();
        side->slotToPoint(x, y);
    } else {
        x = board.gridToScreenX(tile->getGridZ(), tile->getGridX());
        y = board.gridToScreenY(tile->getGridZ(), tile->getGridY());
    }
    sprite->setPosition(x, y);
    setSpriteAnchor(sprite, Sprite::ANCHOR_CENTER);
    return sprite;
}

Sprite* createTilePictureSprite(const ITileBoard& board, int32_t suit, int32_t value) {
    const TuningConstants& constants = tuning();
    RefHolder<Image> picture(Image::copyImage(board.getBlankTile().get()));
    RefHolder<Graphics> graphics(picture ? picture->createGraphics() : nullptr);
    Image* symbols = board.getSymbolImage();
    if (graphics && symbols) {
        graphics->blit(symbols, 0, 0, suitFaceOffsetX(suit, value), suitFaceOffsetY(suit),
                       constants.TILE_FACE_WIDTH, constants.TILE_FACE_HEIGHT);
    }
    return new Sprite(0, 0, picture.get());
}

void showTileFaceShine(GameNode* parent, const ITileBoard& board, Layout* layout, Tile* tile,
                       int32_t multiplier, Modifier* container) {
    if (multiplier >= 1 && multiplier <= 3) {
        return;
    }
    if (!container) {
        container = currentContainer();
    }
    if (!parent || !tile || !container) {
        return;
    }
    RefHolder<Sprite> glint(createTileFaceSprite(board, layout, tile, true, 0xFFFFFF, true));
    GameNode::appendChild(glint.get(), parent);
    RefHolder<Image> light = findLoaded<Image>("FACE_SHINE", "game");
    Modifier* first = attach(container, glint.get(), new ModifierDelay(0));
    auto* shine = new ModifierShine(light.get(), 400);
    shine->setAdditive(false);
    shine->setFlags(Modifier::FLAG_REMOVE_TARGET);
    attach(first, glint.get(), shine);
    Modifier* later = attach(container, glint.get(), new ModifierDelay(450));
    auto* fade = new ModifierAlpha(tuning().TILE_FADEOUT_TIME, 255, 0);
    fade->setFlags(Modifier::FLAG_REMOVE_TARGET);
    attach(later, glint.get(), fade);
    if (multiplier >= 7) {
        const int32_t count = std::min(multiplier - 3, 30);
        const auto radius = static_cast<int32_t>(
            std::lround(std::sqrt(static_cast<double>(multiplier - 6)) * 15.0 + 10.0));
        RefHolder<Image> star = findLoaded<Image>("FADING_STAR", "default");
        flyStarAlongPath(glint.get(), count, star.get(), radius, 255, 100, false,
                         tuning().BONUS_ANIM_EXPLOSION_TIME);
    }
}

void flyStarAlongPath(GameNode* node, int32_t count, Image* image, int32_t radius, int32_t alpha,
                      int32_t extraDelay, bool placement, int32_t duration) {
    if (!node || count <= 0 || !node->getParent()) {
        return;
    }
    const int32_t explosion = tuning().BONUS_ANIM_EXPLOSION_TIME;
    float cx = static_cast<float>(node->getX());
    float cy = static_cast<float>(node->getY());
    if (const auto* sprite = objectCast<Sprite>(node)) {
        cx += static_cast<float>(sprite->getWidth() / 2 -
                                 static_cast<int32_t>(sprite->getAnchor().x));
        cy += static_cast<float>(sprite->getHeight() / 2 -
                                 static_cast<int32_t>(sprite->getAnchor().y));
    }
    std::vector<int32_t> delays;
    for (int32_t j = 0; j < count; ++j) {
        delays.push_back(static_cast<int32_t>(int64_t{j} * explosion / count));
    }
    Random* random = Random::getInstance();
    for (int32_t i = 0; i < count; ++i) {
        RefHolder<Sprite> star(
            new Sprite(static_cast<int32_t>(cx), static_cast<int32_t>(cy), image));
        star->setAlpha(alpha);
        star->setVisible(false);
        star->setAnchor(Sprite::ANCHOR_CENTER);
        if (placement) {
            GameNode* after = node->getNextSibling();
            if (after) {
                GameNode::insertBefore(star.get(), after);
            } else {
                GameNode::appendChild(star.get(), node->getParent());
            }
        } else {
            GameNode::insertBefore(star.get(), node);
        }
        const float theta = static_cast<float>(i) * TWO_PI / static_cast<float>(count);
        const float a = static_cast<float>(radius) * std::sin(theta);
        const float b = static_cast<float>(radius) * std::cos(theta);
        const float k = i % 2 == 0 ? 0.9f : 0.6f;
        Polygon corners;
        corners.addPoint(cx, cy);
        corners.addPoint(cx + 0.5f * a - k * b, cy + k * a + 0.5f * b);
        corners.addPoint(cx + a, cy + b);
        std::vector<PointF> smooth = corners.build(0, 2, 10, false);
        // The sampling may stop a step short of the end; the burst ends on its circle.
        const PointF end{cx + a, cy + b};
        if (smooth.empty() || !(smooth.back() == end)) {
            smooth.push_back(end);
        }
        RefHolder<Polygon> path(new Polygon(std::move(smooth)));
        const auto pick = static_cast<size_t>(
            random ? random->nextInt(0, static_cast<int32_t>(delays.size())) : 0);
        const int32_t startDelay = delays[pick];
        delays.erase(delays.begin() + static_cast<std::ptrdiff_t>(pick));
        const int32_t frames = std::max(star->getFrameCount(), 1);
        const int32_t frameTime = duration / frames;
        // The delays hold back what follows them; the path and the frames run side by side.
        const auto blocking = [](Modifier* modifier) {
            modifier->setFlags(Modifier::FLAG_BLOCKING);
            return modifier;
        };
        GameNode::addModifier(star.get(), blocking(new ModifierDelay(extraDelay)));
        GameNode::addModifier(star.get(), blocking(new ModifierDelay(startDelay)));
        GameNode::addModifier(star.get(), new ModifierVisible(ModifierVisible::MODE_SHOW));
        GameNode::addModifier(
            star.get(), new ModifierLocationPolygonicPath(path.get(), 0, false, explosion, false));
        GameNode::addModifier(star.get(), blocking(new ModifierFrame(1, frameTime)));
        GameNode::addModifier(star.get(), blocking(new ModifierDelay(frameTime)));
        auto* fade = new ModifierAlpha(frameTime, alpha, 0);
        fade->setFlags(Modifier::FLAG_REMOVE_TARGET);
        GameNode::addModifier(star.get(), fade);
    }
}

namespace Effects {

int32_t bonusStar(BaseObject* sender) {
    GameNode* node = senderTarget(sender);
    if (node) {
        const int32_t t = node->getTag();
        RefHolder<Image> star = findLoaded<Image>("BONUS_STAR", "default");
        flyStarAlongPath(node, (2 * t + 1) * 4, star.get(), (2 * t + 1) * 12, 255, 0, true, 350);
    }
    return 0;
}

int32_t bonusBarStars(BaseObject* sender) {
    RefHolder<Image> star = findLoaded<Image>("BONUS_STAR", "default");
    flyStarAlongPath(senderTarget(sender), 20, star.get(), 100, 255, 0, false,
                     tuning().BONUS_ANIM_EXPLOSION_TIME);
    return 0;
}

int32_t floaterStars(BaseObject* sender) {
    RefHolder<Image> star = findLoaded<Image>("BONUS_STAR", "default");
    flyStarAlongPath(senderTarget(sender), 12, star.get(), 45, 255, 0, true, 300);
    return 0;
}

}  // namespace Effects

void stampSpriteAlpha(Dialog* dialog, Sprite* sprite) {
    Graphics* buffer = dialog ? dialog->getBufferGraphics() : nullptr;
    if (!buffer || !sprite || !sprite->getImage()) {
        return;
    }
    const int32_t x = sprite->getAbsoluteX() - dialog->getAbsoluteX() -
                      static_cast<int32_t>(sprite->getAnchor().x);
    const int32_t y = sprite->getAbsoluteY() - dialog->getAbsoluteY() -
                      static_cast<int32_t>(sprite->getAnchor().y);
    buffer->blitChannelMax(sprite->getImage(), Channel::ALPHA, x, y, 0, 0, sprite->getWidth(),
                           sprite->getHeight());
}

void addPopInModifiers(Sprite* sprite, Modifier* container, int32_t scaleTime, int32_t rotationTime,
                       float angle, Modifier* sound) {
    if (!sprite || !container) {
        return;
    }
    Modifier* step = attach(container, sprite, new ModifierVisible(ModifierVisible::MODE_SHOW));
    Modifier* scale = attach(step, sprite, new ModifierScale(0.0f, 1.0f, scaleTime));
    const float turns[6] = {0.0f, angle, -angle, angle, -angle, 0.0f};
    step = scale;
    for (int32_t i = 0; i < 5; ++i) {
        step = attach(step, sprite, new ModifierRotation(turns[i], turns[i + 1], rotationTime));
    }
    if (sound) {
        attach(scale, sprite, sound);
    }
}
