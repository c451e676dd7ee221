#include "game/visuals/GameModifiers.h"

#include <cmath>

#include "framework/core/Random.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "game/visuals/ImageEffects.h"

QUOVEL_DEFINE_TYPE(ModifierGravity, &ModifierLocation::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierShake, &Modifier::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierShine, &ModifierFraction::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierHighScoreBar, &ModifierFraction::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierSetImage, &Modifier::typeRecord)

namespace {

// Velocity units per millisecond.
constexpr float GRAVITY_UNIT = 0.02f;

// Takes `drag` off the size of `speed`, stopping at 0.
float towardZero(float speed, float drag) {
    if (speed > 0.0f) {
        return std::max(speed - drag, 0.0f);
    }
    if (speed < 0.0f) {
        return std::min(speed + drag, 0.0f);
    }
    return 0.0f;
}

}  // namespace

void ModifierGravity::update(int32_t elapsedMs) {
    step(elapsedMs);
    const float units = static_cast<float>(elapsedMs) * GRAVITY_UNIT;
    GameNode* node = getTarget();
    if (moveX) {
        vx = towardZero(vx + gx * units, fx * units);
        currentX += vx * units;
        if (node) {
            node->setX(static_cast<int32_t>(std::lround(currentX)));
        }
    }
    if (moveY) {
        vy = towardZero(vy + gy * units, fy * units);
        currentY += vy * units;
        if (node) {
            node->setY(static_cast<int32_t>(std::lround(currentY)));
        }
    }
}

ModifierShake::ModifierShake(int32_t amplitudeX, int32_t amplitudeY, int32_t durationMs,
                             bool positiveOnly, int32_t leastInterval, int32_t greatestInterval)
    : amplitudeX(amplitudeX),
      amplitudeY(amplitudeY),
      remaining(durationMs),
      countdown(draw(leastInterval, greatestInterval)),
      leastInterval(leastInterval),
      greatestInterval(greatestInterval),
      positiveOnly(positiveOnly) {}

int32_t ModifierShake::draw(int32_t lo, int32_t hi) {
    Random* random = Random::getInstance();
    // An empty range would divide by zero in the generator.
    if (hi <= lo || !random) {
        return lo;
    }
    return random->nextInt(lo, hi);
}

void ModifierShake::setTarget(GameNode* node) {
    Modifier::setTarget(node);
    if (node) {
        restX = node->getX();
        restY = node->getY();
    }
}

void ModifierShake::update(int32_t elapsedMs) {
    remaining -= elapsedMs;
    countdown -= elapsedMs;
    GameNode* node = getTarget();
    if (remaining <= 0) {
        if (node) {
            node->setPosition(restX, restY);
        }
        finish();
        return;
    }
    if (countdown > 0) {
        return;
    }
    int32_t ox = 0;
    int32_t oy = 0;
    if (positiveOnly) {
        ox = draw(0, 2 * amplitudeX);
        oy = draw(0, 2 * amplitudeY);
    } else {
        ox = draw(-amplitudeX, amplitudeX);
        oy = draw(-amplitudeY, amplitudeY);
    }
    if (node) {
        node->setPosition(restX + ox, restY + oy);
    }
    countdown = draw(leastInterval, greatestInterval);
}

ModifierShine::ModifierShine(Image* shine, Image* mask, int32_t durationMs)
    : ModifierFraction(durationMs), shine(shine), mask(mask) {}

ModifierShine::ModifierShine(Image* shine, int32_t durationMs)
    : ModifierShine(shine, nullptr, durationMs) {}

void ModifierShine::shineThreeTimes(GameNode* node, Image* shine, Image* mask) {
    constexpr int32_t STEP_MS = 500;
    constexpr int32_t SWEEPS = 3;
    GameNode::removeAllModifiers(node);
    GameNode::addModifier(node, new ModifierDelay(STEP_MS));
    for (int32_t sweep = 0; sweep < SWEEPS; ++sweep) {
        GameNode::addModifier(node, new ModifierDelay(STEP_MS));
        Modifier* sweepModifier =
            GameNode::addModifier(node, new ModifierShine(shine, mask, STEP_MS));
        sweepModifier->setFlags(sweepModifier->getFlags() | Modifier::FLAG_BLOCKING);
    }
}

ModifierShine::~ModifierShine() = default;

void ModifierShine::update(int32_t elapsedMs) {
    if (!owner) {
        owner = objectCast<Sprite>(getTarget());
        if (!owner) {
            finish();
            return;
        }
        plain = owner->getImage();
        plainWidth = plain ? plain->getWidth() : 0;
    }
    step(elapsedMs);
    if (isFinished() || !shine || !plain) {
        return;
    }
    const int32_t shineWidth = shine->getWidth();
    const int32_t offset =
        static_cast<int32_t>(static_cast<float>(shineWidth + plainWidth) * getFraction()) -
        shineWidth;
    if (offset != lastOffset) {
        lastOffset = offset;
        compose(offset);
    }
}

