#pragma once

#include <cstdint>
#include <string>

#include "framework/core/TypeRecord.h"

// Root of every framework and game class: an intrusive, single-threaded reference count and
// the class's type record. Objects start with count 0; whoever keeps one takes a reference.
class BaseObject {
public:
    static const TypeRecord typeRecord;

    BaseObject() = default;
    // A copy is a new object: it starts unreferenced whatever the source's count.
    BaseObject(const BaseObject&) {}
    BaseObject& operator=(const BaseObject&) { return *this; }

    virtual void addRef();
    // Drops one reference; the last one destroys the object.
    virtual void release();
    // The whole object that destroy deletes; objects of static storage answer null so that
    // reference counting never deletes them.
    virtual BaseObject* getObject();
    virtual void destroy();
    virtual const TypeRecord* getType() const;
    virtual ~BaseObject();
    // The part of this object that implements the interface `type`, or null.
    virtual void* castTo(const TypeRecord* type);
    // Diagnostic description; derived classes append their own fields.
    virtual std::string toString() const;

    int32_t getRefCount() const { return refCount; }
    bool isA(const TypeRecord* type) const { return getType()->isA(type); }

private:
    int32_t refCount = 0;
};

// The object as a T when its type record says it is one, else null.
template <class T>
T* objectCast(BaseObject* object) {
    if (object && object->isA(&T::typeRecord)) {
        return static_cast<T*>(object);
    }
    return nullptr;
}

template <class T>
const T* objectCast(const BaseObject* object) {
    if (object && object->isA(&T::typeRecord)) {
        return static_cast<const T*>(object);
    }
    return nullptr;
}

// The object's part that implements the interface T (castTo with T's type record), or null.
template <class T>
T* interfaceCast(BaseObject* object) {
    return object ? static_cast<T*>(object->castTo(&T::typeRecord)) : nullptr;
}
