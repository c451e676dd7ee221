// Saved games: a game restored from its file, written back, and played a little (a hint, the
// pair of the hint clicked, everything undone).
#include "GameSupport.h"
#include "game/rules/Game.h"
#include "game/rules/Tile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::INPUT_LIMIT) {
        return 0;
    }
    fuzz::gameReady();
    RefHolder<PropertyStore> store = fuzz::parseStore(data, size);
    if (!store || !Game::restoreCurrent(store->getChildNode("game"))) {
        return 0;
    }
    Game* game = Game::current();
    RefHolder<PropertyNode> written(new PropertyNode("game"));
    game->save(written.get());
    fuzz::playHint(*game);
    for (int undo = 0; undo < 8 && !game->getUndoHistory().empty(); ++undo) {
        game->undo();
    }
    game->restartLevel();
    Game::releaseCurrent();
    return 0;
}
