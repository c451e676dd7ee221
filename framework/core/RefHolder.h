#pragma once

#include <cstddef>
#include <utility>

// Shares an object counted by addRef/release: holding adds a reference, letting go drops it.
// The mapped value of every name-keyed table and vector of objects in the framework.
template <class T>
class RefHolder {
public:
    RefHolder() = default;
    RefHolder(std::nullptr_t) {}
    RefHolder(T* object) : object(object) { acquire(); }
    RefHolder(const RefHolder& other) : object(other.object) { acquire(); }
    RefHolder(RefHolder&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    template <class U>
    RefHolder(const RefHolder<U>& other) : object(other.get()) {
        acquire();
    }
    ~RefHolder() { drop(); }

    // The new object is referenced before the old one is released, so self-assignment is safe.
    RefHolder& operator=(const RefHolder& other) {
        reset(other.object);
        return *this;
    }
    RefHolder& operator=(RefHolder&& other) noexcept {
        if (this != &other) {
            drop();
            object = std::exchange(other.object, nullptr);
        }
        return *this;
    }
    RefHolder& operator=(T* other) {
        reset(other);
        return *this;
    }

    void reset(T* other = nullptr) {
        T* old = object;
        object = other;
        acquire();
        if (old) {
            old->release();
        }
    }

    T* get() const { return object; }
    T* operator->() const { return object; }
    T& operator*() const { return *object; }
    explicit operator bool() const { return object != nullptr; }
    bool operator==(const RefHolder& other) const { return object == other.object; }
    bool operator==(const T* other) const { return object == other; }

private:
    void acquire() {
        if (object) {
            object->addRef();
        }
    }
    void drop() {
        if (object) {
            std::exchange(object, nullptr)->release();
        }
    }

    T* object = nullptr;
};
