#include "game/dialogs/DialogKillerStones.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "framework/core/NumberClamp.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/Random.h"
#include "framework/core/ScreenSize.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Font.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/InputHandler.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/Sound.h"
#include "game/dialogs/DialogKillerStonesSupport.h"
#include "game/rules/TuningConstants.h"
#include "game/visuals/Effects.h"

QUOVEL_DEFINE_TYPE(DialogKillerStones, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogKillerStones)

namespace {

constexpr int32_t KEY_ESCAPE = 27;
constexpr uint32_t SECTION_POLL_MS = 20;
// The lift's and the hallway's few resources are taken alone: the rest of their pictures, which
// a room does not hold, are not loaded for them.
const char* const SECTIONS[] = {"default", "trophy", "game"};

constexpr int32_t FIRST_SPAWN_DELAY = 4500;
constexpr int32_t LEVEL_SPAWN_DELAY = 2000;
constexpr int32_t CLICK_WAIT = 1000;
constexpr int32_t SPAWN_MIN_X = 40;
constexpr int32_t SPAWN_MAX_X = 760;
constexpr int32_t SPAWN_MIN_DISTANCE = 100;
constexpr int32_t TILE_MARGIN = 10;
constexpr int32_t POINTS_TILE = 20;
constexpr int32_t POINTS_WEAVING_TILE = 50;
constexpr int32_t POINTS_SHIELD = -250;
constexpr int32_t POWER_UP_EVERY = 10;
constexpr float SHIP_TOP_SPEED = 4000.0f;
constexpr float SHIP_ACCELERATION = 8000.0f;
// The ship's lowest place: its centre stands half its height above this line, unless that
// would reach the status labels in the bottom corners.
constexpr int32_t SHIP_BASELINE = 625;
constexpr int32_t SPRITE_FADE_OUT = 200;

int32_t shotMargin(int32_t tag) {
    switch (tag) {
        case DialogKillerStones::SHOT_BOMB_STAR:
            return 10;
        case DialogKillerStones::SHOT_SHIELD:
            return 0;
        default:
            return 5;
    }
}

Rect inset(const Sprite& sprite, int32_t margin) {
    return Rect{sprite.getLeft() + margin, sprite.getTop() + margin, sprite.getWidth() - 2 * margin,
                sprite.getHeight() - 2 * margin};
}

bool overlaps(const Rect& a, const Rect& b) {
    return a.w > 0 && a.h > 0 && b.w > 0 && b.h > 0 && a.x + a.w > b.x && a.y + a.h > b.y &&
           a.x < b.x + b.w && a.y < b.y + b.h;
}

// Done with: marked for removal, or already purged from the tree.
bool gone(const Sprite* sprite) {
    return sprite->isRemoved() || !sprite->getParent();
}

}  // namespace

DialogKillerStones::DialogKillerStones(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    if (ResourceManager* resources = ResourceManager::getInstance()) {
        for (const char* section : SECTIONS) {
            resources->requestSectionLoad(section);
        }
        resources->waitForUrgentSections(SECTION_POLL_MS);
    }
    symbolSheet = killerstones::takeResource<Image>("SYMBOLS1", "manual");
    tilePicture = killerstones::takeResource<Image>("TILE", "default");
    shotPicture = killerstones::takeResource<Image>("HIGHSCORE_ANIM_LIGHT", "default");
    sparkPicture = killerstones::takeResource<Image>("STAR_FLASH", "hallway");

    setFadeInOnShow(false);
    setDarken(false);
    GameWindow* window = GameWindow::getInstance();
    const int32_t depth = window && window->getBytesPerPixel() > 0 ? window->getBytesPerPixel() : 4;
    RefHolder<Image> screen = Image::createImage(SCREEN_WIDTH, SCREEN_HEIGHT, depth);
    if (RefHolder<Graphics> graphics = screen ? screen->createGraphics() : nullptr) {
        graphics->setColor(0xFF000000);
        graphics->clear();
        graphics->fillChannel(Channel::ALPHA, 255);
    }
    setImage(screen.get());

    bigFont = killerstones::takeResource<Font>("FONT_GAMESCENE_BIG", "default");
    bombsLabel = statusLabel(790, 590, Sprite::ANCHOR_BOTTOM_RIGHT);
    updateBombsLabel();
    bulletsLabel = statusLabel(10, 590, Sprite::ANCHOR_BOTTOM_LEFT);
    bulletsLabel->setAlpha(killerstones::DIM_ALPHA);
    updateBulletsLabel();
    scoreLabel = statusLabel(10, 10, Sprite::ANCHOR_TOP_LEFT);
    updateScoreLabel();

    ship = new Sprite(0, 0, killerstones::takeResource<Image>("TROPHY_GOLD", "trophy").get());
    ship->setAnchor(Sprite::ANCHOR_CENTER);
    ship->setSmooth(true);
    // The ship passes over the corners: its picture stands above the status labels there.
    const int32_t labelsTop = std::min(bombsLabel->getTop(), bulletsLabel->getTop());
    const int32_t half = ship->getHeight() / 2;
    ship->setPosition(truncToInt32(shipX),
                      std::min(SHIP_BASELINE - half, labelsTop - (ship->getHeight() - half)));
    addChild(ship.get());

    if (ResourceManager* resources = ResourceManager::getInstance()) {
        resources->unloadSection("manual");
    }
    soundButton = killerstones::takeResource<Sound>("SOUND_BUTTON", "default");
    soundDialogShow = killerstones::takeResource<Sound>("SOUND_DIALOG_SHOW", "default");
    soundTrophyArrives = killerstones::takeResource<Sound>("SOUND_TROPHY_ARRIVES", "trophy");
    soundTileHover = killerstones::takeResource<Sound>("SOUND_TILE_HOVER", "game");
    soundStuck = killerstones::takeResource<Sound>("SOUND_STUCK", "game");
    soundUseShuffle = killerstones::takeResource<Sound>("SOUND_USE_SHUFFLE", "game");
    soundElevatorDoorOpen =
        killerstones::takeResource<Sound>("SOUND_ELEVATOR_DOOR_OPEN", "elevator");
}

