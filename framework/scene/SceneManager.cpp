#include "framework/scene/SceneManager.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PictureChanges.h"
#include "framework/core/ProblemLog.h"
#include "framework/gui/DialogHooks.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/gui/iToolTip.h"
#include "framework/os/ProcessHeap.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/SceneHooks.h"
#include "framework/scene/TransitionScene.h"

QUOVEL_DEFINE_TYPE(SceneManager, &Task::typeRecord)

namespace {

SceneManager* manager = nullptr;

GameNode* runningScene() {
    return manager ? manager->getRunningScene() : nullptr;
}

void quitRequest(GameNode* node) {
    Scene* scene = objectCast<Scene>(node);
    if (TransitionScene* transition = objectCast<TransitionScene>(scene)) {
        scene = transition->getTargetScene();
    }
    if (scene) {
        scene->onQuitRequest();
    }
}

iInputListener* listenerOf(Task* task) {
    return interfaceCast<iInputListener>(task);
}

iInputListener* sceneToolTipListener() {
    return manager ? manager->getToolTipListener() : nullptr;
}

void removeDialogFromScene(Dialog* dialog) {
    Scene* scene = manager ? manager->getCurrentScene() : nullptr;
    if (scene && scene->isDialogOpen(dialog->getName()) &&
        scene->findDialog(dialog->getName()) == dialog) {
        scene->closeDialog(dialog);
        // Dropped, so the next getDialog makes a fresh dialog rather than this closed one.
        scene->dropDialog(dialog->getName());
    }
}

// Moves the tooltip to the front of the container, in place of the previous one.
void replaceToolTip(iInputListenerContainer& container, iInputListener* old, iInputListener* tip) {
    if (old) {
        container.removeListener(old);
    }
    if (tip) {
        container.addListener(tip);
    }
}

}  // namespace

SceneManager* SceneManager::createInstance() {
    if (!manager) {
        manager = new SceneManager();
        manager->addRef();
        SceneHooks::currentScene.install(&runningScene);
        SceneHooks::quitRequest.install(&quitRequest);
        DialogHooks::toolTipListener.install(&sceneToolTipListener);
        DialogHooks::removeDialog.install(&removeDialogFromScene);
    }
    return manager;
}

SceneManager* SceneManager::getInstance() {
    return manager;
}

Scene* SceneManager::currentScene() {
    return manager ? manager->getCurrentScene() : nullptr;
}

void SceneManager::releaseInstance() {
    if (SceneManager* old = manager) {
        SceneHooks::currentScene.install(nullptr);
        SceneHooks::quitRequest.install(nullptr);
        DialogHooks::toolTipListener.install(nullptr);
        DialogHooks::removeDialog.install(nullptr);
        manager = nullptr;
        old->release();
    }
}

SceneManager::~SceneManager() {
    requested.reset();
    transition.reset();
    previous.reset();
    current.reset();
    scenes.clear();
    toolTip.reset();
}

void SceneManager::addScene(const std::string& name, Scene* scene) {
    if (!scene) {
        return;
    }
    scene->setName(name);
    scenes[name] = scene;
    lookForRemoved = true;  // it may have been marked removed before
}

Scene* SceneManager::getScene(const std::string& name) const {
    const auto found = scenes.find(name);
    return found == scenes.end() ? nullptr : found->second.get();
}

Scene* SceneManager::createScene(const std::string& name) {
    PropertyNode* definition =
        GuiDefinitions::instance()->findScene(name, "SceneManager::createScene");
    RefHolder<BaseObject> made = ObjectFactoryContainer::instance()->createObject(definition);
    Scene* scene = objectCast<Scene>(made.get());
    addScene(name, scene);
    return scene;
}

void SceneManager::setTransition(const std::string& name) {
    PropertyNode* definition = GuiDefinitions::instance()->findScene(
        name, name.empty() ? nullptr : "SceneManager::setTransition");
    RefHolder<BaseObject> made = ObjectFactoryContainer::instance()->createObject(definition);
    transition = objectCast<TransitionScene>(made.get());
}

