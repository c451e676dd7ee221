#include "game/dialogs/DialogPlayerSelect.h"

#include <string>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/PlayerManager.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"
#include "game/dialogs/DialogNameInput.h"
#include "game/dialogs/DialogYesNo.h"
#include "game/dialogs/PlayerSwitch.h"

QUOVEL_DEFINE_TYPE(DialogPlayerSelect, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogPlayerSelect)

namespace {

const char* const REMOVE_QUESTION = "TEXT_REMOVE_PLAYER";

int32_t playerCount() {
    PlayerManager* players = PlayerManager::getInstance();
    return players ? static_cast<int32_t>(players->getPlayers().size()) : 0;
}

RefHolder<GameNode> makeNode(PropertyNode* definition) {
    RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->createObject(definition));
    return RefHolder<GameNode>(objectCast<GameNode>(made.get()));
}

}  // namespace

DialogPlayerSelect::DialogPlayerSelect(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    PropertyNode* node = nodeOrDummy(definition);
    PropertyNode* buttonDefinition = node->getChildNode("namebutton");
    PropertyNode* labelDefinition = node->getChildNode("namelabel");
    AbstractProperty* spacingValue = node->getChild("spacing");
    const int32_t spacing = spacingValue ? spacingValue->getInt() : 0;
    iInputListenerContainer* container = &getComponentsContainer();
    for (int32_t row = 0; row < ROWS; ++row) {
        RefHolder<GameNode> button = makeNode(buttonDefinition);
        if (!button) {
            continue;
        }
        button->setY(button->getY() + row * spacing);
        if (auto* method = interfaceCast<iGuiMethod>(button.get())) {
            method->setCallback(callback<&DialogPlayerSelect::onPlayerChosen>(this));
        }
        if (auto* listener = interfaceCast<iInputListener>(button.get())) {
            container->addListener(listener);
        }
        GameNode::appendChild(button.get(), getComponents());
        nameButtons[static_cast<size_t>(row)] = button.get();
        RefHolder<GameNode> label = makeNode(labelDefinition);
        if (auto* text = objectCast<Label>(label.get())) {
            GameNode::appendChild(text, button.get());
            nameLabels[static_cast<size_t>(row)] = text;
        }
    }
    background = objectCast<Sprite>(findChild("BACKGROUND"));
    addButton =
        objectCast<Button>(connect<&DialogPlayerSelect::onAdd>("BUTTON_ADD", this, container));
    removeButton = objectCast<Button>(
        connect<&DialogPlayerSelect::onRemove>("BUTTON_REMOVE", this, container));
    okButton = objectCast<Button>(connect<&DialogPlayerSelect::onOk>("BUTTON_OK", this, container));
    border = objectCast<Sprite>(findChild("BORDER"));
    if (border) {
        GameNode::appendChild(border, getComponents());
        borderOffsetY = border->getY();
    }
    rebuildList();
}

DialogPlayerSelect::~DialogPlayerSelect() = default;

GameNode* DialogPlayerSelect::getNameButton(int32_t row) const {
    return row >= 0 && row < ROWS ? nameButtons[static_cast<size_t>(row)] : nullptr;
}

Label* DialogPlayerSelect::getNameLabel(int32_t row) const {
    return row >= 0 && row < ROWS ? nameLabels[static_cast<size_t>(row)] : nullptr;
}

void DialogPlayerSelect::show() {
    // A list kept from an earlier opening may have been hidden by the name input, and the
    // players may have changed since its rows were filled.
    setVisible(true);
    rebuildList();
    DialogQuovelMahjong::show();
    stampBackgroundAlpha();
}

void DialogPlayerSelect::stampBackgroundAlpha() {
    updateBackground();
    Image* target = getBackgroundImage();
    Image* picture = background ? background->getImage() : nullptr;
    RefHolder<Graphics> graphics = target ? target->createGraphics() : nullptr;
    if (!graphics || !picture) {
        return;
    }
    graphics->blitChannelMaxWhole(picture, Channel::ALPHA,
                                  getComponents()->getX() + background->getLeft(),
                                  getComponents()->getY() + background->getTop());
    setRepaint(true);
    setDirty(true);
}

