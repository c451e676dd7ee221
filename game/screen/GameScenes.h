#pragma once

#include "framework/core/RefHolder.h"
#include "framework/scene/Scene.h"

// The building's scenes as the game reaches them: the application makes them by name at
// start-up and empties the list at shut-down. The splash has no slot.
struct GameScenes {
    RefHolder<Scene> casino;
    RefHolder<Scene> elevator;
    RefHolder<Scene> game;
    RefHolder<Scene> hallway;
    RefHolder<Scene> load;
    RefHolder<Scene> lobby;
    RefHolder<Scene> recroom;
    RefHolder<Scene> roof;
};
GameScenes& gameScenes();
