#pragma once

#include <cstdint>

#include "game/dialogs/DialogQuovelMahjong.h"

class Label;

// The credits: the text of its MESSAGE label scrolls up through a band of the dialog
// ("clipheight" tall, from the label's own top edge) after "startdelay" ms, over
// "scrollduration" ms, and the dialog closes itself "enddelay" ms later; OK closes it at once.
// The scroll starts from the top at every showing, a dialog kept from an earlier one included.
class DialogCredits : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogCredits)
public:
    explicit DialogCredits(PropertyNode* definition);
    ~DialogCredits() override;

    // The base show, then the scroll from the top.
    void show() override;

    Label* getMessage() const { return message; }

private:
    void startScroll();

    Label* message = nullptr;
    int32_t messageX = 0;
    int32_t messageY = 0;
    int32_t clipHeight = 0;
    int32_t scrollDuration = 0;
    int32_t startDelay = 0;
    int32_t endDelay = 0;
};