void SceneManager::goToScene(const std::string& name, const std::string& transitionName,
                             QueuedSections queued) {
    Scene* scene = getScene(name);
    if (!scene) {
        reportMistake("SceneManager::goToScene: no scene \"" + name +
                      "\" was made (createScene); nothing changes");
        return;
    }
    if (ResourceManager* resources = ResourceManager::getInstance()) {
        if (queued == QueuedSections::DROP) {
            resources->clearQueue();
        }
        resources->requestSectionLoad(scene->getSection());
    }
    setTransition(transitionName);
    requestScene(scene);
}

Scene* SceneManager::getCurrentScene() const {
    if (TransitionScene* running = objectCast<TransitionScene>(current.get())) {
        return running->getTargetScene();
    }
    return current.get();
}

iInputListener* SceneManager::getToolTipListener() const {
    return listenerOf(toolTip.get());
}

void SceneManager::setToolTip(Task* newToolTip) {
    if (newToolTip == toolTip.get()) {
        return;
    }
    if (auto* tip = interfaceCast<iToolTip>(newToolTip)) {
        Scene* owner = requested ? requested.get() : current.get();
        tip->setRoot(owner ? owner->getTree() : nullptr);
    }
    iInputListener* old = listenerOf(toolTip.get());
    iInputListener* tip = listenerOf(newToolTip);
    for (const auto& [name, scene] : scenes) {
        replaceToolTip(scene->getComponentsContainer(), old, tip);
        for (const auto& [key, dialog] : scene->getDialogTable()) {
            replaceToolTip(dialog->getComponentsContainer(), old, tip);
        }
    }
    toolTip = newToolTip;
}

void SceneManager::update(int32_t elapsedMs) {
    if (lookForRemoved || removalMarksSeen != Scene::getRemovalMarks()) {
        removalMarksSeen = Scene::getRemovalMarks();
        lookForRemoved = false;
        std::erase_if(scenes, [this](const auto& entry) {
            if (!entry.second->isRemoved()) {
                return false;
            }
            if (entry.second->getState() == Scene::STATE_CURRENT) {
                lookForRemoved = true;  // goes once it is no longer current
                return false;
            }
            return true;
        });
    }
    if (requested && requested == current) {
        // Switching to itself would retire the running scene a frame later and leave the
        // game without input; the transition set for that change goes with it.
        requested.reset();
        transition.reset();
    }
    if (!current) {
        if (!requested) {
            return;
        }
        switchScene();
    } else if (requested) {
        switchScene();
        return;
    } else if (previous && previous->getState() == Scene::STATE_CURRENT) {
        previous->getComponentsContainer().cancelInput();
        previous->hide();
        previous->setState(Scene::STATE_LOADED);
        releaseLeftBehind(*previous);
    }
    const RefHolder<Scene> scene = current;
    scene->getInputHandler()->update(elapsedMs);
    scene->update(elapsedMs);
    scene->getMoveTask()->update(elapsedMs);
    scene->getRenderTask()->update(elapsedMs);
    if (toolTip) {
        toolTip->update(elapsedMs);
    }
    scene->getPurgeTask()->update(elapsedMs);
}

void SceneManager::releaseLeftBehind(const Scene& left) {
    const std::string section = left.getLeftSection();
    Scene* next = getCurrentScene();
    // Every way into a scene requests its section again before the scene shows.
    if (!section.empty() && (!next || next->getLeftSection() != section)) {
        if (ResourceManager* resources = ResourceManager::getInstance()) {
            resources->releaseUnheldPictures(section);
        }
    }
    processHeap::returnFreePages();
}

void SceneManager::switchScene() {
    const RefHolder<Scene> old = current;
    const bool leavingTransition = old && old == transition;
    RefHolder<Scene> next;
    if (transition && transition != current) {
        static_cast<TransitionScene*>(transition.get())->setScenes(old.get(), requested.get());
        next = transition;
    } else {
        next = requested;
        transition.reset();
    }
    previous = old;
    current = next;
    requested.reset();
    PictureChanges::mark();
    if (!leavingTransition) {
        current->show();
    }
    current->setState(Scene::STATE_CURRENT);
}
