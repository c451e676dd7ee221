#include "game/app/SceneSplash.h"

#include "framework/core/DefinitionKeys.h"
#include "framework/core/ModifierAppearance.h"
#include "framework/core/ModifierDelay.h"
#include "framework/core/ModifierFunction.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/SceneManager.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "framework/platform/JpegDecoder.h"
#include "framework/platform/MemoryBuffer.h"
#include "framework/platform/PngDecoder.h"
#include "framework/platform/ResourceManager.h"

QUOVEL_DEFINE_TYPE(SceneSplash, &Scene::typeRecord)
QUOVEL_REGISTER_CLASS(SceneSplash)

namespace {

constexpr int32_t SCREEN_WIDTH = 800;
constexpr int32_t SCREEN_HEIGHT = 600;
constexpr int32_t CURTAIN_DELAY_MS = 200;
// The splash pictures are read as loose files beside the program.
constexpr int LOOSE_FILES = 1;
constexpr int32_t ALPHA_CHANNEL = 3;

int32_t screenBytesPerPixel() {
    GameWindow* window = GameWindow::getInstance();
    const int32_t depth = window ? window->getBytesPerPixel() : 0;
    return depth == 2 || depth == 4 ? depth : 4;
}

}  // namespace

SceneSplash::SceneSplash(PropertyNode* definition) : Scene(definition) {}

SceneSplash::~SceneSplash() = default;

void SceneSplash::readBranding() {
    RefHolder<PropertyStore> store(new PropertyStore());
    if (!store->canLoad(brandingFile) || !store->loadFile(brandingFile)) {
        return;
    }
    fadeTime = intKeyOr(store.get(), "SPLASH_FADE_TIME", fadeTime);
    displayTime = intKeyOr(store.get(), "SPLASH_DISPLAY_TIME", displayTime);
}

void SceneSplash::loadResources() {
    Scene::loadResources();
    readBranding();
    // The game has no animated logo of its own: it counts as skipped, so the curtain covers the
    // screen at once and the pictures follow.
    logoDone = true;
    fadeToBlack(this, nullptr);
}

int32_t SceneSplash::fadeToBlack(void* target, BaseObject*) {
    auto* scene = static_cast<SceneSplash*>(target);
    RefHolder<Image> image(Image::createImage(SCREEN_WIDTH, SCREEN_HEIGHT, screenBytesPerPixel()));
    if (image) {
        if (RefHolder<Graphics> graphics(image->createGraphics()); graphics) {
            graphics->setColor(scene->getColor());
            graphics->fillRect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
            graphics->fillChannel(ALPHA_CHANNEL, 255);
        }
    }
    scene->curtain = new Sprite(0, 0, image.get());
    GameNode::appendChild(scene->curtain.get(), scene->getTree());
    if (scene->logoDone) {
        scene->curtain->setAlpha(255);
    } else {
        auto* fade = new ModifierAlpha(scene->fadeTime, 0, 255);
        fade->setFlags(Modifier::FLAG_BLOCKING);
        scene->curtain->setAlpha(0);
        GameNode::addModifier(scene->curtain.get(), fade);
        scene->logoDone = true;
    }
    GameNode::addModifier(scene->curtain.get(), new ModifierDelay(CURTAIN_DELAY_MS));
    GameNode::addModifier(scene->curtain.get(), new ModifierFunction(&showPicture, scene));
    return 0;
}

Image* SceneSplash::loadPicture(int32_t index) {
    const std::string name = picturePrefix + std::to_string(index);
    MemoryBuffer bytes;
    if (FileArchive::readFile(LOOSE_FILES, name + ".jpg", bytes)) {
        return decodeJpeg(name + ".jpg", bytes.getData(), bytes.getSize());
    }
    if (FileArchive::readFile(LOOSE_FILES, name + ".png", bytes)) {
        return loadPngMemory(bytes, 0);
    }
    return nullptr;
}

int32_t SceneSplash::showPicture(void* target, BaseObject* sender) {
    auto* scene = static_cast<SceneSplash*>(target);
    scene->readyToLeave = true;
    // The picture before this one ends here.
    if (auto* modifier = objectCast<Modifier>(sender); modifier && modifier->getTarget() &&
                                                       modifier->getTarget() != scene->curtain.get()) {
        modifier->getTarget()->setRemoved(true);
    }
    RefHolder<Image> picture(loadPicture(scene->pictureIndex));
    if (!picture) {
        return 0;
    }
    RefHolder<Sprite> sprite(new Sprite((SCREEN_WIDTH - picture->getWidth()) / 2,
                                        (SCREEN_HEIGHT - picture->getHeight()) / 2,
                                        picture.get()));
    sprite->setAlpha(0);
    auto blocking = [](Modifier* modifier) {
        modifier->setFlags(Modifier::FLAG_BLOCKING);
        return modifier;
    };
    GameNode::addModifier(sprite.get(), blocking(new ModifierAlpha(scene->fadeTime, 0, 255)));
    GameNode::addModifier(sprite.get(), new ModifierDelay(scene->displayTime));
    GameNode::addModifier(sprite.get(), blocking(new ModifierAlpha(scene->fadeTime, 255, 0)));
    GameNode::addModifier(sprite.get(), new ModifierFunction(&showPicture, scene));
    GameNode::appendChild(sprite.get(), scene->getTree());
    ++scene->pictureIndex;
    scene->readyToLeave = false;
    return 0;
}

void SceneSplash::update(int32_t elapsedMs) {
    Scene::update(elapsedMs);
    if (!readyToLeave) {
        return;
    }
    ResourceManager* resources = ResourceManager::getInstance();
    SceneManager* manager = SceneManager::getInstance();
    if (!manager || (resources && resources->requestSectionLoad("preloading"))) {
        return;
    }
    manager->setTransition("TRANSITION_SPLASH");
    manager->requestScene(manager->getScene("SCENE_LOAD"));
    readyToLeave = false;
}
