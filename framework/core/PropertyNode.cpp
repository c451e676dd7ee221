#include "framework/core/PropertyNode.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyValue.h"

QUOVEL_DEFINE_TYPE(PropertyNode, &AbstractProperty::typeRecord)

AbstractProperty* PropertyNameTable::find(const std::string& name) const {
    const auto found = index.find(name);
    return found == index.end() ? nullptr : found->second->second.get();
}

void PropertyNameTable::insert(const std::string& name, AbstractProperty* child) {
    erase(name);
    entries.emplace_back(name, RefHolder<AbstractProperty>(child));
    index.emplace(name, std::prev(entries.end()));
}

bool PropertyNameTable::erase(const std::string& name) {
    const auto found = index.find(name);
    if (found == index.end()) {
        return false;
    }
    // Unlinked before the release, so a destructor that reaches back sees a consistent table.
    const RefHolder<AbstractProperty> released = std::move(found->second->second);
    entries.erase(found->second);
    index.erase(found);
    return true;
}

namespace {

// True when `target` is `from` or lies anywhere below it.
bool reaches(AbstractProperty* from, const AbstractProperty* target) {
    std::vector<AbstractProperty*> pending{from};
    std::unordered_set<const AbstractProperty*> seen;
    while (!pending.empty()) {
        AbstractProperty* property = pending.back();
        pending.pop_back();
        if (property == target) {
            return true;
        }
        if (!seen.insert(property).second) {
            continue;
        }
        if (property->isNode()) {
            for (const auto& [name, child] : static_cast<PropertyNode*>(property)->getNameTable()) {
                pending.push_back(child.get());
            }
        } else if (property->isVector()) {
            const auto* vector = static_cast<PropertyVector*>(property);
            for (int32_t i = 0; i < vector->getChildCount(); ++i) {
                pending.push_back(vector->getChildAt(i));
            }
        }
    }
    return false;
}

std::vector<RefHolder<AbstractProperty>> childrenOf(const PropertyNameTable& table) {
    std::vector<RefHolder<AbstractProperty>> copy;
    copy.reserve(table.size());
    for (const auto& entry : table) {
        copy.push_back(entry.second);
    }
    return copy;
}

}  // namespace

bool PropertyNode::isListed(const AbstractProperty& child) {
    return !(child.isValue() && child.getTypeWord().empty());
}

PropertyNode::PropertyNode(std::string name, std::string typeWord)
    : PropertyVector(KIND_NODE, std::move(typeWord), std::move(name)) {}

PropertyNode* PropertyNode::dummy() {
    // Made on first use and never freed, like DUMMY_VALUE.
    static PropertyNode* const instance = [] {
        auto* node = new PropertyNode("DUMMY_NODE");
        node->markPermanent();
        return node;
    }();
    return instance;
}

AbstractProperty* PropertyNode::getChild(const std::string& name) const {
    return nameTable.find(name);
}

PropertyValue* PropertyNode::getChildValue(const std::string& name) const {
    return valueOrDummy(getChild(name));
}

PropertyNode* PropertyNode::getChildNode(const std::string& name) const {
    return nodeOrDummy(getChild(name));
}

PropertyVector* PropertyNode::getChildVector(const std::string& name) const {
    return vectorOrDummy(getChild(name));
}

AbstractProperty* PropertyNode::addChild(AbstractProperty* child) {
    if (!child || isDummy()) {
        return child;
    }
    // Re-adding the child already stored under its name must not free it in between.
    const RefHolder<AbstractProperty> keep(child);
    removeChild(child->getName());
    nameTable.insert(child->getName(), child);
    if (isListed(*child)) {
        listedAt[child] = children.size();
        children.emplace_back(child);
    }
    return child;
}

PropertyValue* PropertyNode::addBool(const std::string& name, bool value, bool untyped) {
    if (isDummy()) {
        return nullptr;  // nothing would hold the new value
    }
    return static_cast<PropertyValue*>(addChild(PropertyValue::fromBool(name, value, untyped)));
}

void PropertyNode::removeChild(const std::string& name) {
    AbstractProperty* named = nameTable.find(name);
    if (!named) {
        return;
    }
    const auto listed = listedAt.find(named);
    if (listed != listedAt.end()) {
        if (listed->second + 1 == children.size()) {
            children.pop_back();
        } else {
            children[listed->second] = RefHolder<AbstractProperty>();
            listStale = true;
        }
        listedAt.erase(listed);
    }
    nameTable.erase(name);
}

void PropertyNode::relist() const {
    size_t kept = 0;
    for (size_t i = 0; i < children.size(); ++i) {
        if (children[i]) {
            listedAt[children[i].get()] = kept;
            if (kept != i) {
                children[kept] = std::move(children[i]);
            }
            ++kept;
        }
    }
    children.resize(kept);
    listStale = false;
}

int32_t PropertyNode::getChoice(const std::string& key, std::span<const char* const> words,
                                int32_t defaultIndex) const {
    const AbstractProperty* child = getChild(key);
    if (!child) {
        return defaultIndex;
    }
    const std::string text = child->getValue();
    for (size_t i = 0; i < words.size(); ++i) {
        if (words[i] && text == words[i]) {
            return static_cast<int32_t>(i);
        }
    }
    return defaultIndex;
}

void PropertyNode::createChildObjects() {
    ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
    for (const auto& child : childrenOf(nameTable)) {
        // Kept only when the object took a reference of its own somewhere.
        RefHolder<BaseObject> made(factory->createObject(child.get()));
    }
}

void PropertyNode::applySetupWithin(SetupWalk& walk) {
    if (!enterSetupWalk(walk)) {
        return;
    }
    if (AbstractProperty* setupEntry = getChild("setup")) {
        const std::string setupName = setupEntry->getValue();
        removeChild("setup");
        if (!setupName.empty()) {
            BasicProperties* globals = BasicProperties::instance();
            PropertyNode* setup = globals ? globals->getNode(setupName) : nullptr;
            if (!setup) {
                return;
            }
            for (const auto& inherited : childrenOf(setup->nameTable)) {
                if (!getChild(inherited->getName()) && !reaches(inherited.get(), this)) {
                    addChild(inherited.get());
                }
            }
        }
    }
    ++walk.depth;
    for (const auto& child : childrenOf(nameTable)) {
        child->applySetupWithin(walk);
    }
    --walk.depth;
}
