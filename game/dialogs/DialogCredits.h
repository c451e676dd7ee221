#pragma once

#include <cstdint>

#include "game/dialogs/DialogQuovelMahjong.h"

class Label;

// The credits: the text of its MESSAGE label scrolls up through a band of the dialog
// ("clipheight" tall, from the label's own top edge) after "startdelay" ms, over
// "scrollduration" ms, and the dialog closes itself "enddelay" ms later; OK closes it at once.
// The scroll is set up when the dialog is built, right before it opens.
class DialogCredits : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogCredits)
public:
    explicit DialogCredits(PropertyNode* definition);
    ~DialogCredits() override;

    Label* getMessage() const { return message; }

private:
    Label* message = nullptr;
    int32_t clipHeight = 0;
    int32_t scrollDuration = 0;
    int32_t startDelay = 0;
    int32_t endDelay = 0;
};
