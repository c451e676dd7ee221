#pragma once

#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"
#include "framework/gui/Button.h"
#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/screen/TypeLabel.h"

// The host's speech box: one numbered hint ("DORRICK_HINT_" n) with the player's name in place
// of "%n", grown to fit its text, typed out from the moment it is filled (a click on the text
// shows it whole), and an OK button that closes it at any time and hands back to the opener
// through the after-close callback.
class DialogDorrickHint : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogDorrickHint)
public:
    explicit DialogDorrickHint(PropertyNode* definition);
    ~DialogDorrickHint() override;

    // The base's show, then the host's own sound.
    void show() override;
    // Fills the box with hint n, starts typing it, and grows the box and moves the OK button
    // down by the text's height; called before it is opened.
    void showHint(int32_t n);

    // Hint 3's star count for a best score: "1" below the silver score, "2" from silver and
    // "3" from gold.
    static std::wstring starsFor(int32_t best, int32_t silver, int32_t gold);
    // The text with every "%n" of the original replaced by the name once.
    static std::wstring withName(const std::wstring& text, const std::wstring& name);

    Button* getOkButton() const { return okButton.get(); }
    TypeLabel* getTextLabel() const { return textLabel.get(); }

private:
    int32_t onOk(BaseObject* sender);

    RefHolder<Button> okButton;
    RefHolder<TypeLabel> textLabel;
    // The layout of the definition: a box made once and filled again starts from it each time.
    int32_t baseHeight = 0;
    int32_t okBaseY = 0;
};
