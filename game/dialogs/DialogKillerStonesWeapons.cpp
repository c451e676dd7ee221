// The arcade dialog's weapons: the ordinary shot with its cooldown and one queued click, the
// laser and frag shots, the bomb, and the power-ups.
#include <array>
#include <cmath>
#include <numbers>

#include "framework/core/NumberClamp.h"
#include "framework/core/PickUpTexts.h"
#include "framework/core/Random.h"
#include "framework/core/ScreenSize.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/platform/Sound.h"
#include "game/dialogs/DialogKillerStones.h"
#include "game/dialogs/DialogKillerStonesSupport.h"

namespace {

constexpr int32_t SPECIAL_SHOTS = 10;
constexpr int32_t RAPID_FIRE_TIME = 6000;
constexpr int32_t SHOT_FLIGHT = 800;
constexpr int32_t FRAG_FLIGHT = 1200;
constexpr int32_t LASER_STAND = 300;
constexpr int32_t LASER_TOP = 10;
constexpr int32_t LASER_STEP = 22;
constexpr int32_t LASER_END = 538;
constexpr int32_t SHIELD_TIME = 8000;
constexpr int32_t SHIELD_Y = 500;
constexpr int32_t SCORE_BONUS = 1000;
constexpr int32_t BOMB_STARS = 25;
constexpr float BOMB_REACH = 360.0f;
constexpr std::array<int32_t, PICK_UP_KIND_COUNT> POWER_UP_WEIGHTS{400, 250, 350, 150, 150, 100};

// A straight flight over `duration`, eased by `easing`.
Modifier* flight(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t duration,
                 EasingFunction easing) {
    auto* line = new ModifierLocationLine(x0, y0, x1, y1, duration, false);
    line->setEasing(easing);
    return line;
}

// A caption's way after it popped up: it waits, fades out and goes.
void waitAndFade(Label* label) {
    GameNode::addModifier(label, new ModifierDelay(500));
    killerstones::fadeOutAndGo(label, 500);
}

// A caption that flies to a corner, stays a while, blinks and goes.
void parkInCorner(Label* label, int32_t x, int32_t y, int32_t stay) {
    GameNode::addModifier(label, new ModifierDelay(1000));
    GameNode::addModifier(label, blocking(flight(400, 200, x, y, 500, &easeSmooth)));
    if (stay > 0) {
        GameNode::addModifier(label, new ModifierDelay(stay));
    }
    killerstones::blinkThreeTimes(label);
    killerstones::fadeOutAndGo(label, 100);
}

}  // namespace

Sprite* DialogKillerStones::createShot(int32_t x, int32_t y, bool registered) {
    RefHolder<Sprite> shot = new AdditiveSprite(x, y, shotPicture.get());
    if (GameNode* after = ship->getNextSibling()) {
        GameNode::insertBefore(shot.get(), after);
    } else {
        GameNode::appendChild(shot.get(), ship->getParent());
    }
    shot->setAnchor(Sprite::ANCHOR_CENTER);
    if (registered) {
        addObject(shot.get());
        shots.push_back(shot);
    }
    return shot.get();
}

