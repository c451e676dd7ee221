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

    iGuiMethod() = default;
    iGuiMethod(void* target, Callback callback) : target(target), callback(callback) {}

    virtual const TypeRecord* getType() const;
    // callback(target, sender) and its result; 0 when no callback is set.
    virtual int32_t invoke(BaseObject* sender);

    void setCallback(void* newTarget, Callback newCallback);
    void* getCallbackTarget() const { return target; }
    Callback getCallback() const { return callback; }
    bool hasCallback() const { return callback != nullptr; }

private:
    void* target = nullptr;
    Callback callback = nullptr;
};
