#pragma once

#include <string>

class BaseObject;

// The loaded object of the resource `key` in the resource section `section`
// (ResourceManager::getResourceHandle): it never loads, so a resource that has not loaded yet
// gives null, as do an unknown key or section and a run without a resource manager. Sprites
// find their images and sound modifiers their sounds through it; a caller that keeps the object
// takes its reference under the manager's data lock.
BaseObject* findLoadedResource(const std::string& key, const std::string& section);

// The same for parts that must have the object (a dialog's background, a painter's pieces, a
// label's font, a hit mask): the resource is loaded on the calling thread first when needed
// (getLoadedResourceHandle), and one that is missing or does not load is reported as a problem,
// since what names it shows blank. The caller takes its reference under the data lock.
BaseObject* findOrLoadResource(const std::string& key, const std::string& section);