void DialogKillerStones::fire() {
    if (fireCooldown > 0) {
        if (specialKind != SPECIAL_NONE) {
            return;
        }
        if (powerUp != POWER_UP_RAPID_FIRE) {
            shotQueued = true;
            return;
        }
    }
    const int32_t kind = specialKind;
    if (specialKind != SPECIAL_NONE && powerUp != POWER_UP_RAPID_FIRE && specialShotsLeft > 0) {
        --specialShotsLeft;
        updateBulletsLabel();
        if (specialShotsLeft <= 0) {
            specialKind = SPECIAL_NONE;
            GameNode::removeAllModifiers(bulletsLabel.get());
            GameNode::addModifier(
                bulletsLabel.get(),
                new ModifierAlpha(300, bulletsLabel->getAlpha(), killerstones::DIM_ALPHA));
            shakeLabel(bulletsLabel.get(), 10, 590);
        }
    }
    fireCooldown = cooldownProgression.getInt();

    GameNode::removeAllModifiers(ship.get());
    GameNode::addModifier(ship.get(), blocking(new ModifierScale(1.0f, 1.1f, fireCooldown / 2)));
    GameNode::addModifier(ship.get(), blocking(new ModifierScale(1.1f, 1.0f, fireCooldown / 2)));
    const int32_t x0 = ship->getX();
    const int32_t y0 = ship->getY() - ship->getHeight() / 2;

    Random& random = *Random::getInstance();
    for (int32_t k = 0; k < 3; ++k) {
        RefHolder<Sprite> spark =
            new AdditiveSprite(x0 + random.nextInt(-8, 8), y0 - 15 * k, sparkPicture.get());
        spark->setAnchor(Sprite::ANCHOR_CENTER);
        spark->setVisible(false);
        spark->setAlpha(220);
        if (GameNode* after = ship->getNextSibling()) {
            GameNode::insertBefore(spark.get(), after);
        } else {
            GameNode::appendChild(spark.get(), ship->getParent());
        }
        GameNode::addModifier(spark.get(), new ModifierDelay(60 * k));
        GameNode::addModifier(spark.get(), new ModifierVisible(ModifierVisible::MODE_SHOW));
        GameNode::addModifier(spark.get(), new ModifierDelay(40));
        killerstones::fadeOutAndGo(spark.get(), 30);
    }

    const int32_t pan = panAt(truncToInt32(shipX));
    Sprite* shot = nullptr;
    int32_t flightTime = SHOT_FLIGHT;
    if (kind == SPECIAL_LASER) {
        play(soundTileHover.get(), pan);
        for (int32_t y = LASER_TOP; y < LASER_END; y += LASER_STEP) {
            Sprite* segment = createShot(x0, y, true);
            GameNode::addModifier(segment, new ModifierDelay(LASER_STAND));
            GameNode::addModifier(
                segment, new ModifierFunction(callback<&DialogKillerStones::removeObject>(this)));
        }
        return;
    }
    shot = createShot(x0, y0 + 10, true);
    if (kind == SPECIAL_FRAG) {
        shot->setTag(SHOT_FRAG);
        flightTime = FRAG_FLIGHT;
        for (int32_t dx : {-10, 10}) {
            RefHolder<Sprite> part = new AdditiveSprite(dx, 15, shotPicture.get());
            part->setAnchor(Sprite::ANCHOR_CENTER);
            GameNode::appendChild(part.get(), shot);
        }
        play(soundTrophyArrives.get(), pan);
    } else {
        play(soundButton.get(), pan);
    }
    shot->setAlpha(0);
    GameNode::addModifier(shot, new ModifierBlink(40, 255, 60, 60, 60, 0, 0));
    GameNode::addModifier(shot, blocking(flight(x0, y0 + 10, x0 + random.nextInt(-40, 40),
                                                -shot->getHeight(), flightTime, &easeLinear)));
    GameNode::addModifier(shot,
                          new ModifierFunction(callback<&DialogKillerStones::removeObject>(this)));
}

void DialogKillerStones::fragBurst(int32_t tx, int32_t ty, int32_t pan, SpriteList& pieces) {
    play(soundTrophyArrives.get(), pan);
    Random& random = *Random::getInstance();
    const int32_t count = random.nextInt(8, 14);
    const float reach = static_cast<float>(random.nextInt(250, 400));
    // The draw's range is wider than 1, so the phase lies in [0, 1): kept as the burst looked.
    const float phase = random.nextFloat(0.0f, 2.0f * std::numbers::pi_v<float>);
    for (int32_t i = 0; i < count; ++i) {
        const float angle =
            static_cast<float>(i) * 2.0f * std::numbers::pi_v<float> / static_cast<float>(count) +
            phase;
        RefHolder<Sprite> piece = createShot(tx, ty, false);
        piece->setTag(SHOT_FRAG_PIECE);
        pieces.push_back(piece);
        GameNode::addModifier(piece.get(),
                              flight(tx, ty, tx + truncToInt32(std::sin(angle) * reach),
                                     ty + truncToInt32(std::cos(angle) * reach), 800, &easeOut));
        GameNode::addModifier(piece.get(), new ModifierDelay(600));
        GameNode::addModifier(piece.get(), blocking(new ModifierAlpha(400, 255, 0)));
        GameNode::addModifier(
            piece.get(), new ModifierFunction(callback<&DialogKillerStones::removeObject>(this)));
    }
}

