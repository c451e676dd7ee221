#include "game/dialogs/DialogSelectBackground.h"

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Image.h"
#include "framework/platform/ResourceManager.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/visuals/ImageEffects.h"

QUOVEL_DEFINE_TYPE(DialogSelectBackground, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogSelectBackground)

namespace {

// Entries of the player's unlocked items behind the locked choices, and their new markers.
constexpr int32_t ENTRY_BACKGROUNDS_3_TO_6 = 6;
constexpr int32_t ENTRY_BACKGROUNDS_7_TO_10 = 16;
constexpr int32_t ENTRY_TILESETS[DialogSelectBackground::TILESET_COUNT] = {-1, 2, 9, 14};
constexpr int32_t NEW_BACKGROUNDS_3_TO_6 = 0;
constexpr int32_t NEW_BACKGROUNDS_7_TO_10 = 1;
constexpr int32_t NEW_FIRST_TILESET = 2;  // tile sets 1-3 take the flags 2-4
constexpr int32_t UNLOCKED_NOT_SEEN = 1;
constexpr int32_t UNLOCKED_SEEN = 2;

// The picture areas of the previews, greyed when locked.
constexpr int32_t BACKGROUND_AREA[4] = {5, 4, 218, 163};
constexpr int32_t TILESET_AREA[4] = {16, 17, 196, 60};

const char* const PICTURE_SECTION = "default";

int32_t unlockEntry(const QuovelMahjongPlayer* player, int32_t entry) {
    return player ? player->unlockedStuff[static_cast<size_t>(entry)] : 0;
}

// The entry of the unlocked items behind each new flag.
int32_t entryOfNewFlag(size_t flag) {
    switch (flag) {
        case NEW_BACKGROUNDS_3_TO_6:
            return ENTRY_BACKGROUNDS_3_TO_6;
        case NEW_BACKGROUNDS_7_TO_10:
            return ENTRY_BACKGROUNDS_7_TO_10;
        default:
            return ENTRY_TILESETS[flag - NEW_FIRST_TILESET + 1];
    }
}

void enable(Button* button, bool enabled) {
    if (button) {
        button->setEnabled(enabled);
    }
}

void blinkForEver(Sprite* marker) {
    if (marker) {
        GameNode::addModifier(marker, new ModifierBlink(255, 180, 1000, 0, 1000, 0, -1));
    }
}

void setLabelIfAny(Label* label, const std::wstring& text) {
    if (label) {
        label->setText(text);
    }
}

int32_t nextBackground(DialogSelectBackground* dialog, BaseObject*) {
    dialog->showBackground(1);
    return 0;
}
int32_t previousBackground(DialogSelectBackground* dialog, BaseObject*) {
    dialog->showBackground(-1);
    return 0;
}
int32_t nextTileSet(DialogSelectBackground* dialog, BaseObject*) {
    dialog->showTileSet(1);
    return 0;
}
int32_t previousTileSet(DialogSelectBackground* dialog, BaseObject*) {
    dialog->showTileSet(-1);
    return 0;
}

}  // namespace

DialogSelectBackground::DialogSelectBackground(PropertyNode* definition)
    : DialogQuovelMahjong(definition) {
    iInputListenerContainer* container = &getComponentsContainer();
    auto button = [&](const char* name, const iGuiMethod::Bound& bound) {
        return objectCast<Button>(connect(name, bound, container));
    };
    okButton = button("BUTTON_OK", callback<&DialogSelectBackground::onOk>(this));
    button("BUTTON_CANCEL", callback<&DialogSelectBackground::onCancel>(this));
    nextBackgroundButton = button("BUTTON_NEXT_BACKGROUND", callback<&nextBackground>(this));
    previousBackgroundButton =
        button("BUTTON_PREV_BACKGROUND", callback<&previousBackground>(this));
    nextTileSetButton = button("BUTTON_NEXT_TILESET", callback<&nextTileSet>(this));
    previousTileSetButton = button("BUTTON_PREV_TILESET", callback<&previousTileSet>(this));
    auto sprite = [&](const char* name) { return objectCast<Sprite>(findChild(name)); };
    auto label = [&](const char* name) { return objectCast<Label>(findChild(name)); };
    backgroundPreview = sprite("BACKGROUND_PREVIEW");
    tileSetPreview = sprite("TILESET_PREVIEW");
    backgroundLabel = label("LABEL_BACKGROUND");
    tileSetLabel = label("LABEL_TILESET");
    backgroundCountLabel = label("LABEL_BACKGROUND_COUNT");
    tileSetCountLabel = label("LABEL_TILESET_COUNT");
    backgroundLock = sprite("BACKGROUND_LOCK");
    tileSetLock = sprite("TILESET_LOCK");
    newBackgroundMarker = sprite("NEW_BACK");
    newTileSetMarker = sprite("NEW_TILE");
    blinkForEver(newBackgroundMarker);
    blinkForEver(newTileSetMarker);
    if (const QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        background = player->background;
        tileSet = player->tileSet;
    }
    showBackground(0);
    showTileSet(0);
    updateButtons();
    updateCounts();
}

DialogSelectBackground::~DialogSelectBackground() = default;

