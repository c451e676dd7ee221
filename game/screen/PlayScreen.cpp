#include "game/screen/PlayScreen.h"

#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Image.h"
#include "framework/scene/Scene.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/screen/GameDialogHost.h"

QUOVEL_DEFINE_TYPE(PlayScreen, &Interface::typeRecord)

RoomKind currentRoomKind() {
    Level* level = Game::currentLevel();
    return level ? level->getGameMode() : RoomKind::FLOORS;
}

SideBoard* currentSideBoard() {
    Game* game = Game::current();
    return game && game->getLayout() ? game->getLayout()->getSideBoard() : nullptr;
}

RefHolder<Image> gameImage(const std::string& key) {
    return findOrLoad<Image>(key, "game");
}

PlayScreen* PlayScreen::fromHost() {
    GameDialogHost* host = GameDialogHost::get();
    Scene* scene = host ? host->getGameScene() : nullptr;
    return scene ? interfaceCast<PlayScreen>(scene) : nullptr;
}