void DialogKillerStones::throwBomb() {
    if (bombs <= 0) {
        GameNode::addModifier(bombsLabel.get(), new ModifierBlink(255, 0, 100, 0, 100, 0, 3));
        play("SOUND_TILE_BLOCKED", "game", killerstones::PAN_CENTRE);
        return;
    }
    --bombs;
    updateBombsLabel();
    GameNode::removeAllModifiers(bombsLabel.get());
    shakeLabel(bombsLabel.get(), 790, 590);
    play(soundElevatorDoorOpen.get(), panAt(ship->getX()));

    const int32_t sx = ship->getX();
    const int32_t sy = ship->getY();
    RefHolder<Image> starPicture = killerstones::takeResource<Image>("TROPHY_STAR", "default");
    for (int32_t i = 0; i < BOMB_STARS; ++i) {
        RefHolder<Sprite> star = new AdditiveSprite(sx, sy, starPicture.get());
        addObject(star.get());
        shots.push_back(star);
        GameNode::insertBefore(star.get(), ship.get());
        star->setAnchor(Sprite::ANCHOR_CENTER);
        star->setTag(SHOT_BOMB_STAR);
        const double a = i * std::numbers::pi * 0.04 + std::numbers::pi / 2;
        GameNode::addModifier(
            star.get(),
            flight(sx, sy, sx + truncToInt32(static_cast<float>(BOMB_REACH * std::sin(a))),
                   sy + truncToInt32(static_cast<float>(BOMB_REACH * std::cos(a))), 800, &easeOut));
        GameNode::addModifier(star.get(), new ModifierDelay(400));
        GameNode::addModifier(star.get(), blocking(new ModifierAlpha(400, star->getAlpha(), 0)));
        GameNode::addModifier(
            star.get(), new ModifierFunction(callback<&DialogKillerStones::removeObject>(this)));
    }
}

void DialogKillerStones::awardPowerUp() {
    Random& random = *Random::getInstance();
    int32_t drawn = POWER_UP_NONE;
    do {
        drawn = random.nextWeighted(POWER_UP_WEIGHTS.data(),
                                    static_cast<int32_t>(POWER_UP_WEIGHTS.size()));
    } while (drawn == previousPowerUp);
    grantPowerUp(drawn);
}

void DialogKillerStones::grantPowerUp(int32_t drawn) {
    if (drawn < 0 || drawn >= static_cast<int32_t>(POWER_UP_WEIGHTS.size())) {
        return;
    }
    play(soundStuck.get(), killerstones::PAN_CENTRE);
    powerUp = previousPowerUp = drawn;
    showHeader(L"Bonus:", true, -40, 0, 1000);
    Label* caption = showHeader(getPickUpText(drawn), false, 0, 0, 1000);

    switch (drawn) {
        case POWER_UP_RAPID_FIRE:
            rapidFireTimer = RAPID_FIRE_TIME;
            parkInCorner(caption, 730, 40, RAPID_FIRE_TIME - 2500);
            break;
        case POWER_UP_LASER:
        case POWER_UP_FRAG:
            waitAndFade(caption);
            specialKind = drawn == POWER_UP_LASER ? SPECIAL_LASER : SPECIAL_FRAG;
            specialShotsLeft = SPECIAL_SHOTS;
            updateBulletsLabel();
            GameNode::removeAllModifiers(bulletsLabel.get());
            GameNode::addModifier(bulletsLabel.get(),
                                  new ModifierAlpha(300, bulletsLabel->getAlpha(), 255));
            shakeLabel(bulletsLabel.get(), 10, 590);
            break;
        case POWER_UP_BOMB:
            waitAndFade(caption);
            ++bombs;
            updateBombsLabel();
            shakeLabel(bombsLabel.get(), 790, 590);
            break;
        case POWER_UP_SHIELD: {
            play(soundUseShuffle.get(), killerstones::PAN_CENTRE);
            waitAndFade(caption);
            RefHolder<Image> bar =
                killerstones::takeResource<Image>("HIGHSCORE_ANIM_BAR", "default");
            for (int32_t j = 0; j < 2; ++j) {
                Sprite* shield = createShot(0, SHIELD_Y, true);
                shield->setImage(bar.get());
                shield->setAnchor(Sprite::ANCHOR_CENTER);
                shield->setTag(SHOT_SHIELD);
                const int32_t w = shield->getWidth();
                shield->setX(j == 0 ? SCREEN_WIDTH - (w / 2 + 5) : w / 2 + 5);
                GameNode::addModifier(shield, new ModifierDelay(SHIELD_TIME));
                killerstones::blinkThreeTimes(shield);
                GameNode::addModifier(shield, blocking(new ModifierAlpha(400, 255, 0)));
                GameNode::addModifier(
                    shield,
                    new ModifierFunction(callback<&DialogKillerStones::removeObject>(this)));
            }
            break;
        }
        case POWER_UP_SCORE:
            score += SCORE_BONUS;
            updateScoreLabel();
            parkInCorner(caption, 70, 40, 0);
            break;
        default:
            break;
    }
}
