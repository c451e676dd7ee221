#pragma once

// Driving scenes headless: waiting for the resource loader, and running frames of the scene
// manager until something holds.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "framework/platform/ResourceManager.h"
#include "framework/scene/SceneManager.h"
#include "testsupport/WaitFor.h"

inline constexpr int32_t SCENE_FRAME_MS = 16;

// Lets the loader finish the sections asked for.
inline void waitForLoader(ResourceManager* resources) {
    waitFor(
        [&] {
            resources->resumeLoader();
            return !resources->nextPendingSection(ResourceManager::Queue::URGENT, true);
        },
        std::chrono::milliseconds(2));
}

// Runs frames until the condition holds: the milliseconds that took, or -1.
template <class Condition>
int32_t runFramesUntil(SceneManager* manager, Condition condition, int32_t limitMs) {
    for (int32_t time = SCENE_FRAME_MS; time <= limitMs; time += SCENE_FRAME_MS) {
        manager->update(SCENE_FRAME_MS);
        if (condition()) {
            return time;
        }
    }
    return -1;
}
