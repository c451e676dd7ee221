#include "game/dialogs/DialogQuovelMahjong.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/ScreenSize.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/Graphics.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"
#include "framework/scene/TransitionScene.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/GameDialogHost.h"

QUOVEL_DEFINE_TYPE(DialogQuovelMahjong, &Dialog::typeRecord, &iGuiMethod::typeRecord)
QUOVEL_REGISTER_CLASS(DialogQuovelMahjong)

namespace {

const char* const SOUND_SECTION = "default";

}  // namespace

DialogQuovelMahjong::DialogQuovelMahjong(PropertyNode* definition) : Dialog(definition) {
    if (definition) {
        if (AbstractProperty* value = nodeOrDummy(definition)->getChild("dodarkenbackground")) {
            darken = value->getBool();
        }
    }
}

DialogQuovelMahjong::~DialogQuovelMahjong() {
    // A scene released with its dialogs still open never hid them.
    if (GameDialogHost* host = GameDialogHost::get()) {
        host->forgetDialog(this);
    }
}

void* DialogQuovelMahjong::castTo(const TypeRecord* type) {
    if (type == &iGuiMethod::typeRecord) {
        return static_cast<iGuiMethod*>(this);
    }
    return Dialog::castTo(type);
}

void DialogQuovelMahjong::show() {
    Dialog::show();
    closing = false;
    GameDialogHost* host = GameDialogHost::get();
    Scene* gameScene = host ? host->getGameScene() : nullptr;
    // Over the game screen while it runs, is the target of the running transition, or is asked
    // for and not yet begun: the scene change comes a frame later.
    SceneManager* manager = SceneManager::getInstance();
    const bool gameAhead = gameScene && (targetScene() == gameScene ||
                                         (manager && manager->getRequestedScene() == gameScene));
    const bool overGame = gameAhead && (!getParent() || getParent() == gameScene->getTree());
    if (pausesGame && overGame) {
        host->onDialogOpened(this);
    }
    if (playSounds) {
        addSound("SOUND_DIALOG_SHOW");
    }
    if (darken) {
        darkenBackground();
    }
    if (fadeInOnShow) {
        fadeIn();
    }
}

void DialogQuovelMahjong::hide() {
    if (GameDialogHost* host = GameDialogHost::get()) {
        host->onDialogClosed(this);
    }
    Dialog::hide();
}

void DialogQuovelMahjong::addSound(const char* key) {
    GameNode::addModifier(this, new ModifierSound(key, SOUND_SECTION, false));
}

void DialogQuovelMahjong::freezeForFade() {
    if (!isBuffered()) {
        setBuffered(true);
    }
    getComponentsContainer().setActive(false);
    iInputListener::setActive(false);
}

void DialogQuovelMahjong::fadeIn() {
    freezeForFade();
    setAlpha(0);
    GameNode::addModifier(this, blocking(new ModifierAlpha(tuning().DIALOG_FADE_TIME, 0, OPAQUE)));
    GameNode::addModifier(
        this, new ModifierFunction(callback<&DialogQuovelMahjong::resetButtonsOf>(this)));
}

void DialogQuovelMahjong::resetButtons() {
    if (isBuffered()) {
        setBuffered(false);
    }
    getComponentsContainer().setActive(true);
    iInputListener::setActive(true);
}

void DialogQuovelMahjong::close() {
    if (closing) {
        return;
    }
    closing = true;
    freezeForFade();
    if (playSounds) {
        addSound("SOUND_DIALOG_HIDE");
    }
    GameNode::addModifier(this,
                          blocking(new ModifierAlpha(tuning().DIALOG_FADE_TIME, getAlpha(), 0)));
    GameNode::addModifier(this, new ModifierFunction(callback<&Dialog::removeFromScene>(this)));
    if (hasCallback()) {
        GameNode::addModifier(this, new ModifierFunction(getBound()));
    }
}

void DialogQuovelMahjong::darkenBackground() {
    // A dialog shown again is a backdrop already, its components where its first show put
    // them: making the backdrop again would take the whole screen for the dialog's own picture
    // and move the components to the backdrop's corner.
    if (darkened) {
        paintDecoration();
        return;
    }
    darkened = true;
    updateBackground();
    setMovable(false);
    decoration = getBackgroundImage();
    if (getPainter()) {
        setPainter(nullptr);
        setRepaint(true);
        setDirty(true);
        setSize(getRequestedWidth(), getRequestedHeight());
    }
    GameNode* components = getComponents();
    components->setX(getX());
    components->setY(getY());
    setPosition(0, 0);
    GameWindow* window = GameWindow::getInstance();
    const int32_t depth = window && window->getBytesPerPixel() > 0 ? window->getBytesPerPixel() : 4;
    RefHolder<Image> backdrop = Image::createImage(SCREEN_WIDTH, SCREEN_HEIGHT, depth);
    setBackgroundImage(backdrop.get());
    setRepaint(true);
    setDirty(true);
    paintDecoration();
}

void DialogQuovelMahjong::paintDecoration() {
    Image* backdrop = getBackgroundImage();
    RefHolder<Graphics> graphics = backdrop ? backdrop->createGraphics() : nullptr;
    if (!graphics) {
        return;
    }
    graphics->setColor(0xFF000000);
    graphics->clear();
    graphics->fillChannel(Channel::ALPHA, tuning().DIALOG_BACKGROUND_ALPHA);
    if (decoration) {
        const int32_t x = getComponents()->getX();
        const int32_t y = getComponents()->getY();
        graphics->blitWhole(decoration.get(), x, y);
        graphics->blitChannelMaxWhole(decoration.get(), Channel::ALPHA, x, y);
    }
    setImage(backdrop);
}

int32_t DialogQuovelMahjong::resetButtonsOf(BaseObject*) {
    resetButtons();
    return 0;
}

int32_t DialogQuovelMahjong::closeAsOwnTarget(BaseObject*) {
    setCallback(this, getCallback());
    close();
    return 0;
}

Scene* DialogQuovelMahjong::targetScene() {
    SceneManager* manager = SceneManager::getInstance();
    Scene* scene = manager ? manager->getCurrentScene() : nullptr;
    if (auto* transition = objectCast<TransitionScene>(scene)) {
        scene = transition->getTargetScene();
    }
    return scene;
}

Dialog* DialogQuovelMahjong::openOnTargetScene(const std::string& key) {
    Scene* scene = targetScene();
    Dialog* dialog = scene ? scene->getDialog(key) : nullptr;
    if (dialog) {
        scene->openDialog(dialog);
    }
    return dialog;
}
