#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/ResourceObject.h"

class PropertyNode;

// A named group of resources that is loaded and released together (one scene's pictures and
// sounds, the music, the fonts). Built from a section node of the resource list: "name",
// "auto" (queue for background loading as soon as it is added), and one child node per
// resource, the child's name being the key and its type word the resource kind. The manager
// changes sections only under its data lock.
class ResourceSection : public BaseObject {
    QUOVEL_TYPE(ResourceSection)
public:
    using ResourceTable = std::map<std::string, RefHolder<ResourceObject>>;

    // A child whose type word makes nothing, or makes something other than a resource, is
    // skipped. A resource equal to one already in a section of the manager is shared.
    explicit ResourceSection(PropertyNode* definition);
    ~ResourceSection() override;

    // Stores the resource under the key, replacing (and releasing) any earlier one.
    void addObject(const std::string& key, ResourceObject* resource);
    // The resource of that key, or null.
    ResourceObject* findResource(const std::string& key) const;
    const ResourceTable& getResources() const { return resources; }

    const std::string& getName() const { return name; }
    bool isAutoLoad() const { return autoLoad; }
    bool isStarted() const { return started; }
    void setStarted(bool value) { started = value; }

    // True when every resource is loaded (a resource the loader is loading is not).
    bool isFullyLoaded() const;
    // The first resource in key order that is neither loaded nor being loaded, or null.
    ResourceObject* firstUnloaded() const;
    int32_t getTotalWeight() const;
    int32_t getLoadedAmount() const;

    std::string toString() const override;

private:
    ResourceTable resources;
    std::string name;
    bool autoLoad = false;
    bool started = false;
};
