#include "framework/scene/FullScreenHandler.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/gui/Button.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/os/Messages.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/IGameSettings.h"
#include "framework/platform/SettingsManager.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/TimedTaskManager.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"

QUOVEL_DEFINE_TYPE(FullScreenHandler, &GameNode::typeRecord, &WindowMessageListener::typeRecord)
QUOVEL_REGISTER_CLASS(FullScreenHandler)

namespace {

RefHolder<FullScreenHandler> theInstance;

bool inFullScreen() {
    GameWindow* window = GameWindow::getInstance();
    return window && window->isFullScreen();
}

}  // namespace

FullScreenHandler::FullScreenHandler(PropertyNode* definition)
    : GameNode(definition), inputHandler(new InputHandler()) {
    // Hidden buttons take no clicks: the container waits for the lobby (or a transition)
    // to turn it on once the frame is enabled.
    buttons.setActive(false);
    inputHandler->addListener(&buttons);
    if (MessageHandler* messages = GameWindow::instanceMessages()) {
        messages->addListener(this);
        messages->addListener(inputHandler.get());
    }
    if (TimedTaskManager* tasks = TimedTaskManager::getInstance()) {
        tasks->addTask(inputHandler.get());
    }
    PropertyNode* node = nodeOrDummy(definition);
    GameWindow* window = GameWindow::getInstance();
    int32_t placedWidth = 0;
    quitButton = makeButton(node, "button_quit", placedWidth);
    if (window && window->canRunWindowed()) {
        restoreButton = makeButton(node, "button_restore", placedWidth);
    }
    minimiseButton = makeButton(node, "button_minimize", placedWidth);
    for (const auto& [button, action] :
         {std::pair{quitButton.get(), callback<&FullScreenHandler::onQuit>(this)},
          std::pair{restoreButton.get(), callback<&FullScreenHandler::onRestore>(this)},
          std::pair{minimiseButton.get(), callback<&FullScreenHandler::onMinimise>(this)}}) {
        if (button) {
            button->setCallback(action);
        }
    }
}

FullScreenHandler::~FullScreenHandler() {
    if (FullScreenFrame::get() == this) {
        FullScreenFrame::install(nullptr);
    }
    if (MessageHandler* messages = GameWindow::instanceMessages()) {
        messages->removeListener(this);
        messages->removeListener(inputHandler.get());
    }
    if (TimedTaskManager* tasks = TimedTaskManager::getInstance()) {
        tasks->removeTask(inputHandler.get());
    }
    inputHandler->removeListener(&buttons);
    for (Button* button : {quitButton.get(), restoreButton.get(), minimiseButton.get()}) {
        if (button) {
            buttons.removeListener(button);
        }
    }
}

Button* FullScreenHandler::makeButton(PropertyNode* node, const std::string& name,
                                      int32_t& placedWidth) {
    RefHolder<BaseObject> made =
        ObjectFactoryContainer::instance()->createObject(node->getChild(name));
    auto* button = objectCast<Button>(made.get());
    if (!button) {
        return nullptr;
    }
    auto* listener = interfaceCast<iInputListener>(button);
    buttons.removeListener(listener);
    buttons.addListener(listener);
    GameNode::appendChild(button, this);
    placedWidth += button->getWidth();
    button->setX(-placedWidth);
    return button;
}

FullScreenHandler* FullScreenHandler::createSetup(const std::string& setupName) {
    GuiDefinitions* definitions = GuiDefinitions::instance();
    RefHolder<BaseObject> made =
        ObjectFactoryContainer::instance()->createObject(definitions->findTemplate(setupName));
    releaseInstance();
    theInstance = objectCast<FullScreenHandler>(made.get());
    FullScreenFrame::install(theInstance.get());
    return theInstance.get();
}

FullScreenHandler* FullScreenHandler::getInstance() {
    return theInstance.get();
}

void FullScreenHandler::releaseInstance() {
    if (theInstance) {
        GameNode::detach(theInstance.get());
        theInstance->release();  // the reference detach handed over, or added when unattached
    }
    theInstance.reset();
}

void FullScreenHandler::attachToScene(Scene* scene) {
    setVisible(enabled && inFullScreen());
    if (!scene) {
        SceneManager* manager = SceneManager::getInstance();
        scene = manager ? manager->getCurrentScene() : nullptr;
    }
    if (scene) {
        GameNode::appendChild(this, scene->getTree());
    }
}

void FullScreenHandler::setFrameInputActive(bool active) {
    buttons.setActive(active && enabled);
}

void FullScreenHandler::onWindowMessage(uint32_t message, uint32_t wParam, uint32_t) {
    switch (message) {
        case MSG_FULLSCREEN_CHANGED:
            if (SettingsManager* settings = SettingsManager::instance()) {
                settings->getSettings()->setFullscreen(wParam > 0);
                settings->saveToRegistry();
            }
            attachToScene(nullptr);
            setFrameInputActive(inFullScreen());
            break;
        case MSG_DEACTIVATED:
            if (SoundManager* sound = SoundManager::getInstance();
                sound && SoundManager::isSoundAvailable()) {
                sound->setFocusLost(true);
            }
            break;
        case MSG_ACTIVATED:
            if (SoundManager* sound = SoundManager::getInstance();
                sound && SoundManager::isSoundAvailable()) {
                sound->setFocusLost(false);
            }
            break;
        default:
            break;
    }
}

int32_t FullScreenHandler::onQuit(BaseObject*) {
    SceneManager* manager = SceneManager::getInstance();
    if (Scene* scene = manager ? manager->getCurrentScene() : nullptr) {
        scene->onQuitRequest();
    }
    return 0;
}

int32_t FullScreenHandler::onRestore(BaseObject*) {
    if (GameWindow* window = GameWindow::getInstance()) {
        window->toggleFullScreen();
    }
    return 0;
}

int32_t FullScreenHandler::onMinimise(BaseObject*) {
    if (GameWindow* window = GameWindow::getInstance()) {
        window->minimise();
    }
    return 0;
}
