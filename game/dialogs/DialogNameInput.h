#pragma once

#include <cstdint>

#include "framework/core/RefHolder.h"
#include "game/dialogs/DialogQuovelMahjong.h"

class Dialog;
class InputLabel;

// Asks for a player's name and makes that player current: a new profile for a new name, the
// existing one for a known name (names compare exactly). With no player yet it has no cancel
// button and can only be left with a name. Opened from the player selection it hides that
// dialog while it shows, closes it on OK and shows it again on cancel.
class DialogNameInput : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogNameInput)
public:
    explicit DialogNameInput(PropertyNode* definition);
    ~DialogNameInput() override;

    // The plain dialog show without the fade-in; clears the field and gives it the keyboard.
    void show() override;
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) override;

    // The dialog that opened this one; held so it can be shown again on cancel.
    void setParentDialog(Dialog* dialog);
    Dialog* getParentDialog() const { return parentDialog.get(); }
    InputLabel* getNameInput() const { return nameInput; }

    int32_t onOk(BaseObject* sender);
    int32_t onCancel(BaseObject* sender);
    int32_t onKey(BaseObject* sender);

private:
    void enableOk();
    void focusInput();

    // Held by the dialog's tree.
    InputLabel* nameInput = nullptr;
    RefHolder<Dialog> parentDialog;
};
