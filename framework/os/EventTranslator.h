#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/os/Messages.h"

union SDL_Event;

// Turns SDL events into the window-message records the game consumes. It keeps the state the
// records need and that SDL cannot be trusted for: Shift, Ctrl and Alt and the mouse buttons
// are tracked from the events translated here, since events pushed into SDL's queue never
// update SDL's own keyboard and mouse state.
class EventTranslator {
public:
    // Appends the records of one event to `out` (none for events the game does not use).
    void translate(const SDL_Event& event, std::vector<MessageRecord>& out);

    // Window events of any other window (a destroyed one, say) are dropped; 0 accepts all.
    void setWindowId(uint32_t id) { windowId = id; }
    // Asks the keyboard whether an SDL key is down now: 1 down, 0 up, -1 unknown. Without an
    // answer, SDL's releases of the keys held in a window that went count as the player's.
    void setKeyQuery(std::function<int(int32_t sdlKey)> query) { keyHeld = std::move(query); }
    // Asks the keyboard whether its right Alt is AltGr, the shift to further characters (1),
    // rather than Alt (0); -1 unknown. Text typed with Alt held is a window command and types
    // nothing; with AltGr it types. Without an answer the right Alt counts as AltGr.
    void setAltGrQuery(std::function<int()> query) { altGrKnown = std::move(query); }
    // Keys held when their window went: the player still holds them.
    bool hasKeysHeldAcrossWindows() const { return !heldAcrossWindows.empty(); }
    // Appends the releases of those keys that the keyboard now reports up.
    void releaseLetGoKeys(std::vector<MessageRecord>& out);

    bool isShiftDown() const { return leftShift || rightShift; }
    bool isControlDown() const { return leftControl || rightControl; }
    bool isAltDown() const { return leftAlt || rightAlt; }
    // The MK_ flags of the buttons held and of Shift and Ctrl.
    uint32_t mouseKeyFlags() const;

    // The virtual-key code of an SDL key code, or 0 for keys the game has no code for.
    static uint32_t virtualKey(int32_t sdlKey);

private:
    void translateKey(const SDL_Event& event, bool down, std::vector<MessageRecord>& out);
    void translateButton(const SDL_Event& event, bool down, std::vector<MessageRecord>& out);
    void translateWindow(const SDL_Event& event, std::vector<MessageRecord>& out);
    void trackModifier(int32_t sdlKey, bool down);

    uint32_t windowId = 0;
    std::function<int(int32_t)> keyHeld;
    std::function<int()> altGrKnown;
    std::vector<int32_t> heldAcrossWindows;  // SDL key codes
    // Keys pressed with Alt held (and Alt itself), SDL key codes: window commands until let go,
    // whichever of them is let go first.
    std::vector<int32_t> systemKeys;
    bool leftShift = false;
    bool rightShift = false;
    bool leftControl = false;
    bool rightControl = false;
    bool leftAlt = false;
    bool rightAlt = false;
    // Whether the right Alt, as last pressed, is AltGr.
    bool rightAltTypes = true;
    uint32_t buttons = 0;  // MK_LBUTTON | MK_RBUTTON | MK_MBUTTON held
};
