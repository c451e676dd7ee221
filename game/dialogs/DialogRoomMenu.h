#pragma once

#include <cstdint>

#include "game/dialogs/DialogQuovelMahjong.h"

// The menu of the rooms where a game is chosen ("DIALOG_ROOM_MENU"): help and settings open
// above it, the lobby button leaves the room at once, resume closes it.
class DialogRoomMenu : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogRoomMenu)
public:
    explicit DialogRoomMenu(PropertyNode* definition);
    ~DialogRoomMenu() override;

    int32_t onHelp(BaseObject* sender);
    int32_t onSettings(BaseObject* sender);
    // Closes the menu without its fade and goes to the lobby through the default transition.
    int32_t onLobby(BaseObject* sender);
};