bool DialogSelectBackground::isBackgroundLocked(const QuovelMahjongPlayer* player,
                                                int32_t number) {
    return (number >= 3 && unlockEntry(player, ENTRY_BACKGROUNDS_3_TO_6) == 0) ||
           (number >= 7 && unlockEntry(player, ENTRY_BACKGROUNDS_7_TO_10) == 0);
}

bool DialogSelectBackground::isTileSetLocked(const QuovelMahjongPlayer* player, int32_t number) {
    return number >= 1 && number < TILESET_COUNT &&
           unlockEntry(player, ENTRY_TILESETS[number]) == 0;
}

void DialogSelectBackground::showPicture(Sprite* preview, const std::string& key, bool locked,
                                         int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!preview) {
        return;
    }
    RefHolder<Image> picture;
    {
        ResourceManager::DataLock lock;
        picture = objectCast<Image>(findOrLoadResource(key, PICTURE_SECTION));
    }
    if (picture && locked) {
        RefHolder<Image> grey = Image::copyImage(picture.get());
        if (grey) {
            greyImageRect(grey.get(), x, y, width, height);
            picture = grey;
        }
    }
    preview->setImage(picture.get());
}

void DialogSelectBackground::showBackground(int32_t delta) {
    const int32_t n = background + delta;
    if (n >= 0 && n < BACKGROUND_COUNT) {
        background = n;
        const QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
        const bool locked = isBackgroundLocked(player, n);
        showPicture(backgroundPreview, "BACKGROUND" + std::to_string(n), locked,
                    BACKGROUND_AREA[0], BACKGROUND_AREA[1], BACKGROUND_AREA[2],
                    BACKGROUND_AREA[3]);
        setShownIfAny(newBackgroundMarker, false);
        setShownIfAny(backgroundLock, locked);
        if (!locked) {
            if (n >= 3 && n <= 6 &&
                unlockEntry(player, ENTRY_BACKGROUNDS_3_TO_6) == UNLOCKED_NOT_SEEN) {
                setShownIfAny(newBackgroundMarker, true);
                newShown[NEW_BACKGROUNDS_3_TO_6] = true;
            } else if (n >= 7 &&
                       unlockEntry(player, ENTRY_BACKGROUNDS_7_TO_10) == UNLOCKED_NOT_SEEN) {
                setShownIfAny(newBackgroundMarker, true);
                newShown[NEW_BACKGROUNDS_7_TO_10] = true;
            }
        }
    }
    updateButtons();
    updateCounts();
}

void DialogSelectBackground::showTileSet(int32_t delta) {
    const int32_t m = tileSet + delta;
    if (m >= 0 && m < TILESET_COUNT) {
        tileSet = m;
        const QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
        const bool locked = isTileSetLocked(player, m);
        showPicture(tileSetPreview, "TILESET" + std::to_string(m), locked, TILESET_AREA[0],
                    TILESET_AREA[1], TILESET_AREA[2], TILESET_AREA[3]);
        setShownIfAny(newTileSetMarker, false);
        setShownIfAny(tileSetLock, locked);
        if (!locked && m >= 1 && unlockEntry(player, ENTRY_TILESETS[m]) == UNLOCKED_NOT_SEEN) {
            setShownIfAny(newTileSetMarker, true);
            newShown[static_cast<size_t>(NEW_FIRST_TILESET + m - 1)] = true;
        }
    }
    updateButtons();
    updateCounts();
}

void DialogSelectBackground::updateButtons() {
    enable(nextBackgroundButton, background < BACKGROUND_COUNT - 1);
    enable(previousBackgroundButton, background > 0);
    enable(nextTileSetButton, tileSet < TILESET_COUNT - 1);
    enable(previousTileSetButton, tileSet > 0);
    const bool lockShown = (backgroundLock && backgroundLock->isVisible()) ||
                           (tileSetLock && tileSetLock->isVisible());
    enable(okButton, !lockShown);
}

void DialogSelectBackground::updateCounts() {
    setLabelIfAny(backgroundLabel, getBasicText("TEXT_BACKGROUND") + std::to_wstring(background));
    setLabelIfAny(tileSetLabel, getBasicText("TEXT_TILESET") + std::to_wstring(tileSet));
    setLabelIfAny(backgroundCountLabel,
                  std::to_wstring(background + 1) + L"/" + std::to_wstring(BACKGROUND_COUNT));
    setLabelIfAny(tileSetCountLabel,
                  std::to_wstring(tileSet + 1) + L"/" + std::to_wstring(TILESET_COUNT));
}

void DialogSelectBackground::markNewSeen() {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!player) {
        return;
    }
    for (size_t flag = 0; flag < newShown.size(); ++flag) {
        if (newShown[flag]) {
            player->unlockedStuff[static_cast<size_t>(entryOfNewFlag(flag))] = UNLOCKED_SEEN;
        }
    }
}

int32_t DialogSelectBackground::onOk(BaseObject* sender) {
    markNewSeen();
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        player->background = background;
        player->tileSet = tileSet;
    }
    return closeAsOwnTarget(sender);
}

int32_t DialogSelectBackground::onCancel(BaseObject* sender) {
    markNewSeen();
    return closeAsOwnTarget(sender);
}
