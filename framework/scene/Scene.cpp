#include "framework/scene/Scene.h"

#include <algorithm>

#include "framework/core/DefinitionKeys.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/gui/iToolTip.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/GameWindow.h"
#include "framework/scene/FullScreenFrame.h"
#include "framework/scene/SceneManager.h"

QUOVEL_DEFINE_TYPE(Scene, &Dialog::typeRecord)

Scene::Scene(PropertyNode* definition) : Dialog(definition) {
    tree = new GameTree();
    GameNode::appendChild(getComponents(), tree.get());
    renderTask = new RenderTask(tree.get());
    inputHandler = new InputHandler();
    inputHandler->addListener(&getComponentsContainer());
    animTree = new AnimTree();
    moveTask = new MoveTask(tree.get(), animTree.get());
    purgeTask = new PurgeTask(tree.get(), animTree.get());
    if (definition) {
        PropertyNode* node = nodeOrDummy(definition);
        setName(node->getName());
        if (AbstractProperty* list = node->getChild("scenecomponents")) {
            sceneComponents = vectorOrDummy(list);
        }
    }
}

void Scene::setRemoved(bool value) {
    if (value) {
        ++removalMarks;
    }
    Dialog::setRemoved(value);
}

Scene::~Scene() {
    stopListening();
    inputHandler.reset();
    moveTask.reset();
    renderTask.reset();
    purgeTask.reset();
    sceneComponents.reset();
    tree.reset();
    animTree.reset();
    openDialogs.clear();
    dialogTable.clear();
}

void Scene::stopListening() {
    if (MessageHandler* messages = GameWindow::instanceMessages(); messages && inputHandler) {
        messages->removeListener(inputHandler.get());
    }
}

void Scene::loadResources() {
    if (sceneComponents) {
        Panel::createComponents(sceneComponents.get(), this);
    }
    takeBackground();
}

void Scene::takeBackground() {
    PropertyNode* node = nodeOrDummy(getDefinition());
    if (AbstractProperty* key = node->getChild("scenebackground")) {
        RefHolder<Image> image = findOrLoad<Image>(key->getValue(), textKeyOr(node, "section", ""));
        if (image && image.get() != getBackgroundImage()) {
            setBackgroundImage(image.get());
        }
    }
}

std::string Scene::getLeftSection() const {
    return Scene::getSection();
}

std::string Scene::getSection() const {
    return textKeyOr(nodeOrDummy(getDefinition()), "section", "");
}

void Scene::onQuitRequest() {
    if (GameWindow* window = GameWindow::getInstance()) {
        window->closeWindow();
    }
}

void Scene::show() {
    if (state == STATE_NEW) {
        loadResources();
        state = STATE_LOADED;
    } else if (!getBackgroundImage()) {
        takeBackground();
    }
    Dialog::show();
    if (SceneManager* manager = SceneManager::getInstance()) {
        if (Task* tip = manager->getToolTip()) {
            if (auto* toolTip = interfaceCast<iToolTip>(tip)) {
                toolTip->setRoot(tree.get());
            }
        }
    }
    if (MessageHandler* messages = GameWindow::instanceMessages()) {
        messages->addListener(inputHandler.get());
    }
    inputHandler->clearQueue();
}

void Scene::hide() {
    Dialog::hide();
    stopListening();
    purgeTask->update(0);
    // A window-sized picture that a scene left behind need not keep: the next show takes it
    // again (the scenes that make their own make it at every show).
    setBackgroundImage(nullptr);
}

void Scene::render(Graphics* graphics) {
    if (Image* image = getBackgroundImage(); image && graphics) {
        graphics->copyRectWhole(image, 0, 0);
    }
}

Dialog* Scene::getDialog(const std::string& definitionName, const std::string& instanceName) {
    const std::string name = instanceName.empty() ? definitionName : instanceName;
    if (Dialog* made = findDialog(name)) {
        if (isDialogOpen(name)) {
            closeDialog(made);
        }
        return made;
    }
    PropertyNode* definition =
        GuiDefinitions::instance()->findDialog(definitionName, "Scene::getDialog");
    RefHolder<BaseObject> object = ObjectFactoryContainer::instance()->createObject(definition);
    Dialog* dialog = objectCast<Dialog>(object.get());
    if (!dialog) {
        return nullptr;
    }
    dialog->setName(name);
    dialogTable[name] = dialog;
    return dialog;
}

void Scene::openDialog(Dialog* dialog) {
    if (!dialog) {
        return;
    }
    GameNode::appendChild(dialog, tree.get());
    openDialogs.emplace_back(dialog);
    // In front of the scene's own widgets: the input handler's own rule would put the dialog
    // behind them, and they would take the clicks meant for it.
    inputHandler->getContainer().addListener(&dialog->getComponentsContainer());
    dialog->show();
    if (FullScreenFrame* frame = FullScreenFrame::get()) {
        frame->attachToScene(this);
    }
}

void Scene::closeDialog(Dialog* dialog) {
    if (!dialog) {
        return;
    }
    // The dialog may hold its last reference in the open list while its own modifier closes it.
    RefHolder<Dialog> keep = dialog;
    // Taken out of the input first: removal cancels the dialog's input, and a drag cancelled
    // after the hide would wake its components again.
    inputHandler->removeListener(&dialog->getComponentsContainer());
    dialog->hide();
    dialog->setRemoved(true);
    std::erase(openDialogs, keep);
}

bool Scene::isDialogOpen(const std::string& name) const {
    Dialog* dialog = findDialog(name);
    return dialog && std::find(openDialogs.begin(), openDialogs.end(), RefHolder<Dialog>(dialog)) !=
                         openDialogs.end();
}

void Scene::dropDialog(const std::string& name) {
    dialogTable.erase(name);
}

Dialog* Scene::findDialog(const std::string& name) const {
    const auto found = dialogTable.find(name);
    return found == dialogTable.end() ? nullptr : found->second.get();
}
