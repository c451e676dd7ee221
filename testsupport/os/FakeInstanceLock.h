#pragma once

#include "framework/os/InstanceLock.h"

// An instance lock for tests: whether another copy runs is scripted; signals to it and
// requests to this copy are counted.
class FakeInstanceLock : public InstanceLock {
public:
    bool tryAcquire() override {
        held = !anotherCopyRunning;
        return held;
    }
    void signalOwner() override { ++signalsSent; }
    bool takeRaiseRequest() override {
        if (!held || raiseRequests == 0) {
            return false;
        }
        --raiseRequests;
        return true;
    }

    bool anotherCopyRunning = false;
    int raiseRequests = 0;  // requests waiting for this copy, should it hold the lock
    bool held = false;
    int signalsSent = 0;
};
