#include "framework/core/ObjectFactoryContainer.h"

#include <algorithm>

#include "framework/core/ProcessInstance.h"
QUOVEL_DEFINE_TYPE(ObjectFactoryContainer, &BaseObject::typeRecord)

namespace {

// Constant-initialised, so registrations in any translation unit may run first.
constinit ProcessInstance<ObjectFactoryContainer> processFactory;

}  // namespace

ObjectFactoryContainer* ObjectFactoryContainer::instance() {
    createInstance();
    return processFactory.get();
}

void ObjectFactoryContainer::createInstance() {
    processFactory.create([] { return new ObjectFactoryContainer(); });
}

void ObjectFactoryContainer::releaseInstance() {
    processFactory.release();
}

bool ObjectFactoryContainer::registerCreateFunction(const char* name, CreateFunction function) {
    instance()->add(name, function);
    return true;
}

void ObjectFactoryContainer::add(const std::string& name, CreateFunction function) {
    functions[name] = function;
}

bool ObjectFactoryContainer::has(const std::string& name) const {
    return functions.contains(name);
}

void ObjectFactoryContainer::remove(const std::string& name) {
    functions.erase(name);
}

std::vector<std::string> ObjectFactoryContainer::getNames() const {
    std::vector<std::string> names;
    names.reserve(functions.size());
    for (const auto& entry : functions) {
        names.push_back(entry.first);
    }
    std::sort(names.begin(), names.end());
    return names;
}

BaseObject* ObjectFactoryContainer::create(const std::string& name,
                                           AbstractProperty* definition) const {
    const auto found = functions.find(name);
    if (found == functions.end() || !found->second) {
        return nullptr;
    }
    return found->second(definition);
}

BaseObject* ObjectFactoryContainer::createObject(AbstractProperty* definition) const {
    return definition ? create(definition->getTypeWord(), definition) : nullptr;
}
