#include "framework/os/EventTranslator.h"

#include <SDL.h>

#include <algorithm>

#include "framework/os/Utf8.h"

namespace {

// Key-message lParam bits besides KEY_WAS_DOWN: repeat count 1, Alt held (bit 29), key is being
// released (bit 31).
constexpr uint32_t KEY_REPEAT_ONE = 1;
constexpr uint32_t KEY_ALT_HELD = 1u << 29;
constexpr uint32_t KEY_RELEASED = 1u << 31;

uint32_t buttonFlag(uint8_t sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT:
            return MK_LBUTTON;
        case SDL_BUTTON_RIGHT:
            return MK_RBUTTON;
        case SDL_BUTTON_MIDDLE:
            return MK_MBUTTON;
        default:
            return 0;
    }
}

uint32_t buttonFlagsFromState(uint32_t sdlState) {
    uint32_t flags = 0;
    if (sdlState & SDL_BUTTON_LMASK) {
        flags |= MK_LBUTTON;
    }
    if (sdlState & SDL_BUTTON_RMASK) {
        flags |= MK_RBUTTON;
    }
    if (sdlState & SDL_BUTTON_MMASK) {
        flags |= MK_MBUTTON;
    }
    return flags;
}

// The character of the keys that type one besides their key message.
uint32_t controlCharacter(uint32_t virtualKey) {
    switch (virtualKey) {
        case VK_BACK:
        case VK_TAB:
        case VK_RETURN:
        case VK_ESCAPE:
            return virtualKey;
        default:
            return 0;
    }
}

}  // namespace

uint32_t EventTranslator::virtualKey(int32_t sdlKey) {
    if (sdlKey >= SDLK_a && sdlKey <= SDLK_z) {
        return 'A' + static_cast<uint32_t>(sdlKey - SDLK_a);
    }
    if (sdlKey >= SDLK_0 && sdlKey <= SDLK_9) {
        return '0' + static_cast<uint32_t>(sdlKey - SDLK_0);
    }
    if (sdlKey >= SDLK_F1 && sdlKey <= SDLK_F12) {
        return VK_F1 + static_cast<uint32_t>(sdlKey - SDLK_F1);
    }
    if (sdlKey >= SDLK_KP_1 && sdlKey <= SDLK_KP_9) {
        return VK_NUMPAD0 + 1 + static_cast<uint32_t>(sdlKey - SDLK_KP_1);
    }
    switch (sdlKey) {
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        case SDLK_PAUSE:
            return VK_PAUSE;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_PAGEUP:
            return VK_PRIOR;
        case SDLK_PAGEDOWN:
            return VK_NEXT;
        case SDLK_END:
            return VK_END;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_INSERT:
            return VK_INSERT;
        case SDLK_DELETE:
            return VK_DELETE;
        case SDLK_KP_0:
            return VK_NUMPAD0;
        case SDLK_KP_MULTIPLY:
            return VK_MULTIPLY;
        case SDLK_KP_PLUS:
            return VK_ADD;
        case SDLK_KP_COMMA:
            return VK_SEPARATOR;
        case SDLK_KP_MINUS:
            return VK_SUBTRACT;
        case SDLK_KP_PERIOD:
            return VK_DECIMAL;
        case SDLK_KP_DIVIDE:
            return VK_DIVIDE;
        case SDLK_SEMICOLON:
            return VK_OEM_1;
        case SDLK_EQUALS:
            return VK_OEM_PLUS;
        case SDLK_COMMA:
            return VK_OEM_COMMA;
        case SDLK_MINUS:
            return VK_OEM_MINUS;
        case SDLK_PERIOD:
            return VK_OEM_PERIOD;
        case SDLK_SLASH:
            return VK_OEM_2;
        case SDLK_BACKQUOTE:
            return VK_OEM_3;
        case SDLK_LEFTBRACKET:
            return VK_OEM_4;
        case SDLK_BACKSLASH:
            return VK_OEM_5;
        case SDLK_RIGHTBRACKET:
            return VK_OEM_6;
        case SDLK_QUOTE:
            return VK_OEM_7;
        case SDLK_LESS:
            return VK_OEM_102;
        default:
            return 0;
    }
}

uint32_t EventTranslator::mouseKeyFlags() const {
    return buttons | (isShiftDown() ? MK_SHIFT : 0) | (isControlDown() ? MK_CONTROL : 0);
}

void EventTranslator::trackModifier(int32_t sdlKey, bool down) {
    switch (sdlKey) {
        case SDLK_LSHIFT:
            leftShift = down;
            break;
        case SDLK_RSHIFT:
            rightShift = down;
            break;
        case SDLK_LCTRL:
            leftControl = down;
            break;
        case SDLK_RCTRL:
            rightControl = down;
            break;
        case SDLK_LALT:
            leftAlt = down;
            break;
        case SDLK_RALT:
            if (down && !rightAlt) {
                rightAltTypes = !altGrKnown || altGrKnown() != 0;
            }
            rightAlt = down;
            break;
        default:
            break;
    }
}

