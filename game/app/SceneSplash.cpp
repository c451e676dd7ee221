#include "game/app/SceneSplash.h"

#include "framework/core/DefinitionKeys.h"
#include "framework/core/ModifierContainer.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/ScreenSize.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "framework/platform/JpegDecoder.h"
#include "framework/platform/MemoryBuffer.h"
#include "framework/platform/PngDecoder.h"
#include "framework/platform/ResourceManager.h"
#include "framework/scene/SceneManager.h"
#include "game/app/ThresholdSprite.h"
#include "game/rules/GameSound.h"

QUOVEL_DEFINE_TYPE(SceneSplash, &Scene::typeRecord)
QUOVEL_REGISTER_CLASS(SceneSplash)

namespace {

constexpr int32_t CURTAIN_DELAY_MS = 200;
// The splash pictures are read as loose files beside the program.
constexpr int LOOSE_FILES = 1;

// The logo: the badge's centre and the scale its white disc grows to; the word mark's place
// relative to the badge, and the registered sign's relative to the word mark.
constexpr const char* LOGO_SECTION = "splash";
constexpr int32_t BADGE_X = 320;
constexpr int32_t BADGE_Y = 280;
constexpr float BADGE_SCALE = 0.68f;
constexpr int32_t WORD_X = 170;
constexpr int32_t WORD_Y = -25;
constexpr int32_t SIGN_X = 90;
constexpr int32_t SIGN_Y = -30;
// The logo's timeline, in milliseconds.
constexpr int32_t LOGO_START_DELAY = 1000;
constexpr int32_t BADGE_GROW_TIME = 300;
constexpr int32_t BADGE_PAUSE = 200;
constexpr int32_t WIPE_TIME = 500;
constexpr int32_t OVERLAY_WIPE_TIME = 200;
constexpr int32_t POP_TIME = 1;
constexpr int32_t BEAM_SHRINK_TIME = 300;
constexpr int32_t LOGO_HOLD_TIME = 2000;
constexpr int32_t FULL_ALPHA = 255;

RefHolder<Image> logoImage(const char* key) {
    return findLoaded<Image>(key, LOGO_SECTION);
}

// A layer centred on its position.
template <class Layer>
Layer* centred(Layer* layer) {
    layer->setAnchor(Sprite::ANCHOR_CENTER);
    return layer;
}

ThresholdSprite* wipedLayer(int32_t x, int32_t y, const char* image, const char* mask) {
    auto* layer = centred(new ThresholdSprite(x, y));
    layer->setImage(logoImage(image).get());
    layer->setMask(logoImage(mask).get());
    return layer;
}

Sprite* hiddenLayer(int32_t x, int32_t y, const char* image) {
    auto* layer = centred(new Sprite(x, y, logoImage(image).get()));
    layer->setAlpha(0);
    return layer;
}

// Hangs `modifier`, acting on `target`, behind `previous`: it starts when `previous` has ended.
Modifier* then(Modifier* previous, GameNode* target, Modifier* modifier) {
    modifier->setTarget(target);
    return ModifierContainer::addModifier(previous, modifier);
}

Modifier* appear(Modifier* previous, Sprite* layer) {
    return then(previous, layer, new ModifierAlpha(POP_TIME, 0, FULL_ALPHA));
}

// The layer shrinks away and leaves the tree with its modifier.
Modifier* shrinkAway(Modifier* previous, Sprite* layer) {
    auto* shrink = new ModifierScale(1.0f, 0.0f, BEAM_SHRINK_TIME);
    shrink->setFlags(Modifier::FLAG_REMOVE_TARGET);
    return then(previous, layer, shrink);
}

}  // namespace

SceneSplash::SceneSplash(PropertyNode* definition) : Scene(definition) {}

SceneSplash::~SceneSplash() = default;

bool SceneSplash::readBranding() {
    RefHolder<PropertyStore> store(new PropertyStore());
    if (!store->canLoad(BRANDING_FILE) || !store->loadFile(BRANDING_FILE)) {
        return true;
    }
    fadeTime = intKeyOr(store.get(), "SPLASH_FADE_TIME", fadeTime);
    displayTime = intKeyOr(store.get(), "SPLASH_DISPLAY_TIME", displayTime);
    return boolKeyOr(store.get(), "SHOW_BRASTEL_ANIMATION", true);
}

