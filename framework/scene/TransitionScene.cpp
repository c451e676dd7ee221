#include "framework/scene/TransitionScene.h"

#include <chrono>
#include <thread>

#include "framework/core/DefinitionKeys.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/gui/iText.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/ResourceManager.h"
#include "framework/scene/FullScreenFrame.h"
#include "framework/scene/SceneManager.h"

QUOVEL_DEFINE_TYPE(TransitionScene, &Scene::typeRecord)
QUOVEL_DEFINE_TYPE(AlphaTransitionScene, &TransitionScene::typeRecord)
QUOVEL_DEFINE_TYPE(FadeBlackTransitionScene, &TransitionScene::typeRecord)
QUOVEL_REGISTER_CLASS_AS(AlphaTransition, AlphaTransitionScene)
QUOVEL_REGISTER_CLASS_AS(FadeBlackTransition, FadeBlackTransitionScene)

namespace {

bool resourceLoaderBusy() {
    ResourceManager* manager = ResourceManager::getInstance();
    return manager && !manager->urgentSectionsLoaded();
}

// A whole-window image in the window's depth (empty without a window).
Image* windowImage() {
    GameWindow* window = GameWindow::getInstance();
    if (!window) {
        return Image::createImage(0, 0, 4);
    }
    const int32_t depth = window->getBytesPerPixel() > 0 ? window->getBytesPerPixel() : 4;
    return Image::createImage(window->getWidth(), window->getHeight(), depth);
}

// Appends a blocking fade and a call after it to the sprite's running modifiers.
void fadeThenCall(Sprite* sprite, int32_t time, int32_t from, int32_t to,
                  const iGuiMethod::Bound& then) {
    Modifier* fade = new ModifierAlpha(time, from, to);
    fade->setFlags(fade->getFlags() | Modifier::FLAG_BLOCKING);
    GameNode::addModifier(sprite, fade);
    GameNode::addModifier(sprite, new ModifierFunction(then));
}

}  // namespace

TransitionScene::TransitionScene(PropertyNode* definition) : Scene(definition) {}

void TransitionScene::setScenes(Scene* from, Scene* target) {
    fromScene = from;
    targetScene = target;
}

void TransitionScene::prepareTarget() {
    if (targetScene) {
        targetScene->show();
        targetScene->getComponentsContainer().setActive(false);
    }
}

void TransitionScene::finish() {
    if (!targetScene) {
        return;
    }
    if (SceneManager* manager = SceneManager::getInstance()) {
        manager->requestScene(targetScene);
    }
    if (activateTargetInput) {
        targetScene->getComponentsContainer().setActive(true);
    }
}

void TransitionScene::show() {
    if (fromScene) {
        fromScene->getComponentsContainer().setActive(false);
    }
    Scene::show();
}

void TransitionScene::hide() {
    Scene::hide();
    for (GameNode* child = getTree()->getFirstChild(); child; child = child->getNextSibling()) {
        if (auto* sprite = objectCast<Sprite>(child)) {
            sprite->setImage(nullptr);
        }
    }
}

bool TransitionScene::isLoaderBusy() {
    return loaderProbe.isInstalled() ? loaderProbe() : resourceLoaderBusy();
}

int32_t TransitionScene::finishTransition(BaseObject*) {
    finish();
    return 0;
}

void TransitionScene::takeSnapshot(Sprite* snapshot, Scene* scene) {
    Image* image = snapshot ? snapshot->getImage() : nullptr;
    if (!image || !scene) {
        return;
    }
    RefHolder<Graphics> graphics = image->createGraphics();
    if (!graphics) {
        return;
    }
    if (scene->isVisible()) {
        static_cast<IRenderable*>(scene)->render(graphics.get());
    }
    scene->getRenderTask()->renderTree(graphics.get());
}

Sprite* TransitionScene::makeSnapshot() {
    RefHolder<Image> image = windowImage();
    auto* sprite = new Sprite(0, 0, image.get());
    GameNode::appendChild(sprite, getTree());
    return sprite;
}

void TransitionScene::waitForLoader() {
    GameWindow* window = GameWindow::getInstance();
    for (int32_t waited = 0; waited < LOADER_WAIT_LIMIT_MS && isLoaderBusy();
         waited += LOADER_WAIT_STEP_MS) {
        if (window) {
            window->waitServicingSystem(LOADER_WAIT_STEP_MS);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(LOADER_WAIT_STEP_MS));
        }
    }
}

void TransitionScene::moveFrameToTarget() {
    if (FullScreenFrame* frame = FullScreenFrame::get()) {
        frame->setFrameInputActive(false);
        frame->attachToScene(targetScene);
    }
}