void DialogPlayerSelect::moveBorderTo(int32_t row) {
    GameNode* button = getNameButton(row);
    if (border && button) {
        border->setY(button->getY() + borderOffsetY);
    }
}

void DialogPlayerSelect::rebuildList() {
    const int32_t count = playerCount();
    for (int32_t row = count; row < ROWS; ++row) {
        if (Label* label = getNameLabel(row)) {
            label->setText(std::wstring());
        }
    }
    if (PlayerManager* players = PlayerManager::getInstance()) {
        int32_t row = 0;
        for (const auto& player : players->getPlayers()) {
            if (row >= ROWS) {
                break;
            }
            if (Label* label = getNameLabel(row)) {
                label->setText(stringToWString(player->getName()));
            }
            if (player.get() == players->getCurrentPlayer()) {
                moveBorderTo(row);
                selectedIndex = row;
            }
            ++row;
        }
    }
    if (addButton) {
        addButton->setEnabled(count < ROWS);
    }
    if (removeButton) {
        removeButton->setEnabled(count > 1);
    }
}

int32_t DialogPlayerSelect::onPlayerChosen(BaseObject* sender) {
    const int32_t count = playerCount();
    for (int32_t row = 0; row < ROWS; ++row) {
        GameNode* button = getNameButton(row);
        if (button && button == static_cast<GameNode*>(objectCast<GameNode>(sender))) {
            if (row < count) {
                selectedIndex = row;
                if (Label* label = getNameLabel(row)) {
                    switchToPlayer(wstringToString(label->getText()));
                }
                moveBorderTo(row);
            } else {
                onAdd(sender);
            }
        } else if (auto* other = objectCast<Button>(button)) {
            other->setEnabled(true);
        }
    }
    return 0;
}

int32_t DialogPlayerSelect::onAdd(BaseObject*) {
    Scene* scene = SceneManager::currentScene();
    if (!scene || playerCount() >= ROWS) {
        return 0;
    }
    if (auto* input = objectCast<DialogNameInput>(scene->getDialog("DIALOG_NEWPLAYER"))) {
        input->setParentDialog(this);
        scene->openDialog(input);
    }
    return 0;
}

int32_t DialogPlayerSelect::onRemove(BaseObject*) {
    Scene* scene = SceneManager::currentScene();
    if (DialogYesNo* question =
            DialogYesNo::ask(REMOVE_QUESTION, "TEXT_REMOVE_PLAYER_HEADER",
                             callback<&DialogPlayerSelect::onRemoveConfirmed>(this), {}, scene)) {
        scene->openDialog(question);
    }
    return 0;
}

int32_t DialogPlayerSelect::onRemoveConfirmed(BaseObject*) {
    PlayerManager* players = PlayerManager::getInstance();
    Label* selected = getNameLabel(selectedIndex);
    // No row is selected while the current player is not among the rows shown.
    if (players && selected) {
        const std::string name = wstringToString(selected->getText());
        AbstractPlayer* current = players->getCurrentPlayer();
        if (current && current->getName() == name) {
            const int32_t count = playerCount();
            int32_t next = selectedIndex + 1;
            if (next >= count) {
                next = count - 2;
            }
            selectedIndex = next;
            if (next >= 0 && next < count) {
                switchToPlayer(players->getPlayers()[static_cast<size_t>(next)]->getName());
            }
        }
        players->removePlayer(name);
        rebuildList();
    }
    if (Scene* scene = SceneManager::currentScene()) {
        if (Dialog* question = scene->findDialog(REMOVE_QUESTION)) {
            scene->closeDialog(question);
            scene->dropDialog(REMOVE_QUESTION);
        }
    }
    return 0;
}

int32_t DialogPlayerSelect::onOk(BaseObject* sender) {
    playerConfirmed();
    close();
    if (auto* button = objectCast<Button>(sender)) {
        button->setState(Button::STATE_NORMAL);
    }
    stampBackgroundAlpha();
    return 0;
}
