#pragma once

#include <cstdint>

#include "game/dialogs/DialogQuovelMahjong.h"

// A lost level's notice with one continue button that lets the game screen go on and closes
// the notice.
class DialogGameOver : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogGameOver)
public:
    explicit DialogGameOver(PropertyNode* definition);
    ~DialogGameOver() override;

    int32_t onContinue(BaseObject* sender);
};
