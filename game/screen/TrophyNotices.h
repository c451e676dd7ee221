#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/RefHolder.h"
#include "game/rules/TrophyId.h"

class BaseObject;
class Dialog;
class PlayScreen;

// The game screen's trophy notices: an earned trophy shows its notice; one that comes while
// another shows waits (the newest first); one that cannot show now is dropped. The game scene
// owns it.
class TrophyNotices {
public:
    explicit TrophyNotices(PlayScreen& play);

    void awardTrophy(TrophyId id);
    void showTrophyInfo(int32_t index);
    int32_t onTrophyInfoClosed(BaseObject* sender);
    // The level is torn down: the waiting notices and the open one are forgotten.
    void clear();
    const std::vector<int32_t>& getTrophyQueue() const { return trophyQueue; }
    Dialog* getTrophyPopup() const { return trophyPopup.get(); }

private:
    PlayScreen& play;
    RefHolder<Dialog> trophyPopup;
    std::vector<int32_t> trophyQueue;
};
