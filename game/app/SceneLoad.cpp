#include "game/app/SceneLoad.h"

#include <algorithm>
#include <cmath>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/Random.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/Image.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/SoundStream.h"
#include "framework/platform/iInputListener.h"
#include "framework/scene/SceneManager.h"
#include "game/app/QuovelMahjongMain.h"
#include "game/rules/GameSound.h"
#include "game/visuals/GameModifiers.h"

QUOVEL_DEFINE_TYPE(SceneLoad, &SceneQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(SceneLoad)

namespace {

constexpr uint32_t LOADING_SLEEP_MS = 100;
constexpr int32_t CURSOR_ARROW = 2;
constexpr int32_t CURSOR_HAND = 3;
constexpr int32_t SHINE_MS = 1000;
// The pause between shines adds a draw below this to the shine's own length.
constexpr int32_t SHINE_SPREAD_MS = 3000;

int32_t shineCountdownMs = 0;

void setCursorKind(int32_t kind) {
    if (GameWindow* window = GameWindow::getInstance()) {
        window->setCursorKind(kind);
    }
}

}  // namespace

SceneLoad::SceneLoad(PropertyNode* definition) : SceneQuovelMahjong(definition) {}

SceneLoad::~SceneLoad() = default;

void SceneLoad::startMusic() {
    SoundManager* sound = SoundManager::getInstance();
    if (!sound || !SoundManager::isSoundAvailable()) {
        return;
    }
    RefHolder<SoundStream> music = findLoaded<SoundStream>("MUSIC_QUOVEL", "music");
    if (music && music.get() != sound->getCurrentStream()) {
        sound->stopMusic();
        sound->startStream(music.get(), nullptr, SoundManager::RESTART_STREAM_MODE);
    }
}

void SceneLoad::addPartners() {
    RefHolder<PropertyStore> store(new PropertyStore());
    if (!store->canLoad(PARTNERS_FILE) || !store->loadFile(PARTNERS_FILE)) {
        return;
    }
    PropertyVector* partners = vectorOrDummy(store->getChild("partners"));
    for (int32_t index = 0; index < partners->getChildCount(); ++index) {
        RefHolder<BaseObject> made(
            ObjectFactoryContainer::instance()->createObject(partners->getChildAt(index)));
        GameNode* node = objectCast<GameNode>(made.get());
        if (!node) {
            continue;
        }
        addChild(node);
        // Partner buttons take input before the scene's other widgets.
        if (auto* listener = interfaceCast<iInputListener>(node)) {
            getComponentsContainer().removeListener(listener);
            getComponentsContainer().addListener(listener);
        }
    }
}

void SceneLoad::loadResources() {
    Scene::loadResources();
    startMusic();
    if (ResourceManager* resources = ResourceManager::getInstance()) {
        resources->removeSection("splash", false);
    }
    if (SceneManager* manager = SceneManager::getInstance()) {
        if (Scene* splash = manager->getScene("SCENE_SPLASH")) {
            splash->setRemoved(true);
        }
    }
    addPartners();
    loadingText = findChild("LOADING_TEXT");
    clickText = findChild("CLICK_TEXT");
    progressBar = objectCast<Sprite>(findChild("PROGRESS_BAR"));
    backgroundLogo = findChild("BACKGROUND_LOGO");
    logo = findChild("LOGO");
    setBarFraction(0.0);
    connect<&SceneLoad::onClickText>("CLICK_TEXT", this, &getComponentsContainer());
    if (backgroundLogo) {
        GameNode::addModifier(backgroundLogo.get(),
                              new ModifierBlink(255, 0, 500, 0, 500, 500, -1));
    }
}

void SceneLoad::setBarFraction(double fraction) {
    if (!progressBar) {
        return;
    }
    const double clamped = std::clamp(fraction, 0.0, 1.0);
    const auto width = static_cast<int32_t>(clamped * progressBar->getWidth());
    progressBar->setClipRect(
        Rect{progressBar->getLeft(), progressBar->getTop(), width, progressBar->getHeight()});
}

double SceneLoad::barFraction(double start, double progress) {
    return start >= 1.0 ? 1.0 : (progress - start) / (1.0 - start);
}

void SceneLoad::resetShineCountdown() {
    shineCountdownMs = 0;
}

void SceneLoad::animateShine(int32_t elapsedMs) {
    if (!complete) {
        return;
    }
    shineCountdownMs -= elapsedMs;
    if (shineCountdownMs > 0) {
        return;
    }
    RefHolder<Image> light = findLoaded<Image>("SHINE", "default");
    if (light && logo) {
        GameNode::addModifier(logo.get(), new ModifierShine(light.get(), SHINE_MS));
    }
    Random* random = Random::getInstance();
    shineCountdownMs = SHINE_MS + (random ? random->nextInt(0, SHINE_SPREAD_MS) : 0);
}

void SceneLoad::update(int32_t elapsedMs) {
    SceneQuovelMahjong::update(elapsedMs);
    animateShine(elapsedMs);
    if (!complete) {
        ResourceManager* resources = ResourceManager::getInstance();
        if (!resources || resources->urgentSectionsLoaded()) {
            completeLoading();
        } else {
            QuovelMahjongMain::sleep(LOADING_SLEEP_MS);
            const double progress = resources->getLoadProgress();
            if (startProgress < 0.0) {
                startProgress = progress;
            }
            setBarFraction(barFraction(startProgress, progress));
        }
    }
    if (complete && clickPending) {
        clickPending = false;
        onLeftButtonUp(0, 0, 0);
    }
}

void SceneLoad::completeLoading() {
    complete = true;
    playSectionSound("SOUND_LOADING_COMPLETE", "default");
    setCursorKind(CURSOR_HAND);
    setBarFraction(1.0);
    if (loadingText) {
        loadingText->setVisible(false);
    }
    if (clickText) {
        clickText->setVisible(true);
        GameNode::addModifier(clickText.get(), new ModifierBlink(255, 128, 300, 0, 600, 300, -1));
    }
}

bool SceneLoad::onLeftButtonUp(int32_t, int32_t, int32_t) {
    if (!complete) {
        clickPending = true;
        return false;
    }
    SceneManager* manager = SceneManager::getInstance();
    if (!manager) {
        return false;
    }
    playSectionSound("SOUND_BUTTON", "default");
    setCursorKind(CURSOR_ARROW);
    manager->goToScene("SCENE_LOBBY", "TRANSITION_DEFAULT", SceneManager::QueuedSections::KEEP);
    return false;
}

int32_t SceneLoad::onClickText(BaseObject*) {
    onLeftButtonUp(0, 0, 0);
    return 0;
}
