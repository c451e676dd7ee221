#pragma once

#include <utility>

// The one process-wide object of a reference-counted class: made on request and held by one
// reference while installed. Taking it down releases that reference rather than deleting, so
// holders of their own references keep the object alive. A namespace-scope ProcessInstance is
// constant-initialised and trivially destructible: code that runs before main (registrations)
// may use it, and nothing tears it down behind the program's back at exit.
template <class T>
class ProcessInstance {
public:
    constexpr ProcessInstance() = default;

    T* get() const { return object; }

    // Installs the object `make()` returns unless one is installed; the installed object.
    template <class Make>
    T* create(Make&& make) {
        if (!object) {
            object = make();
            object->addRef();
        }
        return object;
    }

    void release() {
        if (T* old = std::exchange(object, nullptr)) {
            old->release();
        }
    }

private:
    T* object = nullptr;
};
