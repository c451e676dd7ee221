#pragma once

#include <cstdint>
#include <vector>

#include "framework/gui/Label.h"
#include "game/dialogs/DialogQuovelMahjong.h"

// A small text box that pops up over the trophy cabinet: it grows from nothing about its
// centre, then fades its labels in; it goes by fading them out, then shrinking. A request in
// the middle of an animation carries on from where the animation stands. Takes no clicks.
class DialogInfoPop : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogInfoPop)
public:
    enum PopState : int32_t {
        HIDDEN = 0,
        APPEARING = 1,
        SHOWN_TOO = 2,  // treated like SHOWN, never set
        SHOWN = 3,
        FADING = 4,
        SHRINKING = 5,
    };

    explicit DialogInfoPop(PropertyNode* definition);
    ~DialogInfoPop() override;

    void popIn();
    void popOut();
    // Hidden at once: state 0, invisible, scale 0, the labels transparent.
    void hideNow();

    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;

    int32_t getPopState() const { return popState; }

protected:
    // The labels that fade; the derived dialog lists its own.
    void addFadingLabel(Label* label);
    // The components are laid out from the box's top-left corner while the box is placed by
    // its centre: after each change of size they move back to that corner.
    void placeComponents();

private:
    void onScaledIn();
    void scaleOut();
    void fadeLabelsTo(int32_t alpha);
    // Drawn as one picture while it scales.
    void startScaling();
    int32_t onScaledInOf(BaseObject* sender);
    int32_t onShownOf(BaseObject* sender);
    int32_t scaleOutOf(BaseObject* sender);
    int32_t onHiddenOf(BaseObject* sender);

    std::vector<Label*> labels;
    int32_t popState = HIDDEN;
};
