#pragma once

#include <cstdint>
#include <list>
#include <vector>

#include "framework/platform/iInputListener.h"

// An ordered list of input listeners that is itself a listener, so that containers nest: the
// input handler holds the containers of the scene and of each open dialog, and those hold the
// widgets. An event is offered front to back and stops at the first listener that consumes it;
// the newest listener is added at the front and so asked first.
//
// An inactive container passes events only to its focus listener, which otherwise is asked
// last. A modal container reports every event as consumed, so nothing behind it is asked.
// The container does not own its listeners: an owner removes a listener before destroying it.
// Listeners may be added and removed from inside a dispatch; a listener removed then is not
// asked again. The container itself must outlive its own dispatches.
//
// Its type record is a root of its own: a container is told from a plain listener by
// isContainer, never by the C++ class.
class iInputListenerContainer : public iInputListener {
    QUOVEL_INTERFACE_TYPE(iInputListenerContainer)
public:
    iInputListenerContainer() = default;
    iInputListenerContainer(const iInputListenerContainer&) = delete;
    iInputListenerContainer& operator=(const iInputListenerContainer&) = delete;
    ~iInputListenerContainer() override = default;

    const TypeRecord* getType() const override;

    bool onKeyDown(int32_t key) override;
    bool onKeyUp(int32_t key) override;
    bool onChar(int32_t character) override;
    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override;
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) override;
    bool onMiddleButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    bool onMiddleButtonUp(int32_t x, int32_t y, int32_t buttons) override;
    bool onRightButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    bool onRightButtonUp(int32_t x, int32_t y, int32_t buttons) override;
    // Every listener in the list forgets its half-done gesture, active or not.
    void cancelInput() override;

    // Moves the listener to the front (it is first removed here and from every nested
    // container). Adding a modal container first cancels the input of everything already here.
    void addListener(iInputListener* listener);
    // Removes every occurrence here and in nested containers, calling the listener's
    // cancelInput once per removed entry. Removing the focus listener clears the focus.
    void removeListener(iInputListener* listener);
    // Replaces the focus listener (the old one is removed) and appends the new one at the back.
    void setFocusListener(iInputListener* listener);
    iInputListener* getFocusListener() const { return focus; }
    void setModal(bool value) { modal = value; }
    bool isModal() const { return modal; }
    // The listeners in dispatch order.
    std::vector<iInputListener*> getListeners() const;

    // True when the listener's type record is, or derives from, the container record.
    static bool isContainer(const iInputListener* listener);

protected:
    // Puts the listener at the back (asked last), for owners whose own rule is to append. The
    // caller removes it first if it may already be listed.
    void appendListener(iInputListener* listener);

private:
    // Marks a walk over the list: entries removed during a walk are only blanked, and erased
    // when the outermost walk ends, so no walk loses its place.
    class WalkGuard {
    public:
        explicit WalkGuard(iInputListenerContainer& owner);
        ~WalkGuard();
        WalkGuard(const WalkGuard&) = delete;
        WalkGuard& operator=(const WalkGuard&) = delete;

    private:
        iInputListenerContainer& owner;
    };

    template <class... Params, class... Args>
    bool dispatch(bool (iInputListener::*event)(Params...), Args... args);

    std::list<iInputListener*> listeners;
    iInputListener* focus = nullptr;
    bool modal = false;
    int32_t walks = 0;
};
