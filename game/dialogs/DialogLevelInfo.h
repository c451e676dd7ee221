#pragma once

#include <cstdint>

#include "framework/core/RefHolder.h"
#include "framework/gui/Label.h"
#include "game/dialogs/DialogQuovelMahjong.h"

class Level;

// The short notice before a level: the game type's name and where it is played (the room of a
// floor, or the level of a casino or roof run). It opens with the host's sound, has no buttons
// and closes by itself a fixed time after its fade-in, handing on through its after-close
// callback.
class DialogLevelInfo : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogLevelInfo)
public:
    explicit DialogLevelInfo(PropertyNode* definition);
    ~DialogLevelInfo() override;

    // The base's show, the host's sound, then the close after LEVEL_INFO_DELAY.
    void show() override;
    // Fills both labels from the level; called before the dialog opens.
    void setTexts(const Level* level);

    Label* getGameTypeLabel() const { return gameTypeLabel.get(); }
    Label* getRoomLabel() const { return roomLabel.get(); }

private:
    RefHolder<Label> gameTypeLabel;
    RefHolder<Label> roomLabel;
};
