#include "framework/platform/InputHandler.h"

#include "framework/os/Cursor.h"
#include "framework/platform/GameWindow.h"

QUOVEL_DEFINE_TYPE(InputHandler, &Task::typeRecord, &WindowMessageListener::typeRecord)

namespace {

constexpr int32_t HAND_CURSOR = 3;

std::array<uint8_t, 256> keyState{};
bool keyStateCleared = false;
int32_t mouseX = 0;
int32_t mouseY = 0;
uint32_t mouseButtons = 0;
int32_t hoverCount = 0;

void setKey(uint32_t key, uint8_t down) {
    if (key < keyState.size()) {
        keyState[key] = down;
    }
}

// A packed coordinate made safe: negative ones (above 60000 unsigned) become 0, and beyond the
// window's size becomes that size.
int32_t clampCoordinate(uint32_t value, int32_t limit) {
    if (value > InputHandler::FAR_COORDINATE) {
        return 0;
    }
    if (limit >= 0 && value > static_cast<uint32_t>(limit)) {
        return limit;
    }
    return static_cast<int32_t>(value);
}

bool isMouseMessage(uint32_t message) {
    return message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK;
}

}  // namespace

InputHandler::InputHandler() {
    if (!keyStateCleared) {
        keyState.fill(0);
        keyStateCleared = true;
    }
}

void InputHandler::onWindowMessage(uint32_t message, uint32_t wParam, uint32_t lParam) {
    if (!isActive()) {
        return;
    }
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            setKey(wParam, 1);
            events.push_back({message, wParam, lParam});
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            setKey(wParam, 0);
            events.push_back({message, wParam, lParam});
            break;
        case WM_CHAR:
            events.push_back({message, wParam, lParam});
            break;
        default:
            if (isMouseMessage(message)) {
                mouseX = static_cast<int32_t>(loWord(lParam));
                mouseY = static_cast<int32_t>(hiWord(lParam));
                mouseButtons = wParam;
                events.push_back({message, wParam, lParam});
            }
            break;
    }
}

void InputHandler::addListener(iInputListener* listener) {
    if (!listener || listener == &listeners) {
        return;
    }
    listeners.removeListener(listener);
    if (iInputListenerContainer::isContainer(listener) &&
        static_cast<iInputListenerContainer*>(listener)->isModal()) {
        listeners.cancelInput();
    }
    listeners.appendListener(listener);
}

void InputHandler::removeListener(iInputListener* listener) {
    listeners.removeListener(listener);
}

void InputHandler::setActive(bool value) {
    Task::setActive(value);
    if (!value) {
        clearQueue();
    }
}

void InputHandler::update(int32_t) {
    if (events.empty()) {
        addEdgeMove();
    }
    // Taken off the queue before it is handed on: a listener may clear the queue (a scene
    // change disables this handler) or cause new messages while it runs.
    while (!events.empty()) {
        const MessageRecord event = events.front();
        events.pop_front();
        replay(event);
    }
}

void InputHandler::addEdgeMove() {
    GameWindow* window = GameWindow::getInstance();
    int32_t x = 0;
    int32_t y = 0;
    if (!window || !window->hasFocus() || !window->getCursorPosition(x, y)) {
        return;
    }
    if (x > 0 && x < window->getWidth() && y > 0 && y < window->getHeight()) {
        return;
    }
    mouseX = x;
    mouseY = y;
    mouseButtons = 0;
    events.push_back({WM_MOUSEMOVE, 0, packCoordinates(x, y)});
}

void InputHandler::replay(const MessageRecord& event) {
    const int32_t key = static_cast<int32_t>(event.wParam);
    switch (event.message) {
        case WM_KEYDOWN:
            setKey(event.wParam, 1);
            onKeyDown(key);
            return;
        case WM_KEYUP:
            setKey(event.wParam, 0);
            onKeyUp(key);
            return;
        case WM_CHAR:
            onChar(key);
            return;
        default:
            break;
    }
    if (!isMouseMessage(event.message)) {
        return;  // the system key messages stop here
    }
    GameWindow* window = GameWindow::getInstance();
    const int32_t x = clampCoordinate(loWord(event.lParam), window ? window->getWidth() : -1);
    const int32_t y = clampCoordinate(hiWord(event.lParam), window ? window->getHeight() : -1);
    const auto buttons = static_cast<int32_t>(event.wParam);
    mouseX = x;
    mouseY = y;
    mouseButtons = event.wParam;
    switch (event.message) {
        case WM_MOUSEMOVE:
            onMouseMove(x, y, buttons);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            onLeftButtonDown(x, y, buttons, event.message == WM_LBUTTONDBLCLK);
            break;
        case WM_LBUTTONUP:
            onLeftButtonUp(x, y, buttons);
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            onRightButtonDown(x, y, buttons, event.message == WM_RBUTTONDBLCLK);
            break;
        case WM_RBUTTONUP:
            onRightButtonUp(x, y, buttons);
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            onMiddleButtonDown(x, y, buttons, event.message == WM_MBUTTONDBLCLK);
            break;
        case WM_MBUTTONUP:
            onMiddleButtonUp(x, y, buttons);
            break;
        default:
            break;
    }
}

bool InputHandler::onKeyDown(int32_t key) {
    return listeners.onKeyDown(key);
}

bool InputHandler::onKeyUp(int32_t key) {
    return listeners.onKeyUp(key);
}

bool InputHandler::onChar(int32_t character) {
    return listeners.onChar(character);
}

bool InputHandler::onMouseMove(int32_t x, int32_t y, int32_t buttons) {
    lastX = x;
    lastY = y;
    const bool consumed = listeners.onMouseMove(x, y, buttons);
    if (GameWindow* window = GameWindow::getInstance()) {
        window->setCursorKind(hoverCount >= 1 ? HAND_CURSOR : Cursor::KIND_ARROW);
    }
    return consumed;
}

bool InputHandler::onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) {
    return listeners.onLeftButtonDown(x, y, buttons, doubleClick);
}

bool InputHandler::onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) {
    return listeners.onLeftButtonUp(x, y, buttons);
}

bool InputHandler::onMiddleButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) {
    return listeners.onMiddleButtonDown(x, y, buttons, doubleClick);
}

bool InputHandler::onMiddleButtonUp(int32_t x, int32_t y, int32_t buttons) {
    return listeners.onMiddleButtonUp(x, y, buttons);
}

bool InputHandler::onRightButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) {
    return listeners.onRightButtonDown(x, y, buttons, doubleClick);
}

bool InputHandler::onRightButtonUp(int32_t x, int32_t y, int32_t buttons) {
    return listeners.onRightButtonUp(x, y, buttons);
}

void* InputHandler::castTo(const TypeRecord* type) {
    if (type == &iInputListener::typeRecord) {
        return static_cast<iInputListener*>(&listeners);
    }
    if (type == &iInputListenerContainer::typeRecord) {
        return static_cast<iInputListenerContainer*>(&listeners);
    }
    if (type == &WindowMessageListener::typeRecord) {
        return static_cast<WindowMessageListener*>(this);
    }
    return Task::castTo(type);
}

bool InputHandler::isKeyDown(uint32_t key) {
    return key < keyState.size() && keyState[key] != 0;
}

int32_t InputHandler::getMouseX() {
    return mouseX;
}

int32_t InputHandler::getMouseY() {
    return mouseY;
}

int32_t InputHandler::getHoverCount() {
    return hoverCount;
}

void InputHandler::raiseHoverCount() {
    ++hoverCount;
}

void InputHandler::lowerHoverCount() {
    --hoverCount;
}
