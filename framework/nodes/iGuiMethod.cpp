#include "framework/nodes/iGuiMethod.h"

QUOVEL_DEFINE_TYPE(iGuiMethod, &Interface::typeRecord)

const TypeRecord* iGuiMethod::getType() const {
    return &typeRecord;
}

int32_t iGuiMethod::invoke(BaseObject* sender) {
    return function ? function(target, sender) : 0;
}

void iGuiMethod::setCallback(void* newTarget, Callback newCallback) {
    target = newTarget;
    function = newCallback;
}
