#include "game/dialogs/DialogYesNo.h"

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/scene/Scene.h"

QUOVEL_DEFINE_TYPE(DialogYesNo, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogYesNo)

namespace {

// A one-line message moves down by this and the header and buttons by half of it.
constexpr int32_t ONE_LINE_SHIFT = 10;
constexpr int32_t ONE_LINE_HALF_SHIFT = 5;

}  // namespace

DialogYesNo::DialogYesNo(PropertyNode* definition) : DialogQuovelMahjong(definition) {}

DialogYesNo::~DialogYesNo() = default;

DialogYesNo* DialogYesNo::ask(const std::string& messageKey, const std::string& headerKey,
                              const iGuiMethod::Bound& yes, const iGuiMethod::Bound& no,
                              Scene* scene, const std::wstring& message) {
    if (!scene) {
        return nullptr;
    }
    if (Dialog* previous = scene->findDialog(messageKey)) {
        scene->closeDialog(previous);
        scene->dropDialog(messageKey);
    }
    auto* dialog = objectCast<DialogYesNo>(scene->getDialog("DIALOG_YESNO", messageKey));
    if (!dialog) {
        return nullptr;
    }
    setup(dialog, message.empty() ? getBasicText(messageKey) : message, getBasicText(headerKey),
          yes, no);
    return dialog;
}

void DialogYesNo::setup(DialogYesNo* dialog, const std::wstring& messageText,
                        const std::wstring& headerText, iGuiMethod::Bound yes,
                        iGuiMethod::Bound no) {
    const iGuiMethod::Bound close = callback<&Dialog::removeFromScene>(dialog);
    yes = yes.function ? yes : close;
    no = no.function ? no : close;
    dialog->message = objectCast<Label>(dialog->findChild("MESSAGE"));
    dialog->header = objectCast<Label>(dialog->findChild("HEADER"));
    iInputListenerContainer* container = &dialog->getComponentsContainer();
    dialog->yesButton = objectCast<Button>(dialog->connect("BUTTON_YES", yes, container));
    dialog->noButton = objectCast<Button>(dialog->connect("BUTTON_NO", no, container));
    // The definition must hold all four; a broken one shows what it has and lays nothing out.
    Label* message = dialog->message;
    Label* header = dialog->header;
    if (!message || !header || !dialog->yesButton || !dialog->noButton) {
        return;
    }
    header->setText(headerText);
    message->setText(messageText);
    header->renderText();
    message->renderText();

    // A header wider than the message widens the dialog by the difference. The message takes
    // the new width between its margins; everything else keeps its place relative to the
    // centre, so the header stays centred and the buttons stay a centred pair.
    const int32_t wider = header->getWidth() - message->getWidth();
    if (wider > 0) {
        const int32_t widthBefore = dialog->getWidth();
        dialog->setWidth(dialog->getRequestedWidth() + wider);
        const int32_t grown = dialog->getWidth() - widthBefore;
        for (GameNode* node = dialog->getComponents()->getFirstChild(); node;
             node = node->getNextSibling()) {
            if (node != message) {
                node->setX(node->getX() + grown / 2);
            }
        }
        message->setWidth(message->getWidth() + grown);
        message->renderText();
    }
    dialog->updateBackground();
    if (dialog->getRequestedHeight() + message->getHeight() > dialog->getHeight()) {
        dialog->setHeight(dialog->getRequestedHeight() + message->getHeight());
    }
    for (Button* button : {dialog->yesButton, dialog->noButton}) {
        button->setY(dialog->getHeight() - button->getY());
    }
    message->renderText();
    if (message->getLines().size() <= 1) {
        header->setY(header->getY() + ONE_LINE_HALF_SHIFT);
        message->setY(message->getY() + ONE_LINE_SHIFT);
        dialog->yesButton->setY(dialog->yesButton->getY() - ONE_LINE_HALF_SHIFT);
        dialog->noButton->setY(dialog->noButton->getY() - ONE_LINE_HALF_SHIFT);
    }
}
