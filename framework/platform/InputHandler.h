#pragma once

#include <array>
#include <cstdint>
#include <deque>

#include "framework/os/Messages.h"
#include "framework/platform/MessageHandler.h"
#include "framework/platform/Task.h"
#include "framework/platform/iInputListenerContainer.h"

// A scene's input: listens to the game window's messages, keeps the process-wide key and mouse
// state, queues keyboard and mouse messages as they arrive, and once per frame (as a task)
// replays the queue, with coordinates made safe, into its listener container, where widgets
// and dialogs consume them. When nothing is queued and the pointer rests on or beyond the
// client area's edge, a mouse move at that position is made up, so hover states follow a
// pointer that left the window.
//
// Its own rule for adding listeners is to append (the container's own rule puts the newest
// first). Disabling it (the task's active flag) drops what is queued, so a scene that loses
// input never receives stale clicks.
class InputHandler : public Task, public WindowMessageListener {
    QUOVEL_TYPE(InputHandler)
public:
    // A packed coordinate above this is a negative one (a release outside the window).
    static constexpr uint32_t FAR_COORDINATE = 60000;

    InputHandler();
    ~InputHandler() override = default;
    InputHandler(const InputHandler&) = delete;
    InputHandler& operator=(const InputHandler&) = delete;

    // Key and mouse messages while enabled: the shared state is updated and the message queued.
    void onWindowMessage(uint32_t message, uint32_t wParam, uint32_t lParam) override;
    // Moves the listener to the back of the container. A modal container first cancels the
    // input of everything already there. Null is ignored.
    void addListener(iInputListener* listener);
    // The container's removal (the listener's input is cancelled, nested containers too).
    void removeListener(iInputListener* listener);
    // Enables or disables; disabling drops the queue.
    void setActive(bool value) override;
    void clearQueue() { events.clear(); }
    // The frame's replay.
    void update(int32_t elapsedMs) override;

    // The ten input events, handed to the container. A mouse move also records the position
    // and chooses the cursor: the hand while any widget is hovered, else the arrow.
    bool onKeyDown(int32_t key);
    bool onKeyUp(int32_t key);
    bool onChar(int32_t character);
    bool onMouseMove(int32_t x, int32_t y, int32_t buttons);
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick);
    bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons);
    bool onMiddleButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick);
    bool onMiddleButtonUp(int32_t x, int32_t y, int32_t buttons);
    bool onRightButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick);
    bool onRightButtonUp(int32_t x, int32_t y, int32_t buttons);

    // Answers the listener and container types with the container part.
    void* castTo(const TypeRecord* type) override;
    iInputListenerContainer& getContainer() { return listeners; }
    size_t getQueueLength() const { return events.size(); }
    int32_t getLastX() const { return lastX; }
    int32_t getLastY() const { return lastY; }

    // Process-wide input state, shared by every input handler and read by the GUI.
    static bool isKeyDown(uint32_t key);
    static int32_t getMouseX();
    static int32_t getMouseY();
    // How many clickable widgets the pointer is over; widgets raise it when they become
    // hovered and lower it when they stop being hovered.
    static int32_t getHoverCount();
    static void raiseHoverCount();
    static void lowerHoverCount();

private:
    // The container part; exposes appending to the handler.
    class Listeners : public iInputListenerContainer {
    public:
        using iInputListenerContainer::appendListener;
    };

    // Queues the move that keeps hover states right while the pointer is outside.
    void addEdgeMove();
    void replay(const MessageRecord& event);

    Listeners listeners;
    std::deque<MessageRecord> events;
    int32_t lastX = 0;
    int32_t lastY = 0;
};