void EventTranslator::translateKey(const SDL_Event& event, bool down,
                                   std::vector<MessageRecord>& out) {
    const int32_t sdlKey = event.key.keysym.sym;
    // SDL lets go of every key held when the window that had them goes (the full-screen switch
    // makes a new one) and takes the next press of a key still held there for a new one: such a
    // key stays down here until the keyboard says it was let go.
    const bool windowGone =
        windowId != 0 && event.key.windowID != 0 && event.key.windowID != windowId;
    if (!down && windowGone && keyHeld && keyHeld(sdlKey) == 1) {
        if (std::find(heldAcrossWindows.begin(), heldAcrossWindows.end(), sdlKey) ==
            heldAcrossWindows.end()) {
            heldAcrossWindows.push_back(sdlKey);
        }
        return;
    }
    const auto across = std::find(heldAcrossWindows.begin(), heldAcrossWindows.end(), sdlKey);
    const bool goesOn = down && across != heldAcrossWindows.end();
    if (across != heldAcrossWindows.end()) {
        heldAcrossWindows.erase(across);
    }
    // Alt held before the press, or Alt itself, makes the system form, and the key keeps it
    // through its repeats and its release: Alt let go before Enter must not turn Enter's
    // release into a plain key that answers the box in front.
    const bool altBefore = isAltDown();
    trackModifier(sdlKey, down);
    const uint32_t vk = virtualKey(sdlKey);
    if (vk == 0) {
        return;
    }
    const auto pressedAsSystem = std::find(systemKeys.begin(), systemKeys.end(), sdlKey);
    const bool heldAsSystem = pressedAsSystem != systemKeys.end();
    const bool freshPress = down && !event.key.repeat && !goesOn;
    const bool system = altBefore || vk == VK_MENU || (heldAsSystem && !freshPress);
    if (heldAsSystem && (!down || !system)) {
        systemKeys.erase(pressedAsSystem);
    } else if (!heldAsSystem && down && system) {
        systemKeys.push_back(sdlKey);
    }
    uint32_t lParam = KEY_REPEAT_ONE | (system ? KEY_ALT_HELD : 0);
    if (!down) {
        out.push_back({system ? WM_SYSKEYUP : WM_KEYUP, vk, lParam | KEY_WAS_DOWN | KEY_RELEASED});
        return;
    }
    if (event.key.repeat || goesOn) {
        lParam |= KEY_WAS_DOWN;
    }
    out.push_back({system ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, lParam});
    // With Alt held these keys are commands (Alt+Enter), not typing.
    const uint32_t character = controlCharacter(vk);
    if (character != 0 && !system) {
        out.push_back({WM_CHAR, character, lParam});
    }
}

void EventTranslator::releaseLetGoKeys(std::vector<MessageRecord>& out) {
    for (size_t i = 0; i < heldAcrossWindows.size();) {
        const int32_t sdlKey = heldAcrossWindows[i];
        if (keyHeld && keyHeld(sdlKey) == 1) {
            ++i;
            continue;
        }
        // Let go after SDL had already let go of it: SDL drops this release.
        SDL_Event release{};
        release.type = SDL_KEYUP;
        release.key.state = SDL_RELEASED;
        release.key.keysym.sym = sdlKey;
        translate(release, out);
    }
}

void EventTranslator::translateButton(const SDL_Event& event, bool down,
                                      std::vector<MessageRecord>& out) {
    const uint32_t flag = buttonFlag(event.button.button);
    if (flag == 0) {
        return;
    }
    if (down) {
        buttons |= flag;
    } else {
        buttons &= ~flag;
    }
    const bool doubleClick = down && event.button.clicks >= 2 && event.button.clicks % 2 == 0;
    uint32_t message = 0;
    switch (flag) {
        case MK_LBUTTON:
            message = !down ? WM_LBUTTONUP : doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
            break;
        case MK_RBUTTON:
            message = !down ? WM_RBUTTONUP : doubleClick ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
            break;
        default:
            message = !down ? WM_MBUTTONUP : doubleClick ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
            break;
    }
    out.push_back({message, mouseKeyFlags(), packCoordinates(event.button.x, event.button.y)});
}

void EventTranslator::translateWindow(const SDL_Event& event, std::vector<MessageRecord>& out) {
    if (windowId != 0 && event.window.windowID != windowId) {
        return;
    }
    switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            out.push_back({WM_CLOSE, 0, 0});
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            out.push_back({WM_SIZE, SIZE_MINIMIZED, 0});
            break;
        case SDL_WINDOWEVENT_RESTORED:
            out.push_back({WM_SIZE, SIZE_RESTORED, 0});
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            out.push_back({WM_SIZE, SIZE_MAXIMIZED, 0});
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.push_back({WM_SETFOCUS, 0, 0});
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.push_back({WM_KILLFOCUS, 0, 0});
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            out.push_back({WM_PAINT, 0, 0});
            break;
        case SDL_WINDOWEVENT_MOVED:
            out.push_back({WM_MOVE, 0, packCoordinates(event.window.data1, event.window.data2)});
            break;
        default:
            break;
    }
}

void EventTranslator::translate(const SDL_Event& event, std::vector<MessageRecord>& out) {
    switch (event.type) {
        case SDL_QUIT:
            out.push_back({WM_CLOSE, 0, 0});
            break;
        case SDL_WINDOWEVENT:
            translateWindow(event, out);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            translateKey(event, event.type == SDL_KEYDOWN, out);
            break;
        case SDL_TEXTINPUT:
            // SDL types the key's own character with Alt held.
            if (leftAlt || (rightAlt && !rightAltTypes)) {
                break;
            }
            for (const wchar_t character : stringToWString(event.text.text)) {
                out.push_back({WM_CHAR, static_cast<uint32_t>(character), KEY_REPEAT_ONE});
            }
            break;
        case SDL_MOUSEMOTION:
            buttons = buttonFlagsFromState(event.motion.state);
            out.push_back(
                {WM_MOUSEMOVE, mouseKeyFlags(), packCoordinates(event.motion.x, event.motion.y)});
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            translateButton(event, event.type == SDL_MOUSEBUTTONDOWN, out);
            break;
        default:
            break;
    }
}