void ModifierShine::compose(int32_t offset) {
    // One canvas for the whole sweep: each step puts the plain picture back where the light
    // lay before, so that only the light's strip is drawn again.
    const bool fresh = !canvas;
    if (fresh) {
        canvas = Image::copyImage(plain.get());
        plainCopied = plain->getChangeCount();
        if (!canvas) {
            return;
        }
    }
    if (owner->getImage() != canvas.get()) {
        const int32_t frame = owner->getFrame();
        owner->setImage(canvas.get());
        owner->setFrame(frame);
    }
    RefHolder<Graphics> graphics(canvas->createGraphics());
    if (!graphics) {
        return;
    }
    const int32_t frame = owner->getFrame();
    const int32_t frames = std::max(canvas->getFrameCount(), 1);
    const int32_t frameHeight = canvas->getHeight() / frames;
    const int32_t frameTop = frame * frameHeight;
    const int32_t shineY = frameTop + (frameHeight - shine->getHeight()) / 2;
    if (mask) {
        if (!fresh) {
            graphics->copyRectWhole(plain.get(), 0, 0);
        }
        graphics->setBlendMode(BlendMode::ADDITIVE);
        RefHolder<Image> work(
            Image::createImage(mask->getWidth(), mask->getHeight(), canvas->getBytesPerPixel()));
        RefHolder<Graphics> workGraphics(work ? work->createGraphics() : nullptr);
        if (!workGraphics) {
            return;
        }
        clearToTransparentWhite(*workGraphics);
        const int32_t y = (mask->getHeight() - shine->getHeight()) / 2;
        workGraphics->copyRectWhole(shine.get(), offset, y);
        workGraphics->blitChannelMinWhole(mask.get(), Channel::ALPHA, 0, 0);
        graphics->blitWhole(work.get(), 0, 0);
    } else if (additive) {
        const uint64_t before = canvas->getChangeCount();
        const Rect wasLit{litX, litY, shine->getWidth(), shine->getHeight()};
        if (!fresh) {
            graphics->copyRect(plain.get(), litX, litY, litX, litY, shine->getWidth(),
                               shine->getHeight());
        }
        graphics->setBlendMode(BlendMode::ADDITIVE);
        graphics->blitWhole(shine.get(), offset, shineY);
        litX = offset;
        litY = shineY;
        // The light adds to the colour alone, and the plain picture, as it was copied, puts
        // back what it was.
        if (!fresh && plain->getChangeCount() == plainCopied) {
            const Rect lit{litX, litY, shine->getWidth(), shine->getHeight()};
            canvas->noteChangesSince(before, uniteRects(wasLit, lit));
        }
    } else {
        graphics->setBlendMode(BlendMode::ADDITIVE);
        clearToTransparentWhite(*graphics);
        graphics->blitChannelWhole(shine.get(), Channel::ALPHA, offset, shineY);
        graphics->blitChannelMinWhole(plain.get(), Channel::ALPHA, 0, 0);
    }
    owner->setDirty(true);
}

void ModifierShine::finish() {
    ModifierFraction::finish();
    if (owner) {
        const int32_t frame = owner->getFrame();
        owner->setImage(additive ? plain.get() : nullptr);
        owner->setFrame(frame);
    }
    canvas = nullptr;
}

ModifierHighScoreBar::ModifierHighScoreBar(int32_t durationMs, GameNode* parent, Image* barArt,
                                           Image* light)
    : ModifierFraction(durationMs), lightImage(light), barImage(barArt) {
    if (!barImage) {
        barImage = findLoaded<Image>("HIGHSCORE_ANIM_BAR", "default");
    }
    if (!lightImage) {
        lightImage = findLoaded<Image>("HIGHSCORE_ANIM_LIGHT", "default");
    }
    bar = new Sprite(8, 0, barImage.get());
    if (parent) {
        GameNode::appendChild(bar.get(), parent);
    }
    buildLights();
}

ModifierHighScoreBar::~ModifierHighScoreBar() {
    bar->setRemoved(true);
}

void ModifierHighScoreBar::buildLights() {
    GameNode::releaseChildren(bar.get());
    const auto anchorX = static_cast<int32_t>(bar->getAnchor().x);
    const auto anchorY = static_cast<int32_t>(bar->getAnchor().y);
    for (int32_t index = 0; index < lightCount; ++index) {
        RefHolder<Sprite> light(new AdditiveSprite(0, 0, lightImage.get()));
        GameNode::appendChild(light.get(), bar.get());
        light->setPosition(firstLightX + index * lightPitch - anchorX, lightY - anchorY);
    }
}

void ModifierHighScoreBar::update(int32_t elapsedMs) {
    step(elapsedMs);
    if (!bar->getParent() && getTarget()) {
        GameNode::appendChild(bar.get(), getTarget());
    }
    const int32_t top = bar->getAlpha() * brightness / 255;
    const int32_t period = spacing * lightCount / speedDivisor;
    int32_t index = 0;
    for (GameNode* child = bar->getFirstChild(); child; child = child->getNextSibling(), ++index) {
        Sprite* light = objectCast<Sprite>(child);
        if (!light) {
            continue;
        }
        const int32_t p = ((lightCount - index) * spacing + getElapsed()) % period;
        int32_t alpha = 0;
        if (p < rise) {
            alpha = p * top / fall;
        } else if (p < rise + hold) {
            alpha = top;
        } else if (p < rise + hold + fall) {
            alpha = (rise + hold + fall - p) * top / fall;
        }
        light->setAlpha(alpha);
    }
}

ModifierSetImage::ModifierSetImage(Image* image) : image(image) {}

ModifierSetImage::~ModifierSetImage() = default;

void ModifierSetImage::update(int32_t) {
    if (Sprite* sprite = objectCast<Sprite>(getTarget())) {
        sprite->setImage(image.get());
    }
    finish();
}
