#pragma once

#include <string>

class BaseObject;

// The loaded object of the resource `key` in the resource section `section`, looked up the way
// ResourceManager::getResourceHandle does: it never loads, so a resource whose section has not
// loaded yet gives null, as does an unknown key or section. Sprites find their images and
// sound modifiers their sounds through it.
BaseObject* findLoadedResource(const std::string& key, const std::string& section);
