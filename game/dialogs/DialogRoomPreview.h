#pragma once

#include <array>
#include <cstdint>

#include "framework/core/RefHolder.h"
#include "framework/gui/Label.h"
#include "framework/nodes/Sprite.h"
#include "game/dialogs/DialogQuovelMahjong.h"

class Level;

// The card a hallway shows while the mouse rests on a door: the room's layout in miniature
// (or, when the layout cannot be read, that the room cannot be played), its game type, the
// silver and gold scores and the player's record of the room. It grows into
// place, fades its contents in, and on closing fades them out and shrinks away; a new hover in
// any phase goes on from where the card stands. It never takes the mouse from the hallway.
class DialogRoomPreview : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogRoomPreview)
public:
    enum State : int32_t { CLOSED = 0, OPENING = 1, OPEN = 3, FADING_OUT = 4, SHRINKING = 5 };

    explicit DialogRoomPreview(PropertyNode* definition);
    ~DialogRoomPreview() override;

    // The base's show, the contents made transparent, the card centred on its position at
    // scale 0 and hidden.
    void show() override;
    void updateBackground() override;
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) override;

    // Fills the card for the level (its room's record from the current player).
    void setGameType(Level* level);
    void open();
    void close();
    // Back to closed at once, hidden and at scale 0.
    void resetClosed();

    int32_t getPreviewState() const { return previewState; }
    Label* getLabel(int32_t index) const { return labels[static_cast<size_t>(index)].get(); }
    Sprite* getPreviewSprite() const { return previewSprite.get(); }

    // Label order of getLabel.
    enum LabelIndex : int32_t {
        GAMETYPE = 0,
        BESTSCORE,
        BESTTIME,
        TIMESCOMPLETED,
        TIMESPLAYED,
        GOLD,
        SILVER,
        DAMAGED,
        LABEL_COUNT
    };

private:
    int32_t onGrown(BaseObject* sender);
    int32_t onOpened(BaseObject* sender);
    int32_t onShrink(BaseObject* sender);
    int32_t onClosed(BaseObject* sender);
    void findWidgets();
    void fillRecord();
    void fadeContents(int32_t to);
    void shrink();
    void addBlocking(Modifier* modifier);

    RefHolder<Sprite> previewSprite;
    std::array<RefHolder<Label>, LABEL_COUNT> labels;
    std::array<RefHolder<Sprite>, 4> lines;
    RefHolder<Level> shownLevel;
    int32_t previewState = CLOSED;
};