void SceneSplash::loadResources() {
    Scene::loadResources();
    if (readBranding()) {
        startLogo();
    } else {
        logoDone = true;
        fadeToBlack(nullptr);
    }
}

void SceneSplash::render(Graphics* graphics) {
    if (graphics) {
        graphics->setColor(getColor());
        graphics->fillRect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    }
    Scene::render(graphics);
}

void SceneSplash::startLogo() {
    // Layers placed before a sibling are drawn beneath it.
    auto* circle = centred(new Sprite(BADGE_X, BADGE_Y, logoImage("WHITE_CIRCLE").get()));
    circle->setScale(0.0f);
    circle->setSmooth(true);
    GameNode::appendChild(circle, getComponents());
    ThresholdSprite* inside = wipedLayer(1, 1, "B_INSIDE", "B_INSIDE_MASK");
    GameNode::appendChild(inside, circle);
    ThresholdSprite* border = wipedLayer(1, 1, "BORDER_BLACK", "BORDER_BLACK_MASK");
    GameNode::appendChild(border, circle);
    ThresholdSprite* green = wipedLayer(1, 1, "B_GREEN", "B_GREEN_MASK");
    GameNode::insertBefore(green, inside);
    ThresholdSprite* overlay = wipedLayer(1, 1, "B_GREEN_OVERLAY", "B_CIRCLE_BLACK_MASK");
    GameNode::insertBefore(overlay, green);
    ThresholdSprite* ring = wipedLayer(0, 1, "WHITE_CIRCLE", "BORDER_WHITE_MASK");
    GameNode::insertBefore(ring, overlay);
    Sprite* blackCircle = hiddenLayer(1, 1, "B_CIRCLE_BLACK");
    GameNode::insertBefore(blackCircle, ring);
    Sprite* beam = hiddenLayer(1, 1, "BEAMER");
    beam->setSmooth(true);
    GameNode::insertBefore(beam, ring);
    ThresholdSprite* word = wipedLayer(WORD_X, WORD_Y, "BRASTEL", "BRASTEL_MASK");
    GameNode::appendChild(word, circle);
    Sprite* sign = hiddenLayer(SIGN_X, SIGN_Y, "R");
    GameNode::appendChild(sign, word);
    Sprite* smallBeam = hiddenLayer(SIGN_X, SIGN_Y, "BEAMER_SMALL");
    smallBeam->setSmooth(true);
    GameNode::appendChild(smallBeam, word);

    // One chain: each step starts when the one before it has ended.
    Modifier* step = then(getAnimTree(), nullptr, new ModifierDelay(LOGO_START_DELAY));
    step = then(step, nullptr, new ModifierFunction(callback<&SceneSplash::playSplashSound>(this)));
    step = then(step, circle,
                new ModifierRotationScale(0.0f, 0.0f, 0.0f, BADGE_SCALE, BADGE_GROW_TIME));
    step = then(step, nullptr, new ModifierDelay(BADGE_PAUSE));
    step = then(step, inside, new ModifierTreshold(WIPE_TIME));
    step = then(step, border, new ModifierTreshold(WIPE_TIME));
    step = then(step, green, new ModifierTreshold(WIPE_TIME));
    step = then(step, overlay, new ModifierTreshold(OVERLAY_WIPE_TIME));
    step = then(step, ring, new ModifierTreshold(WIPE_TIME));
    step = appear(step, blackCircle);
    step = appear(step, beam);
    step = shrinkAway(step, beam);
    step = then(step, word, new ModifierTreshold(WIPE_TIME));
    step = appear(step, smallBeam);
    step = appear(step, sign);
    step = then(step, nullptr, new ModifierFunction(callback<&SceneSplash::playLogoSound>(this)));
    step = shrinkAway(step, smallBeam);
    step = then(step, nullptr, new ModifierDelay(LOGO_HOLD_TIME));
    then(step, nullptr, new ModifierFunction(callback<&SceneSplash::fadeToBlack>(this)));
}

