#pragma once

#include <cstdint>
#include <deque>

#include "framework/os/EventSource.h"

// An event source for tests: records are queued by the test, the cursor position and whether
// capture works are scripted.
class FakeEventSource : public EventSource {
public:
    bool nextMessage(MessageRecord& record) override {
        if (queue.empty()) {
            return false;
        }
        record = queue.front();
        queue.pop_front();
        return true;
    }
    void postQuit(uint32_t code) override { queue.push_back({WM_QUIT, code, 0}); }
    bool cursorPosition(int32_t& x, int32_t& y) override {
        if (!hasWindow) {
            return false;
        }
        x = cursorX;
        y = cursorY;
        return true;
    }
    bool setCapture(bool capture) override {
        if (!captureWorks) {
            return false;
        }
        captured = capture;
        return true;
    }

    void serviceQueue() override { ++queueServices; }

    void push(const MessageRecord& record) { queue.push_back(record); }

    std::deque<MessageRecord> queue;
    bool hasWindow = true;
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    bool captureWorks = true;
    bool captured = false;
    int32_t queueServices = 0;
};
