#pragma once

#include <string>

#include "framework/core/RefHolder.h"
#include "framework/platform/ResourceManager.h"

// The loaded object of the resource `key` in the resource section `section`
// (ResourceManager::getResourceHandle): it never loads, so a resource that has not loaded yet
// gives null, as do an unknown key or section and a run without a resource manager. Parts that
// keep the object use findLoaded, which references it under the manager's data lock.
BaseObject* findLoadedResource(const std::string& key, const std::string& section);

// The same for parts that must have the object (a dialog's background, a painter's pieces, a
// label's font, a hit mask): the resource is loaded on the calling thread first when needed
// (getLoadedResourceHandle), and one that is missing or does not load is reported as a problem,
// since what names it shows blank. Parts that keep the object use findOrLoad.
BaseObject* findOrLoadResource(const std::string& key, const std::string& section);

// findLoadedResource as a T, referenced before the data lock is released: sprites find their
// images and sound modifiers their sounds through it. An object of another type gives null and
// is logged as a problem.
template <class T>
RefHolder<T> findLoaded(const std::string& key, const std::string& section) {
    ResourceManager* manager = ResourceManager::getInstance();
    return manager ? manager->findTyped<T>(key, section, false) : RefHolder<T>();
}

// findOrLoadResource as a T, referenced likewise.
template <class T>
RefHolder<T> findOrLoad(const std::string& key, const std::string& section) {
    ResourceManager* manager = ResourceManager::getInstance();
    return manager ? manager->findTyped<T>(key, section, true) : RefHolder<T>();
}
