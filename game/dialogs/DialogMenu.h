#pragma once

#include <cstdint>

#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/rules/RoomKind.h"

// The in-game menu ("DIALOG_MENU") over the paused game: help, settings and the trophy cabinet
// open above it, stop asks first (its question by room kind), resume closes it.
class DialogMenu : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogMenu)
public:
    explicit DialogMenu(PropertyNode* definition);
    ~DialogMenu() override;

    int32_t onHelp(BaseObject* sender);
    int32_t onSettings(BaseObject* sender);
    int32_t onStop(BaseObject* sender);
    int32_t onResume(BaseObject* sender);
    int32_t onTrophy(BaseObject* sender);

    // The stop question's text key: the floors' own, the shared one in every other room.
    static const char* stopQuestionKey(RoomKind roomKind);
};
