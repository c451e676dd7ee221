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

    static int32_t onHelp(void* target, BaseObject* sender);
    static int32_t onSettings(void* target, BaseObject* sender);
    static int32_t onStop(void* target, BaseObject* sender);
    static int32_t onResume(void* target, BaseObject* sender);
    static int32_t onTrophy(void* target, BaseObject* sender);

    // The stop question's text key: the floors' own, the shared one in every other room.
    static const char* stopQuestionKey(RoomKind roomKind);
};
