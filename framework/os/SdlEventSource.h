#pragma once

#include <deque>
#include <vector>

#include "framework/os/EventSource.h"
#include "framework/os/EventTranslator.h"

class SdlDisplay;

// Window messages from SDL's event queue, translated by an EventTranslator for the display's
// current window. Renderer resets are handed to the display instead of becoming messages. A
// termination signal caught by the program's handlers (see TerminationSignals) ends the message
// loop as the game's own quit does: a WM_QUIT with signalQuitCode.
class SdlEventSource : public EventSource {
public:
    explicit SdlEventSource(SdlDisplay& display);
    ~SdlEventSource() override;
    SdlEventSource(const SdlEventSource&) = delete;
    SdlEventSource& operator=(const SdlEventSource&) = delete;

    bool nextMessage(MessageRecord& record) override;
    void postQuit(uint32_t code) override;
    bool cursorPosition(int32_t& x, int32_t& y) override;
    bool setCapture(bool capture) override;
    void serviceQueue() override;

    const EventTranslator& translator() const { return eventTranslator; }

private:
    // How long after an event SDL is pumped every frame, and how often it is pumped when
    // nothing happens.
    static constexpr uint32_t BUSY_PUMPS_MS = 500;
    static constexpr uint32_t QUIET_PUMP_MS = 250;
    // How often the place of a pointer resting outside the window is asked of the system.
    static constexpr uint32_t RESTING_POINTER_MS = 100;

    // Whether SDL's pump is worth its cost now: always, except on X while the connection has
    // no event for it and nothing happened for a while (most frames of a still screen).
    bool pumpDue();

    SdlDisplay& display;
    // Whether the video driver tells the pointer's place on the screen: the display keeps the
    // driver it started for its whole life, so it is asked once.
    bool screenPosition;
    bool eventsStarted = false;
    EventTranslator eventTranslator;
    std::deque<MessageRecord> pending;
    std::vector<MessageRecord> translated;
    uint32_t lastPump = 0;
    uint64_t presentsChecked = 0;
    uint32_t lastEvent = 0;
    // The pointer's last place on the screen as asked while it was outside the window, when it
    // was asked, and whether it had not moved since the question before.
    bool outsideKnown = false;
    bool outsideResting = false;
    int outsideX = 0;
    int outsideY = 0;
    uint32_t outsideAsked = 0;
    bool eventSeen = false;
    bool quitPosted = false;
    uint32_t quitCode = 0;
};