int32_t SceneSplash::playSplashSound(BaseObject*) {
    playSectionSound("SOUND_BRASTEL_SPLASH", LOGO_SECTION);
    return 0;
}

int32_t SceneSplash::playLogoSound(BaseObject*) {
    playSectionSound("SOUND_BRASTEL", LOGO_SECTION);
    return 0;
}

int32_t SceneSplash::fadeToBlack(BaseObject*) {
    RefHolder<Image> image(Image::createImage(SCREEN_WIDTH, SCREEN_HEIGHT, windowPixelBytes()));
    if (image) {
        if (RefHolder<Graphics> graphics(image->createGraphics()); graphics) {
            graphics->setColor(getColor());
            graphics->fillRect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
            graphics->fillChannel(Channel::ALPHA, FULL_ALPHA);
        }
    }
    curtain = new Sprite(0, 0, image.get());
    GameNode::appendChild(curtain.get(), getTree());
    if (logoDone) {
        curtain->setAlpha(255);
    } else {
        auto* fade = new ModifierAlpha(fadeTime, 0, 255);
        fade->setFlags(Modifier::FLAG_BLOCKING);
        curtain->setAlpha(0);
        GameNode::addModifier(curtain.get(), fade);
        logoDone = true;
    }
    GameNode::addModifier(curtain.get(), new ModifierDelay(CURTAIN_DELAY_MS));
    GameNode::addModifier(curtain.get(),
                          new ModifierFunction(callback<&SceneSplash::showPicture>(this)));
    return 0;
}

Image* SceneSplash::loadPicture(int32_t index) {
    const std::string name = PICTURE_PREFIX + std::to_string(index);
    MemoryBuffer bytes;
    if (FileArchive::readFile(LOOSE_FILES, name + ".jpg", bytes)) {
        return decodeJpeg(name + ".jpg", bytes.getData(), bytes.getSize());
    }
    if (FileArchive::readFile(LOOSE_FILES, name + ".png", bytes)) {
        return loadPngMemory(bytes, 0);
    }
    return nullptr;
}

int32_t SceneSplash::showPicture(BaseObject* sender) {
    readyToLeave = true;
    // The picture before this one ends here.
    if (auto* modifier = objectCast<Modifier>(sender);
        modifier && modifier->getTarget() && modifier->getTarget() != curtain.get()) {
        modifier->getTarget()->setRemoved(true);
    }
    RefHolder<Image> picture(loadPicture(pictureIndex));
    if (!picture) {
        return 0;
    }
    RefHolder<Sprite> sprite(new Sprite((SCREEN_WIDTH - picture->getWidth()) / 2,
                                        (SCREEN_HEIGHT - picture->getHeight()) / 2, picture.get()));
    sprite->setAlpha(0);
    auto blocking = [](Modifier* modifier) {
        modifier->setFlags(Modifier::FLAG_BLOCKING);
        return modifier;
    };
    GameNode::addModifier(sprite.get(), blocking(new ModifierAlpha(fadeTime, 0, 255)));
    GameNode::addModifier(sprite.get(), new ModifierDelay(displayTime));
    GameNode::addModifier(sprite.get(), blocking(new ModifierAlpha(fadeTime, 255, 0)));
    GameNode::addModifier(sprite.get(),
                          new ModifierFunction(callback<&SceneSplash::showPicture>(this)));
    GameNode::appendChild(sprite.get(), getTree());
    ++pictureIndex;
    readyToLeave = false;
    return 0;
}

void SceneSplash::update(int32_t elapsedMs) {
    Scene::update(elapsedMs);
    if (!readyToLeave) {
        return;
    }
    ResourceManager* resources = ResourceManager::getInstance();
    SceneManager* manager = SceneManager::getInstance();
    // The load scene shows once its own section is in.
    Scene* load = manager ? manager->getScene("SCENE_LOAD") : nullptr;
    if (!manager || (resources && load && resources->requestSectionLoad(load->getSection()))) {
        return;
    }
    manager->goToScene("SCENE_LOAD", "TRANSITION_SPLASH", SceneManager::QueuedSections::KEEP);
    readyToLeave = false;
}
