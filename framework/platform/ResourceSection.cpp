#include "framework/platform/ResourceSection.h"

#include "framework/core/DefinitionKeys.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/platform/ResourceManager.h"

QUOVEL_DEFINE_TYPE(ResourceSection, &BaseObject::typeRecord)

ResourceSection::ResourceSection(PropertyNode* definition)
    : name(textKeyOr(definition, "name", std::string())),
      autoLoad(boolKeyOr(definition, "auto", false)) {
    if (!definition) {
        return;
    }
    // Shared resources are counted by both threads' holders: take them under the data lock.
    ResourceManager::DataLock lock;
    ResourceManager* manager = ResourceManager::getInstance();
    for (int32_t i = 0; i < definition->getChildCount(); ++i) {
        AbstractProperty* child = definition->getChildAt(i);
        if (!child || !child->isNode()) {
            continue;
        }
        RefHolder<BaseObject> made = ObjectFactoryContainer::instance()->createObject(child);
        ResourceObject* resource = objectCast<ResourceObject>(made.get());
        if (!resource) {
            continue;
        }
        ResourceObject* same = manager ? manager->findSameResource(resource) : nullptr;
        addObject(child->getName(), same ? same : resource);
    }
}

ResourceSection::~ResourceSection() = default;

void ResourceSection::addObject(const std::string& key, ResourceObject* resource) {
    resources[key] = resource;
}

ResourceObject* ResourceSection::findResource(const std::string& key) const {
    const auto found = resources.find(key);
    return found == resources.end() ? nullptr : found->second.get();
}

bool ResourceSection::isFullyLoaded() const {
    for (const auto& [key, resource] : resources) {
        if (!resource->isLoaded() || resource->isLoading()) {
            return false;
        }
    }
    return true;
}

ResourceObject* ResourceSection::firstUnloaded() const {
    for (const auto& [key, resource] : resources) {
        if (!resource->isLoaded() && !resource->isLoading()) {
            return resource.get();
        }
    }
    return nullptr;
}

int32_t ResourceSection::getTotalWeight() const {
    int32_t total = 0;
    for (const auto& [key, resource] : resources) {
        total += resource->getWeight();
    }
    return total;
}

int32_t ResourceSection::getLoadedAmount() const {
    int32_t total = 0;
    for (const auto& [key, resource] : resources) {
        total += resource->getLoadedAmount();
    }
    return total;
}

std::string ResourceSection::toString() const {
    ResourceManager::DataLock lock;
    std::string text = std::string("Auto Load: ") + yesNo(autoLoad) +
                       "; Has Started: " + yesNo(started) + "; Name: " + name + ";\n\tObjects:";
    for (const auto& [key, resource] : resources) {
        text += "\n\t\t" + resource->toString();
    }
    return text;
}
