#include "game/dialogs/DialogNameInput.h"

#include <string>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/Button.h"
#include "framework/gui/InputLabel.h"
#include "framework/gui/Label.h"
#include "framework/platform/PlayerManager.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"
#include "game/dialogs/PlayerSwitch.h"
#include "game/profile/PlayerFileReport.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/GameSound.h"

QUOVEL_DEFINE_TYPE(DialogNameInput, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogNameInput)

namespace {

const wchar_t* const BLANKS = L" \t";

// The name OK takes from the field's text.
std::string nameOf(std::wstring text) {
    trim(text, BLANKS, true, true);
    return wstringToString(text);
}

// Only what the player store keeps can be typed: its limit counts bytes of the escaped name,
// not letters.
bool storable(const std::wstring& text) {
    const std::string name = nameOf(text);
    return name.empty() || PlayerManager::isStorableName(name);
}

}  // namespace

DialogNameInput::DialogNameInput(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    iInputListenerContainer* container = &getComponentsContainer();
    connect<&DialogNameInput::onOk>("BUTTON_OK", this, container);
    int32_t subHeight = 0;
    if (auto* sub = objectCast<Label>(findChild("SUB"))) {
        sub->renderText();
        subHeight = sub->getHeight();
    }
    nameInput =
        objectCast<InputLabel>(connect<&DialogNameInput::onKey>("INPUT_NAME", this, container));
    if (nameInput) {
        nameInput->onEnter().setCallback(callback<&DialogNameInput::onOk>(this));
        nameInput->setY(nameInput->getY() + subHeight);
        nameInput->setTextTest(&storable);
    }
    PlayerManager* players = PlayerManager::getInstance();
    if (players && !players->getPlayers().empty()) {
        connect<&DialogNameInput::onCancel>("BUTTON_CANCEL", this, container);
    } else if (GameNode* cancel = findChild("BUTTON_CANCEL")) {
        if (GameNode* ok = findChild("BUTTON_OK")) {
            ok->setX((cancel->getX() + ok->getX()) / 2);
        }
        cancel->setRemoved(true);
    }
    enableOk();
}

DialogNameInput::~DialogNameInput() = default;

void DialogNameInput::setParentDialog(Dialog* dialog) {
    parentDialog = dialog;
}

void DialogNameInput::enableOk() {
    if (auto* ok = objectCast<Button>(findChild("BUTTON_OK"))) {
        ok->setEnabled(nameInput && !nameInput->getText().empty());
    }
}

void DialogNameInput::focusInput() {
    if (nameInput) {
        nameInput->setEditing(true);
    }
}

void DialogNameInput::show() {
    const bool fade = getFadeInOnShow();
    setFadeInOnShow(false);
    DialogQuovelMahjong::show();
    setFadeInOnShow(fade);
    if (nameInput) {
        nameInput->setText(std::wstring(), true);
    }
    focusInput();
    if (parentDialog) {
        parentDialog->setVisible(false);
    }
}

bool DialogNameInput::onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) {
    focusInput();
    return DialogQuovelMahjong::onLeftButtonDown(x, y, buttons, doubleClick);
}

bool DialogNameInput::onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) {
    focusInput();
    return DialogQuovelMahjong::onLeftButtonUp(x, y, buttons);
}

int32_t DialogNameInput::onKey(BaseObject*) {
    playSectionSound("SOUND_TICK", "default");
    InputLabel* input = nameInput;
    if (input) {
        input->setDirty(true);
        std::wstring text = input->getText();
        if (trim(text, BLANKS, true, false)) {
            input->setText(text, false);
        }
    }
    enableOk();
    return 0;
}

int32_t DialogNameInput::onOk(BaseObject*) {
    InputLabel* input = nameInput;
    PlayerManager* players = PlayerManager::getInstance();
    Scene* scene = SceneManager::currentScene();
    if (input && players && !input->getText().empty()) {
        const std::string name = nameOf(input->getText());
        if (!players->hasPlayer(name)) {
            RefHolder<QuovelMahjongPlayer> made(new QuovelMahjongPlayer(name));
            if (!players->addPlayer(made.get())) {
                // Told, and the box stays open for another name.
                PlayerFileReport::nameRefused(name);
                focusInput();
                return 0;
            }
        }
        switchToPlayer(name);
        if (scene) {
            if (Dialog* select = scene->findDialog("DIALOG_PLAYERSELECT");
                select && scene->isDialogOpen("DIALOG_PLAYERSELECT")) {
                scene->closeDialog(select);
                scene->dropDialog("DIALOG_PLAYERSELECT");
            }
        }
        playerConfirmed();
        close();
    }
    focusInput();
    // The parent may have been dropped meanwhile; only a dialog the scene still holds is closed,
    // and dropped as a confirmed name drops it, so that the next opening builds it afresh.
    Dialog* parent = parentDialog.get();
    if (parent && scene && scene->findDialog(parent->getName()) == parent) {
        scene->closeDialog(parent);
        scene->dropDialog(parent->getName());
    }
    return 0;
}

int32_t DialogNameInput::onCancel(BaseObject*) {
    Scene* scene = SceneManager::currentScene();
    if (scene) {
        scene->closeDialog(this);
    }
    // Shown again only while the scene still holds it: a dropped parent stays closed.
    Dialog* parent = parentDialog.get();
    if (parent && scene && scene->findDialog(parent->getName()) == parent) {
        parent->setVisible(true);
    }
    return 0;
}