void TransitionScene::restoreFrame() {
    if (FullScreenFrame* frame = FullScreenFrame::get()) {
        GameWindow* window = GameWindow::getInstance();
        frame->setFrameInputActive(window && window->isFullScreen());
        frame->attachToScene(targetScene);
    }
}

AlphaTransitionScene::AlphaTransitionScene(PropertyNode* definition) : TransitionScene(definition) {
    time = intKeyOr(definition, "time", time);
    wait = boolKeyOr(definition, "wait", wait);
    snapshotA = makeSnapshot();
    snapshotB = makeSnapshot();
}

void AlphaTransitionScene::show() {
    TransitionScene::show();
    if (wait) {
        waitForLoader();
    }
    prepareTarget();
    snapshotB->setAlpha(0);
    fadeThenCall(snapshotB.get(), time, 0, 255, callback<&TransitionScene::finishTransition>(this));
    takeSnapshot(snapshotA.get(), getFromScene());
    moveFrameToTarget();
    takeSnapshot(snapshotB.get(), getTargetScene());
}

void AlphaTransitionScene::finish() {
    TransitionScene::finish();
    restoreFrame();
}

FadeBlackTransitionScene::FadeBlackTransitionScene(PropertyNode* definition)
    : TransitionScene(definition) {
    time = intKeyOr(definition, "time", time);
    wait = boolKeyOr(definition, "wait", wait);
    showDelay = intKeyOr(definition, "showdelay", showDelay);
    showTime = intKeyOr(definition, "showtime", showTime);
    RefHolder<Image> plain = windowImage();
    if (RefHolder<Graphics> graphics = plain->createGraphics()) {
        graphics->setColor(getColor());
        graphics->clear();
    }
    setBackgroundImage(plain.get());
    snapshotA = makeSnapshot();
    snapshotB = makeSnapshot();
}

void FadeBlackTransitionScene::show() {
    TransitionScene::show();
    snapshotA->setAlpha(255);
    snapshotB->setVisible(false);
    fadeThenCall(snapshotA.get(), time, 255, 0,
                 callback<&FadeBlackTransitionScene::startWaiting>(this));
    takeSnapshot(snapshotA.get(), getFromScene());
    // Only some transitions have a loading label.
    if (Sprite* label = objectCast<Sprite>(searchChild("LOADING_LABEL"))) {
        loadingLabel = label;
        label->setAlpha(0);
        if (auto* text = interfaceCast<iText>(label)) {
            baseText = text->getText();
        }
        GameNode::insertBefore(label, snapshotB.get());
    }
}

int32_t FadeBlackTransitionScene::startWaiting(BaseObject*) {
    phase = PHASE_WAIT;
    return 0;
}

void FadeBlackTransitionScene::setLabelText(const std::wstring& value) {
    if (auto* text = interfaceCast<iText>(loadingLabel.get())) {
        text->setText(value);
    }
}

void FadeBlackTransitionScene::update(int32_t elapsedMs) {
    if (phase != PHASE_WAIT) {
        return;
    }
    if (loadingLabel) {
        if (showDelay >= 0) {
            showDelay -= elapsedMs;
            if (showDelay < 0) {
                GameNode::addModifier(loadingLabel.get(),
                                      new ModifierAlpha(LABEL_APPEAR_MS, 0, 255));
                setLabelText(baseText);
            }
        }
        if (showDelay < 0) {
            dotClock = (dotClock + elapsedMs) % (4 * DOT_STEP_MS);
            showTime -= elapsedMs;
            setLabelText(baseText +
                         std::wstring(static_cast<size_t>(dotClock / DOT_STEP_MS), L'.'));
        }
    }
    waited += elapsedMs;
    // A section that never finishes must not hold the game: after the limit it goes on with
    // what is loaded.
    const bool loaded = !wait || waited >= LOADER_WAIT_LIMIT_MS || !isLoaderBusy();
    if (loaded && (!loadingLabel || showDelay >= 0 || showTime < 1)) {
        phase = PHASE_FADE_IN;
        fadeIn();
    }
}

void FadeBlackTransitionScene::fadeIn() {
    prepareTarget();
    moveFrameToTarget();
    takeSnapshot(snapshotB.get(), getTargetScene());
    snapshotA->setVisible(false);
    snapshotB->setVisible(true);
    snapshotB->setAlpha(0);
    fadeThenCall(snapshotB.get(), time, 0, 255, callback<&TransitionScene::finishTransition>(this));
    if (loadingLabel) {
        GameNode::addModifier(loadingLabel.get(),
                              new ModifierAlpha(time, loadingLabel->getAlpha(), 0));
    }
}

void FadeBlackTransitionScene::finish() {
    TransitionScene::finish();
    restoreFrame();
}
