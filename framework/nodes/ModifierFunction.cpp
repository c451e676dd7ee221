#include "framework/nodes/ModifierFunction.h"

QUOVEL_DEFINE_TYPE(ModifierFunction, &Modifier::typeRecord)

ModifierFunction::ModifierFunction(const iGuiMethod::Bound& bound) : callback(bound) {}

ModifierFunction::ModifierFunction(iGuiMethod::Callback function, void* context)
    : callback(context, function) {}

void ModifierFunction::update(int32_t) {
    finish();
    callback.invoke(this);
}

void* ModifierFunction::castTo(const TypeRecord* type) {
    if (type == &iGuiMethod::typeRecord) {
        return &callback;
    }
    return Modifier::castTo(type);
}
