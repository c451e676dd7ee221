#pragma once

#include <new>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/PropertyNode.h"

// Makes objects by name: property files name the classes to build (a definition's type word is
// a registration name), and this table turns the name into an object. The same table holds
// the handlers of the eight value type words, which store a value instead of making an object.
//
// Registrations run before main from QUOVEL_REGISTER_* in each class's source file; the
// process-wide container is made by the first of them (or the first use), whatever the order
// of static initialisation.
class ObjectFactoryContainer : public BaseObject {
    QUOVEL_TYPE(ObjectFactoryContainer)
public:
    // Makes an object from its definition (usually a node) and returns it unreferenced (the
    // caller takes the reference it keeps), or returns null.
    using CreateFunction = BaseObject* (*)(AbstractProperty* definition);

    // The process-wide container, made on first use.
    static ObjectFactoryContainer* instance();
    // Makes the process-wide container (holding one reference) unless it exists.
    static void createInstance();
    // Drops the process-wide container at shut-down.
    static void releaseInstance();
    // Stores `function` in the process-wide container; true, for use in static initialisers.
    static bool registerCreateFunction(const char* name, CreateFunction function);

    // A later function under the same name replaces the earlier one.
    void add(const std::string& name, CreateFunction function);
    bool has(const std::string& name) const;
    // Drops the registration under `name` (tests register classes of their own for a while).
    void remove(const std::string& name);
    // Every registration name, sorted.
    std::vector<std::string> getNames() const;

    // The object made by the function registered under `name`; null when the name has no
    // registration or the function makes nothing.
    BaseObject* create(const std::string& name, AbstractProperty* definition) const;
    // create by the definition's own type word; null for a null definition.
    BaseObject* createObject(AbstractProperty* definition) const;

private:
    std::unordered_map<std::string, CreateFunction> functions;
};

// The create function of a factory-built class: the constructor takes the definition, either
// as it is or, for a class that wants a node, as a node (DUMMY_NODE when it is not one).
template <class T>
BaseObject* createFromDefinition(AbstractProperty* definition) {
    if constexpr (std::is_constructible_v<T, AbstractProperty*>) {
        return new (std::nothrow) T(definition);
    } else {
        return new (std::nothrow) T(nodeOrDummy(definition));
    }
}

// Registration at namespace scope in the class's source file. Each use defines the external
// symbol quovelRegistration_<Name>: a duplicate name fails to link, and the linked-binary test
// checks that no registration was dropped by the linker.
#define QUOVEL_REGISTER_FUNCTION(Name, function) \
    extern const bool quovelRegistration_##Name; \
    const bool quovelRegistration_##Name =       \
        ::ObjectFactoryContainer::registerCreateFunction(#Name, function);

// Registers `Class` under the registration name `Name`.
#define QUOVEL_REGISTER_CLASS_AS(Name, Class) \
    QUOVEL_REGISTER_FUNCTION(Name, &::createFromDefinition<Class>)

// Registers `Class` under its own name.
#define QUOVEL_REGISTER_CLASS(Class) QUOVEL_REGISTER_CLASS_AS(Class, Class)
