#pragma once

#include <chrono>
#include <cstdint>

#include "framework/platform/ResourceManager.h"
#include "testsupport/WaitFor.h"

// The resource loader works in real time, while a test's clock moves only by the sleeps asked
// of it. While the loader has sections to load, each sleep of such a clock waits for the loader
// to end one pass, so that loading costs the program a number of sleeps, not a time that a busy
// machine could stretch past the program's own limits. Only a hang of the loader reaches the
// entry's time limit.
inline void waitForALoaderPass() {
    ResourceManager* manager = ResourceManager::getInstance();
    if (!manager || !manager->isLoaderRunning() || !manager->isReady() ||
        (!manager->nextPendingSection(ResourceManager::Queue::URGENT, true) &&
         !manager->nextPendingSection(ResourceManager::Queue::BACKGROUND, false))) {
        return;
    }
    const uint64_t passes = manager->getPassCount();
    manager->resumeLoader();
    // Polled often: a pass mostly takes well under a millisecond.
    waitFor([&] { return manager->getPassCount() != passes; }, std::chrono::microseconds(100));
}