DialogKillerStones::~DialogKillerStones() = default;

Label* DialogKillerStones::statusLabel(int32_t x, int32_t y, int32_t anchor) {
    auto* label = new Label(x, y, 0, 0, bigFont.get(), Label::WRAP_AUTOWIDTH);
    label->setAnchorType(anchor);
    addChild(label);
    return label;
}

void DialogKillerStones::show() {
    DialogQuovelMahjong::show();
    GameNode::addModifier(this, new ModifierSound("SOUND_LEVEL_START", "game", true));
    for (RefHolder<Label>& label : introLabels) {
        label->setRemoved(true);
    }
    introLabels = {showHeader(L"Welcome to", true, -88, 500, 3000),
                   showHeader(L"the invasion of", true, -64, 1000, 3000),
                   showHeader(L"THE MAHJONG TILES", true, -40, 1500, 3000)};
    showLevel(3500);
    spawnTimer = FIRST_SPAWN_DELAY;
    shipX = shipTargetX =
        shipPlace(static_cast<float>(static_cast<uint32_t>(InputHandler::getMouseX())));
}

void DialogKillerStones::update(int32_t elapsedMs) {
    DialogQuovelMahjong::update(elapsedMs);
    if (over || levelCleared) {
        waitForClick(elapsedMs);
        return;
    }
    SpriteList pieces;
    hitPass(pieces);
    for (const RefHolder<Sprite>& piece : pieces) {
        addObject(piece.get());
        shots.push_back(piece);
    }
    spawnTimer -= elapsedMs;
    if (spawnTimer <= 0) {
        spawnTile();
        spawnTimer = spawnProgression.getInt();
    }
    moveShip(elapsedMs);
    ship->setX(truncToInt32(shipX));
    if (rapidFireTimer > 0) {
        rapidFireTimer -= elapsedMs;
        if (rapidFireTimer <= 0) {
            powerUp = POWER_UP_NONE;
        }
    }
    if (fireCooldown > 0) {
        fireCooldown -= elapsedMs;
    }
    if (specialKind == SPECIAL_NONE && powerUp != POWER_UP_RAPID_FIRE && fireCooldown <= 0 &&
        shotQueued) {
        onFireButton(0, 0, 0, false);
        shotQueued = false;
    }
    if (hits >= (level + 1) * HITS_PER_LEVEL) {
        levelCleared = true;
        wait = CLICK_WAIT;
    }
}

void DialogKillerStones::waitForClick(int32_t elapsedMs) {
    clearShots(true);
    clearTiles(true);
    if (wait > 0) {
        wait -= elapsedMs;
        if (wait <= 0) {
            showContinueLabel();
        }
    }
}

float DialogKillerStones::shipPlace(float x) const {
    const auto half = static_cast<float>(ship->getWidth() / 2);
    return std::clamp(x, half, static_cast<float>(SCREEN_WIDTH - ship->getWidth()) + half);
}

void DialogKillerStones::moveShip(int32_t elapsedMs) {
    approachTarget(shipSpeed, shipX, elapsedMs, shipTargetX, SHIP_TOP_SPEED, SHIP_ACCELERATION,
                   SHIP_ACCELERATION, true);
}

