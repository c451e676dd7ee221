#include "framework/gui/Panel.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyNode.h"

QUOVEL_DEFINE_TYPE(Panel, &Sprite::typeRecord)
QUOVEL_REGISTER_CLASS(Panel)

namespace {

void clipSubtree(GameNode* first, const Rect& clip) {
    for (GameNode* node = first; node; node = node->getNextSibling()) {
        if (Sprite* sprite = objectCast<Sprite>(node)) {
            sprite->setClipRect(clip);
        }
        clipSubtree(node->getFirstChild(), clip);
    }
}

}  // namespace

Panel::Panel() : components(new GameNode()) {
    GameNode::appendChild(components.get(), this);
}

Panel::Panel(PropertyNode* definition) : Sprite(definition), components(new GameNode()) {
    GameNode::appendChild(components.get(), this);
    PropertyNode* node = nodeOrDummy(definition);
    if (AbstractProperty* list = node->getChild("components")) {
        createComponents(vectorOrDummy(list), this);
    }
}

Panel::~Panel() = default;

void Panel::createComponents(PropertyVector* list, Panel* panel) {
    if (!list || !panel) {
        return;
    }
    ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
    for (int32_t i = 0; i < list->getChildCount(); ++i) {
        AbstractProperty* entry = list->getChildAt(i);
        RefHolder<BaseObject> made = factory->createObject(entry);
        if (GameNode* child = objectCast<GameNode>(made.get())) {
            // A component is known by its entry's name unless it names itself.
            if (child->getName().empty()) {
                child->setName(entry->getName());
            }
            panel->addChild(child);
        }
    }
}

GameNode* Panel::searchChild(const std::string& name) {
    for (GameNode* child = components->getFirstChild(); child; child = child->getNextSibling()) {
        if (child->getName() == name) {
            return child;
        }
        if (child->isRemoved()) {
            continue;
        }
        if (Panel* panel = objectCast<Panel>(child)) {
            if (GameNode* found = panel->searchChild(name)) {
                return found;
            }
        }
    }
    return nullptr;
}

GameNode* Panel::findChild(const std::string& name) {
    GameNode* found = searchChild(name);
    if (!found) {
        reportMissingContent("widget", getName() + "/" + name);
    }
    return found;
}

void Panel::addChild(GameNode* child) {
    if (!child) {
        return;
    }
    GameNode::appendChild(child, components.get());
    child->setRemoved(false);
    setDirty(true);
}

void Panel::removeChild(GameNode* child) {
    if (!child) {
        return;
    }
    child->setRemoved(true);
    setDirty(true);
}

void Panel::clipChildren() {
    const std::optional<Rect>& clip = getClipRect();
    if (!clip) {
        return;
    }
    clipSubtree(components->getFirstChild(), *clip);
    setDirty(true);
}
