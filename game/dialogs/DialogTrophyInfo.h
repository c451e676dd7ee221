#pragma once

#include <cstdint>

#include "framework/gui/Label.h"
#include "framework/nodes/Sprite.h"
#include "game/dialogs/DialogQuovelMahjong.h"

class Trophy;

// The notice of a trophy won during play: it slides in from the left with a sound, shows the
// trophy's picture, header and text, waits, and slides out to the right; a click on it sends it
// away at once and still reaches the game screen below. When it has gone it leaves the scene
// and runs its after-close callback, through which the game screen opens its next notice.
class DialogTrophyInfo : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogTrophyInfo)
public:
    explicit DialogTrophyInfo(PropertyNode* definition);
    ~DialogTrophyInfo() override;

    // Set by the opener before the dialog is opened; not owned.
    void setTrophy(Trophy* value) { trophy = value; }
    Trophy* getTrophy() const { return trophy; }

    void show() override;
    // The exit from x to the right edge.
    void slideOut(int32_t fromX);
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;

    Label* getHeaderLabel() const { return headerLabel; }
    Label* getTextLabel() const { return textLabel; }

private:
    int32_t onGone(BaseObject* sender);

    Label* headerLabel = nullptr;
    Label* textLabel = nullptr;
    Sprite* trophySprite = nullptr;
    Trophy* trophy = nullptr;
    int32_t baseWidth = 0;
};
