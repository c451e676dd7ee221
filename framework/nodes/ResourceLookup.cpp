#include "framework/nodes/ResourceLookup.h"

#include "framework/platform/ResourceManager.h"

BaseObject* findLoadedResource(const std::string& key, const std::string& section) {
    ResourceManager* manager = ResourceManager::getInstance();
    return manager ? manager->getResourceHandle(key, section) : nullptr;
}

BaseObject* findOrLoadResource(const std::string& key, const std::string& section) {
    ResourceManager* manager = ResourceManager::getInstance();
    return manager ? manager->getLoadedResourceHandle(key, section) : nullptr;
}
