// The player list and the current player's profile, read into the game's profile class,
// written back and read again. The input is the list, then (after the first 0 byte, if any)
// the profile.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "framework/platform/AbstractPlayer.h"
#include "framework/platform/PlayerManager.h"
#include "game/app/TrophyList.h"
#include "game/rules/TuningConstants.h"

namespace {

// The globals a profile reads: token bounds, tuning constants and the shipped trophies.
void profileReady() {
    static const bool ready = [] {
        fuzz::files();
        BasicProperties::createInstance();
        BasicProperties& table = *BasicProperties::instance();
        table.setInteger("MIN_NUM_SHUFFLES", 2);
        table.setInteger("MAX_NUM_SHUFFLES", 5);
        table.setInteger("MIN_NUM_HINTS", 3);
        table.setInteger("MAX_NUM_HINTS", 9);
        loadTuningConstants();
        return true;
    }();
    (void)ready;
}

void putTrophies() {
    static const std::vector<uint8_t> bytes = [] {
        std::ifstream file(std::filesystem::path(QUOVEL_SOURCE_DIR) / TrophyList::DEFINITION_FILE,
                           std::ios::binary);
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    }();
    fuzz::putFile(TrophyList::DEFINITION_FILE, bytes.data(), bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::inputLimit) {
        return 0;
    }
    profileReady();
    fuzz::clearFiles();
    putTrophies();
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