Sprite* DialogKillerStones::spawnTile() {
    Random& random = *Random::getInstance();
    int32_t x = 0;
    do {
        x = random.nextInt(SPAWN_MIN_X, SPAWN_MAX_X);
    } while (std::abs(x - previousSpawnX) < SPAWN_MIN_DISTANCE);
    previousSpawnX = x;
    const int32_t suit = random.nextInt(0, 3);
    const int32_t value = random.nextInt(0, 9);

    RefHolder<Sprite> tile = new Sprite();
    addObject(tile.get());
    tiles.push_back(tile);
    // Under the status labels (the first of the dialog's own nodes): the corners' texts stay
    // readable while a tile falls past them.
    GameNode::insertBefore(tile.get(), bombsLabel.get());
    setDirty(true);
    if (tilePicture) {
        RefHolder<Image> picture = Image::copyImage(tilePicture.get());
        if (RefHolder<Graphics> graphics = picture ? picture->createGraphics() : nullptr;
            graphics && symbolSheet) {
            const int32_t w = tuning().TILE_FACE_WIDTH;
            const int32_t h = tuning().TILE_FACE_HEIGHT;
            graphics->blit(symbolSheet.get(), 0, 0, value * w, suit * (h + 1), w, h);
        }
        tile->setImage(picture.get());
    }
    tile->setAnchor(Sprite::ANCHOR_CENTER);
    tile->setPosition(x, -tile->getHeight() / 2);

    int32_t fall = fallProgression.getInt();
    if (random.nextInt(0, 1000) < weaveProgression.getInt()) {
        fall = truncToInt32(static_cast<float>(fall) * 1.75f);
        auto* wave = new ModifierLocationWave(x, 0);
        wave->setMoveY(false);
        wave->setRadius(100.0f, 30.0f, fall);
        const float turns = random.nextFloat(1.0f, 2.0f);
        wave->setAngle(0.0f, 2.0f * std::numbers::pi_v<float> * turns, fall);
        GameNode::addModifier(tile.get(), wave);
        tile->setTag(TILE_WEAVING);
    }
    auto* line = new ModifierLocationLine(tile->getX(), tile->getY(), tile->getX(), SCREEN_HEIGHT,
                                          fall, false);
    line->setMoveX(false);
    GameNode::addModifier(tile.get(), blocking(line));
    GameNode::addModifier(tile.get(),
                          new ModifierFunction(callback<&DialogKillerStones::gameOver>(this)));
    return tile.get();
}

void DialogKillerStones::hitPass(SpriteList& pieces) {
    for (size_t t = 0; t < tiles.size();) {
        RefHolder<Sprite> tile = tiles[t];
        if (gone(tile.get())) {
            tiles.erase(tiles.begin() + static_cast<std::ptrdiff_t>(t));
            continue;
        }
        const Rect tileRect = inset(*tile, TILE_MARGIN);
        bool hit = false;
        for (size_t s = 0; s < shots.size(); ++s) {
            RefHolder<Sprite> shot = shots[s];
            if (gone(shot.get())) {
                // As it always was: a spent shot ends this tile's scan for the frame.
                shots.erase(shots.begin() + static_cast<std::ptrdiff_t>(s));
                break;
            }
            if (!overlaps(inset(*shot, shotMargin(shot->getTag())), tileRect)) {
                continue;
            }
            scoreHit(tile.get(), shot.get(), pieces);
            shots.erase(shots.begin() + static_cast<std::ptrdiff_t>(s));
            tiles.erase(tiles.begin() + static_cast<std::ptrdiff_t>(t));
            hit = true;
            break;
        }
        if (!hit) {
            ++t;
        }
    }
}

void DialogKillerStones::scoreHit(Sprite* tile, Sprite* shot, SpriteList& pieces) {
    const int32_t tx = tile->getX();
    const int32_t ty = tile->getY();
    const int32_t pan = panAt(tx);
    Random& random = *Random::getInstance();
    play(soundDialogShow.get(), pan);
    play("SOUND_COMBO" + std::to_string(random.nextInt(0, 10) + 1), "game", pan);
    if (shot->getTag() == SHOT_FRAG) {
        fragBurst(tx, ty, pan, pieces);
    }
    GameNode::removeAllModifiers(tile);
    tile->setSmooth(true);
    auto* grow = new ModifierScale(1.0f, 1.2f, 200);
    grow->setEasing(&easeOut);
    GameNode::addModifier(tile, blocking(grow));
    auto* shrink = new ModifierScale(1.2f, 0.0f, 200);
    shrink->setEasing(&easeIn);
    shrink->setFlags(Modifier::FLAG_REMOVE_TARGET);
    GameNode::addModifier(tile, shrink);
    flyStarAlongPath(tile, 10, killerstones::takeResource<Image>("BONUS_STAR", "default").get(), 80,
                     255, 100, true, 200);
    shot->setRemoved(true);

    int32_t points = tile->getTag() == TILE_WEAVING ? POINTS_WEAVING_TILE : POINTS_TILE;
    int32_t factor = 1;
    if (shot->getTag() == SHOT_SHIELD) {
        points = POINTS_SHIELD;
    } else if (shot->getTag() == SHOT_FRAG_PIECE) {
        factor = 2;
    }
    score += factor * points;
    std::wstring text = std::to_wstring(points);
    if (factor > 1) {
        text += L"x" + std::to_wstring(factor);
    }
    floatLabel(text, true, tx, ty - 30, 0, 750,
               killerstones::takeResource<Font>("FONT_SCORE_FLOATER1", "default").get());
    updateScoreLabel();
    ++hits;
    if (hits % POWER_UP_EVERY == 0 && hits < (level + 1) * HITS_PER_LEVEL) {
        awardPowerUp();
    }
}

