#pragma once

#include <string>

#include "game/dialogs/DialogQuovelMahjong.h"

class Button;
class Label;
class Scene;

// The game's one question: a header, a message and the buttons "yes" and "no", made from the
// definition DIALOG_YESNO. Callers ask through `ask` and hear the answer only through the two
// callbacks; a button without a callback closes the question at once.
class DialogYesNo : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogYesNo)
public:
    explicit DialogYesNo(PropertyNode* definition);
    ~DialogYesNo() override;

    // The question of the two text keys, registered on the scene under the message key (a
    // question already there under that key is closed and replaced). Not yet opened. A
    // `message` given is asked in place of the message key's text.
    static DialogYesNo* ask(const std::string& messageKey, const std::string& headerKey,
                            const iGuiMethod::Bound& yes, const iGuiMethod::Bound& no, Scene* scene,
                            const std::wstring& message = std::wstring());
    // Binds the buttons, fills the texts and lays the dialog out around them: a header wider
    // than the message widens the dialog, the dialog grows to hold the message, button y
    // positions count from the bottom edge, and a one-line message sits lower.
    static void setup(DialogYesNo* dialog, const std::wstring& message, const std::wstring& header,
                      iGuiMethod::Bound yes, iGuiMethod::Bound no);

    Label* getHeader() const { return header; }
    Label* getMessage() const { return message; }
    Button* getYesButton() const { return yesButton; }
    Button* getNoButton() const { return noButton; }

private:
    // Components of the dialog, held by its tree.
    Label* header = nullptr;
    Label* message = nullptr;
    Button* yesButton = nullptr;
    Button* noButton = nullptr;
};
