// The player list and the current player's profile, read into the game's profile class,
// written back and read again. The input is the list, then (after the first 0 byte, if any)
// the profile.
#include <algorithm>
#include <string>

#include "GameSupport.h"
#include "framework/platform/AbstractPlayer.h"
#include "framework/platform/PlayerManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::INPUT_LIMIT) {
        return 0;
    }
    fuzz::clearFiles();
    fuzz::profileReady();
    const uint8_t* split = std::find(data, data + size, uint8_t{0});
    const size_t listSize = static_cast<size_t>(split - data);
    const uint8_t* profile = split == data + size ? split : split + 1;

    RefHolder<PlayerManager> manager(new PlayerManager("1", false));
    fuzz::putFile(manager->getPlayersFileName(), data, listSize);
    manager->loadPlayers();
    if (AbstractPlayer* current = manager->getCurrentPlayer()) {
        fuzz::putFile(manager->getPlayerFilePath(current->getName()), profile,
                      static_cast<size_t>(data + size - profile));
        manager->loadPlayer(current);
    }
    manager->savePlayers();
    RefHolder<PlayerManager> again(new PlayerManager("1", false));
    again->loadPlayers();
    if (again->getPlayers().size() != manager->getPlayers().size()) {
        __builtin_trap();
    }
    return 0;
}
