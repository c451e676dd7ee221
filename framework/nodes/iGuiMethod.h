#pragma once

#include <cstdint>

#include "framework/core/Interface.h"

class BaseObject;

// A bound callback: a target object and a plain function called as callback(target, sender).
// Widgets fire it when activated (passing themselves as the sender), and ModifierFunction and
// ModifierFractionFunc fire theirs from their updates (passing the modifier).
class iGuiMethod : public Interface {
    QUOVEL_INTERFACE_TYPE(iGuiMethod)
public:
    using Callback = int32_t (*)(void* target, BaseObject* sender);

    // The pair as iGuiMethod stores it; callback<&Class::method>(object) makes one for a member
    // function, so nobody writes the function that casts the target back by hand.
    struct Bound {
        void* target = nullptr;
        Callback function = nullptr;
        bool operator==(const Bound&) const = default;
    };

    iGuiMethod() = default;
    iGuiMethod(void* target, Callback callback) : target(target), function(callback) {}
    explicit iGuiMethod(const Bound& bound) : target(bound.target), function(bound.function) {}

    virtual const TypeRecord* getType() const;
    // callback(target, sender) and its result; 0 when no callback is set.
    virtual int32_t invoke(BaseObject* sender);

    void setCallback(void* newTarget, Callback newCallback);
    void setCallback(const Bound& bound) { setCallback(bound.target, bound.function); }
    void* getCallbackTarget() const { return target; }
    Callback getCallback() const { return function; }
    Bound getBound() const { return {target, function}; }
    bool hasCallback() const { return function != nullptr; }

private:
    void* target = nullptr;
    Callback function = nullptr;
};

// The one place where a callback's target is cast back from void*: the function a bound member
// callback stores. The target was stored as a pointer to the method's own class, so the cast
// gives back the same object.
template <auto Method>
struct MemberCallback;

template <class Class, int32_t (Class::*Method)(BaseObject*)>
struct MemberCallback<Method> {
    using Target = Class;
    static int32_t call(void* target, BaseObject* sender) {
        return (static_cast<Class*>(target)->*Method)(sender);
    }
};

// A plain function of a typed target, for a target that is not the one whose code runs.
template <class Class, int32_t (*Function)(Class*, BaseObject*)>
struct MemberCallback<Function> {
    using Target = Class;
    static int32_t call(void* target, BaseObject* sender) {
        return Function(static_cast<Class*>(target), sender);
    }
};

// The (target, function) pair that calls target->Method(sender) (or Method(target, sender)):
// callback<&Scene::onQuit>(this).
// The target converts to the method's class before it is stored, so a method of a base class
// gets the base's address.
template <auto Method>
iGuiMethod::Bound callback(typename MemberCallback<Method>::Target* target) {
    return {target, &MemberCallback<Method>::call};
}

// The pair for a free function of the sender alone, with no target.
template <int32_t (*Function)(BaseObject*)>
struct FunctionCallback {
    static int32_t call(void*, BaseObject* sender) { return Function(sender); }
};

template <int32_t (*Function)(BaseObject*)>
iGuiMethod::Bound callback() {
    return {nullptr, &FunctionCallback<Function>::call};
}
