#include "framework/core/BaseObject.h"

#include <cstdint>

namespace {
constinit const TypeRecord* const baseObjectParents[] = {nullptr};
}  // namespace
constinit const TypeRecord BaseObject::typeRecord{"BaseObject", baseObjectParents};

void BaseObject::addRef() {
    ++refCount;
}

void BaseObject::release() {
    if (--refCount == 0) {
        destroy();
    }
}

BaseObject* BaseObject::getObject() {
    return this;
}

void BaseObject::destroy() {
    if (BaseObject* whole = getObject()) {
        delete whole;
    }
}

const TypeRecord* BaseObject::getType() const {
    return &typeRecord;
}

BaseObject::~BaseObject() = default;

void* BaseObject::castTo(const TypeRecord*) {
    return nullptr;
}

std::string BaseObject::toString() const {
    // The whole address: a 32-bit conversion would cut a 64-bit pointer.
    return "Address: " + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "; ";
}
