#pragma once

#include "game/dialogs/DialogQuovelMahjong.h"

// The trophy cabinet: the building with one window per room and the shelves with the current
// player's twenty trophies; newly won trophies are awarded one after the other before the
// whole cabinet is revealed.
class DialogTrophy : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogTrophy)
public:
    explicit DialogTrophy(PropertyNode* definition);
    ~DialogTrophy() override;

    // When the current player has a trophy in state 1, opens "DIALOG_TROPHY" on the current
    // scene (a running transition's target) with the given after-close callback and answers
    // true; otherwise does nothing and answers false.
    static bool showIfNew(void* target, iGuiMethod::Callback callback);
};
