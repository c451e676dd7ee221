#include "game/rules/PlayerFileReport.h"

#include <array>
#include <set>

#include "framework/platform/Folders.h"
#include "game/rules/GameHooks.h"

namespace PlayerFileReport {

namespace {

constexpr const char* REPORT_TITLE = "Quovel Mahjong";

std::array<bool, 3> failureTold{};
// Files left in place are met again at each read (a profile at each change of player).
std::set<std::string> heldFilesTold;

}  // namespace

bool saved(SavedFiles files, bool written) {
    bool& told = failureTold[static_cast<size_t>(files)];
    if (written) {
        told = false;
    } else if (!told) {
        told = true;
        GameHooks::showMessage(
            REPORT_TITLE, "Your progress could not be saved in the folder\n" + getGameDataFolder() +
                              "\nPlease make sure that this folder can be written to.");
    }
    return written;
}

void keptUnreadable(const std::string& stored, const std::string& keptAs) {
    if (keptAs.empty()) {
        if (!heldFilesTold.insert(stored).second) {
            return;
        }
        GameHooks::showMessage(REPORT_TITLE, "The file\n" + stored +
                                                 "\ncould not be read. It is left as it is, and "
                                                 "the game will not save over it.");
        return;
    }
    GameHooks::showMessage(REPORT_TITLE, "The file\n" + stored +
                                             "\ncould not be read. It is kept as\n" + keptAs +
                                             "\nand the game goes on without it.");
}

void reset() {
    failureTold.fill(false);
    heldFilesTold.clear();
}

}  // namespace PlayerFileReport
