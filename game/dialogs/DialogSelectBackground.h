#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/UnlockItem.h"

class Button;
class Label;
class Sprite;

// The choice of the board background and the tile set, each browsed with previous
// and next buttons and shown as a preview with its name and place. Choices the player has not
// unlocked are shown greyed with a lock and cannot be confirmed; groups unlocked since the
// player last looked carry a blinking "new" marker. OK stores both choices in the current
// player; cancel keeps the old ones; both mark the markers shown as seen.
class DialogSelectBackground : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogSelectBackground)
public:
    static constexpr int32_t TILESET_COUNT = QuovelMahjongPlayer::TILESET_COUNT;

    // The key of background n's preview in the "default" section.
    static std::string previewKey(int32_t n) { return "BACKGROUND" + std::to_string(n); }

    explicit DialogSelectBackground(PropertyNode* definition);
    ~DialogSelectBackground() override;

    // Moves the shown background (tile set) by delta when the result is a valid one, then
    // refreshes the buttons and counts in any case.
    void showBackground(int32_t delta);
    void showTileSet(int32_t delta);
    void updateButtons();
    void updateCounts();
    // Every group whose marker was shown becomes seen (2) in the current player.
    void markNewSeen();

    int32_t onOk(BaseObject* sender);
    int32_t onCancel(BaseObject* sender);

    int32_t getBackground() const { return background; }
    int32_t getTileSet() const { return tileSet; }

private:
    // Preview with the picture of the key; a locked one greys the picture area of a copy.
    void showPicture(Sprite* preview, const std::string& key, bool locked, int32_t x, int32_t y,
                     int32_t width, int32_t height);
    // Shows the marker and remembers the item to mark seen, when there is one.
    void showNewMarker(Sprite* marker, std::optional<UnlockItem> item);

    Sprite* backgroundPreview = nullptr;
    Sprite* tileSetPreview = nullptr;
    Button* nextBackgroundButton = nullptr;
    Button* previousBackgroundButton = nullptr;
    Button* nextTileSetButton = nullptr;
    Button* previousTileSetButton = nullptr;
    Button* okButton = nullptr;
    Label* backgroundLabel = nullptr;
    Label* tileSetLabel = nullptr;
    Label* backgroundCountLabel = nullptr;
    Label* tileSetCountLabel = nullptr;
    Sprite* backgroundLock = nullptr;
    Sprite* tileSetLock = nullptr;
    Sprite* newBackgroundMarker = nullptr;
    Sprite* newTileSetMarker = nullptr;
    int32_t background = 0;
    int32_t tileSet = 0;
    // The items whose new marker was shown.
    std::vector<UnlockItem> newShown;
};
