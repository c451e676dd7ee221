#include "game/screen/PlayScreen.h"

#include "framework/scene/Scene.h"
#include "game/rules/Game.h"
#include "game/rules/Level.h"
#include "game/screen/GameDialogHost.h"

QUOVEL_DEFINE_TYPE(PlayScreen, &Interface::typeRecord)

RoomKind currentRoomKind() {
    Level* level = Game::currentLevel();
    return level ? level->getGameMode() : RoomKind::FLOORS;
}

PlayScreen* PlayScreen::fromHost() {
    GameDialogHost* host = GameDialogHost::get();
    Scene* scene = host ? host->getGameScene() : nullptr;
    return scene ? interfaceCast<PlayScreen>(scene) : nullptr;
}
