#include "game/dialogs/DialogRoomPreview.h"

#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/StringUtils.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/GameSound.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/TuningConstants.h"
#include "game/visuals/Effects.h"
#include "game/visuals/LayoutPreview.h"

QUOVEL_DEFINE_TYPE(DialogRoomPreview, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogRoomPreview)

namespace {

constexpr const char* LABEL_KEYS[DialogRoomPreview::LABEL_COUNT] = {
    "LABEL_GAMETYPE",    "LABEL_BESTSCORE", "LABEL_BESTTIME", "LABEL_TIMESCOMPLETED",
    "LABEL_TIMESPLAYED", "LABEL_GOLD",      "LABEL_SILVER",   "LABEL_DAMAGED"};

std::wstring grouped(int32_t value) {
    return formatGroupedNumber(static_cast<uint32_t>(value),
                               getBasicText("CTEXT_DIGIT_GROUPING_SYMBOL"));
}

std::wstring gameTypeHeader(GameType gameType) {
    BasicProperties* properties = BasicProperties::instance();
    PropertyVector* headers = properties ? properties->getVector("GAMETYPE_HEADERS") : nullptr;
    AbstractProperty* entry = headers && gameType >= 0 ? headers->getChildAt(gameType) : nullptr;
    return entry && entry->isValue() ? entry->getText() : std::wstring();
}

}  // namespace

DialogRoomPreview::DialogRoomPreview(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    setSoundsEnabled(false);
    setFadeInOnShow(false);
    getComponentsContainer().setModal(false);
    setBuffered(true);
    setRepaint(true);
}

DialogRoomPreview::~DialogRoomPreview() = default;

void DialogRoomPreview::findWidgets() {
    previewSprite = objectCast<Sprite>(findChild("SPRITE_PREVIEW"));
    for (int32_t i = 0; i < LABEL_COUNT; ++i) {
        labels[static_cast<size_t>(i)] = objectCast<Label>(findChild(LABEL_KEYS[i]));
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        lines[i] = objectCast<Sprite>(findChild("L" + std::to_string(i)));
    }
}

void DialogRoomPreview::show() {
    DialogQuovelMahjong::show();
    findWidgets();
    fadeContents(-1);
    updateBackground();
    setAnchor(ANCHOR_CENTER);
    if (GameNode* components = getComponents()) {
        components->setPosition(-getWidth() / 2, -getHeight() / 2);
    }
    setScale(0.0f);
    setVisible(false);
    setBuffered(true);
}

void DialogRoomPreview::resetClosed() {
    GameNode::removeAllModifiers(this);
    previewState = CLOSED;
    setScale(0.0f);
    setVisible(false);
    setBuffered(true);
}

void DialogRoomPreview::updateBackground() {
    DialogQuovelMahjong::updateBackground();
    if (isBuffered()) {
        stampSpriteAlpha(this, getLabel(GAMETYPE));
        stampSpriteAlpha(this, objectCast<Sprite>(findChild("BACKGROUND")));
    }
}

bool DialogRoomPreview::onLeftButtonDown(int32_t, int32_t, int32_t, bool) {
    return false;
}

bool DialogRoomPreview::onLeftButtonUp(int32_t, int32_t, int32_t) {
    return false;
}

void DialogRoomPreview::setGameType(Level* level) {
    shownLevel = level;
    if (!level) {
        return;
    }
    // A layout file that could not be read gives a layout without tiles: an empty board would
    // say nothing, the card says the room cannot be played.
    Layout* layout = level->getLayoutObject();
    const bool damaged = !layout || layout->getTileCount() == 0;
    LayoutPreview miniature;
    miniature.build(layout, 0);
    if (previewSprite) {
        previewSprite->setImage(miniature.getPicture());
        previewSprite->setScale(tuning().PREVIEW_SCALE);
        previewSprite->setVisible(!damaged);
    }
    if (Label* label = getLabel(DAMAGED)) {
        label->setVisible(damaged);
    }
    if (Label* label = getLabel(GAMETYPE)) {
        label->setText(gameTypeHeader(level->getGameType()));
    }
    if (Label* label = getLabel(SILVER)) {
        label->setText(grouped(level->getSilver()));
    }
    if (Label* label = getLabel(GOLD)) {
        label->setText(grouped(level->getGold()));
    }
    fillRecord();
    setRepaint(true);
}

