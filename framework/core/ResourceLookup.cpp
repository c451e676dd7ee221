#include "framework/core/ResourceLookup.h"

#include "framework/core/ProblemLog.h"
#include "framework/platform/ResourceManager.h"

BaseObject* findLoadedResource(const std::string& key, const std::string& section) {
    ResourceManager* manager = ResourceManager::getInstance();
    return manager ? manager->getResourceHandle(key, section) : nullptr;
}

BaseObject* findOrLoadResource(const std::string& key, const std::string& section) {
    ResourceManager* manager = ResourceManager::getInstance();
    return manager ? manager->getLoadedResourceHandle(key, section) : nullptr;
}

BaseObject* loadNamedResource(const std::string& key, const std::string& section) {
    ResourceManager* manager = ResourceManager::getInstance();
    if (!manager) {
        return nullptr;
    }
    BaseObject* found = manager->getLoadedResourceHandle(key, section);
    if (!found) {
        logProblem("the resource \"" + key + "\" of section \"" + section +
                   "\" is missing or does not load");
    }
    return found;
}
