#pragma once

#include <array>
#include <cstdint>

#include "framework/core/RefHolder.h"
#include "game/dialogs/DialogQuovelMahjong.h"

class Button;
class Label;
class Sprite;

// Lists the players (the first five) as a column of name buttons: a click makes that player
// current at once, a click on an empty row or the add button asks for a new name, the remove
// button asks whether to remove the current player. A frame marks the current player's row.
class DialogPlayerSelect : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogPlayerSelect)
public:
    static constexpr int32_t ROWS = 5;

    // The dialog keys, then "namebutton" and "namelabel" (definitions the object factory builds
    // per row) and "spacing" (pixels between rows).
    explicit DialogPlayerSelect(PropertyNode* definition);
    ~DialogPlayerSelect() override;

    // Visible, its rows filled anew, the base show, then the dialog takes the outline of its
    // background picture.
    void show() override;
    // Fills the rows from the player list and enables the add and remove buttons.
    void rebuildList();

    int32_t getSelectedIndex() const { return selectedIndex; }
    GameNode* getNameButton(int32_t row) const;
    Label* getNameLabel(int32_t row) const;
    Button* getAddButton() const { return addButton; }
    Button* getRemoveButton() const { return removeButton; }
    Sprite* getBorder() const { return border; }

    int32_t onPlayerChosen(BaseObject* sender);
    int32_t onAdd(BaseObject* sender);
    int32_t onRemove(BaseObject* sender);
    int32_t onRemoveConfirmed(BaseObject* sender);
    int32_t onOk(BaseObject* sender);

private:
    void moveBorderTo(int32_t row);
    void stampBackgroundAlpha();

    // Components, held by the dialog's tree.
    std::array<GameNode*, ROWS> nameButtons{};
    std::array<Label*, ROWS> nameLabels{};
    int32_t selectedIndex = -100;
    Button* addButton = nullptr;
    Button* removeButton = nullptr;
    Button* okButton = nullptr;
    Sprite* border = nullptr;
    int32_t borderOffsetY = -1000;
    Sprite* background = nullptr;
};