void DialogRoomPreview::fillRecord() {
    if (!shownLevel) {
        return;
    }
    RoomRecord record;
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        // The room is the level's door number: the catalogue sets it for every hallway level.
        if (const RoomRecord* kept =
                player->getStats().roomRecord(shownLevel->getFloor(), shownLevel->getRoom())) {
            record = *kept;
        }
    }
    auto put = [this](int32_t index, const std::wstring& text) {
        if (Label* label = getLabel(index)) {
            label->setText(text);
        }
    };
    put(BESTSCORE, record.bestScore == 0 ? L"-" : grouped(record.bestScore));
    put(BESTTIME, record.bestTime == 0
                      ? L"-"
                      : formatDuration(static_cast<uint32_t>(record.bestTime), true, false));
    put(TIMESCOMPLETED, intToWString(record.levelWinCount));
    put(TIMESPLAYED, intToWString(record.playCount));
    shownLevel = nullptr;
}

// Fades every content widget from where it stands to `to`; a negative `to` sets alpha 0 at once.
void DialogRoomPreview::fadeContents(int32_t to) {
    auto fade = [to](Sprite* sprite) {
        if (!sprite) {
            return;
        }
        GameNode::removeAllModifiers(sprite);
        if (to < 0) {
            sprite->setAlpha(0);
        } else {
            GameNode::addModifier(
                sprite, new ModifierAlpha(tuning().INFO_DIALOGS_ANIM_TIME, sprite->getAlpha(), to));
        }
    };
    fade(previewSprite.get());
    for (const RefHolder<Label>& label : labels) {
        fade(label.get());
    }
    for (const RefHolder<Sprite>& line : lines) {
        fade(line.get());
    }
}

void DialogRoomPreview::addBlocking(Modifier* modifier) {
    modifier->setFlags(modifier->getFlags() | Modifier::FLAG_BLOCKING);
    GameNode::addModifier(this, modifier);
}

void DialogRoomPreview::open() {
    switch (previewState) {
        case FADING_OUT:
            GameNode::removeAllModifiers(this);
            onGrown(nullptr);
            return;
        case CLOSED:
        case SHRINKING:
            GameNode::removeAllModifiers(this);
            playSectionSound("SOUND_ROOM_PREVIEW_OPENS", "hallway");
            previewState = OPENING;
            setVisible(true);
            addBlocking(new ModifierScale(getScale(), 1.0f, tuning().INFO_DIALOGS_ANIM_TIME));
            GameNode::addModifier(
                this, new ModifierFunction(callback<&DialogRoomPreview::onGrown>(this)));
            setBuffered(true);
            updateBackground();
            return;
        default:
            return;
    }
}

void DialogRoomPreview::close() {
    switch (previewState) {
        case OPENING:
            GameNode::removeAllModifiers(this);
            shrink();
            return;
        case OPEN:
            GameNode::removeAllModifiers(this);
            playSectionSound("SOUND_ROOM_PREVIEW_CLOSES", "hallway");
            previewState = FADING_OUT;
            fadeContents(0);
            setBuffered(false);
            GameNode::addModifier(this, new ModifierDelay(tuning().INFO_DIALOGS_ANIM_TIME));
            GameNode::addModifier(
                this, new ModifierFunction(callback<&DialogRoomPreview::onShrink>(this)));
            return;
        default:
            return;
    }
}

int32_t DialogRoomPreview::onGrown(BaseObject*) {
    previewState = OPENING;
    setBuffered(false);
    fadeContents(255);
    GameNode::addModifier(this, new ModifierDelay(tuning().INFO_DIALOGS_ANIM_TIME));
    GameNode::addModifier(this, new ModifierFunction(callback<&DialogRoomPreview::onOpened>(this)));
    return 0;
}

int32_t DialogRoomPreview::onOpened(BaseObject*) {
    previewState = OPEN;
    return 0;
}

int32_t DialogRoomPreview::onShrink(BaseObject*) {
    shrink();
    return 0;
}

void DialogRoomPreview::shrink() {
    previewState = SHRINKING;
    addBlocking(new ModifierScale(getScale(), 0.0f, tuning().INFO_DIALOGS_ANIM_TIME));
    GameNode::addModifier(this, new ModifierVisible(ModifierVisible::MODE_HIDE));
    GameNode::addModifier(this, new ModifierFunction(callback<&DialogRoomPreview::onClosed>(this)));
    setBuffered(true);
    updateBackground();
}

int32_t DialogRoomPreview::onClosed(BaseObject*) {
    previewState = CLOSED;
    return 0;
}