void DialogKillerStones::nextLevel() {
    cooldownProgression.advance();
    spawnProgression.advance();
    fallProgression.advance();
    weaveProgression.advance();
    bombs += 2;
    updateBombsLabel();
    ++level;
    spawnTimer = LEVEL_SPAWN_DELAY;
    fireCooldown = 0;
    shotQueued = false;
    previousSpawnX = 0;
    over = false;
    levelCleared = false;
    wait = 0;
    powerUp = POWER_UP_NONE;
    if (continueLabel) {
        GameNode::removeAllModifiers(continueLabel.get());
        killerstones::fadeOutAndGo(continueLabel.get(), 500);
        continueLabel.reset();
    }
    showLevel(0);
    play("SOUND_HALLWAY_CLEAR", "hallway", killerstones::PAN_CENTRE);
    purgeFinished();
}

int32_t DialogKillerStones::removeObject(BaseObject* sender) {
    auto* modifier = objectCast<Modifier>(sender);
    GameNode* target = modifier ? modifier->getTarget() : nullptr;
    if (!target) {
        return 0;
    }
    target->setRemoved(true);
    std::erase_if(shots, [target](const RefHolder<Sprite>& shot) { return shot.get() == target; });
    return 0;
}

void DialogKillerStones::addObject(Sprite* sprite) {
    objects.emplace_back(sprite);
}

void DialogKillerStones::purgeFinished() {
    std::erase_if(objects, [](const RefHolder<Sprite>& object) { return gone(object.get()); });
}

void DialogKillerStones::clearShots(bool fade) {
    clearList(shots, fade);
}

void DialogKillerStones::clearTiles(bool fade) {
    clearList(tiles, fade);
}

void DialogKillerStones::clearList(SpriteList& list, bool fade) {
    for (const RefHolder<Sprite>& sprite : list) {
        GameNode::removeAllModifiers(sprite.get());
        if (fade) {
            killerstones::fadeOutAndGo(sprite.get(), SPRITE_FADE_OUT);
        } else {
            sprite->setRemoved(true);
        }
    }
    list.clear();
}

bool DialogKillerStones::onKeyUp(int32_t key) {
    if (key == KEY_ESCAPE) {
        leave();
    }
    return false;
}

bool DialogKillerStones::onMouseMove(int32_t x, int32_t, int32_t) {
    if (!over && !levelCleared) {
        shipTargetX = shipPlace(static_cast<float>(x));
    }
    return false;
}

bool DialogKillerStones::onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) {
    return onFireButton(x, y, buttons, doubleClick);
}

bool DialogKillerStones::onRightButtonDown(int32_t x, int32_t y, int32_t buttons,
                                           bool doubleClick) {
    return onBombButton(x, y, buttons, doubleClick);
}

bool DialogKillerStones::onFireButton(int32_t, int32_t, int32_t, bool) {
    if (over) {
        if (wait <= 0) {
            leave();
        }
    } else if (levelCleared) {
        if (wait <= 0) {
            nextLevel();
        }
    } else {
        fire();
    }
    return false;
}

bool DialogKillerStones::onBombButton(int32_t, int32_t, int32_t, bool) {
    if (!over && !levelCleared) {
        throwBomb();
    }
    return false;
}

void DialogKillerStones::leave() {
    removeFromScene(nullptr);
}

int32_t DialogKillerStones::panAt(int32_t x) {
    return x * 128 / SCREEN_WIDTH + 64;
}

void DialogKillerStones::play(Sound* sound, int32_t pan) {
    if (sound) {
        sound->play(killerstones::FULL_VOLUME, pan, false);
    }
}

void DialogKillerStones::play(const std::string& key, const std::string& section, int32_t pan) {
    play(killerstones::takeResource<Sound>(key.c_str(), section.c_str()).get(), pan);
}
