#include "game/screen/GameScenes.h"

namespace {
GameScenes scenes;
}  // namespace

GameScenes& gameScenes() {
    return scenes;
}
