#pragma once

#include <cstdint>
#include <string>

#include "framework/core/GameNode.h"
#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"
#include "framework/core/ScreenSize.h"

class Label;
class PlayScreen;
class Tile;

// The game screen's floaters on their own layer over the board and the HUD (the rules' effect
// layer): the time penalties, the match points, the super and mega score and the tile face
// shine. The layer's children are ticked with the scene's tree and go when the level is torn
// down.
class Floaters {
public:
    explicit Floaters(PlayScreen& play);

    // Appends the layer to the scene's tree, over the layers made before it.
    void createLayer();
    // Null before the layer is made.
    GameNode* getLayer() const { return floaterLayer.get(); }

    // Floaters: labels that stretch in, rise 100 pixels and fade, the whole flight inside
    // `area`.
    void showTimePenalty(int32_t seconds, int32_t x, int32_t y, const std::wstring& prefix,
                         const Rect& area = SCREEN_RECT);
    void showTimeBarPenalty(int32_t seconds);
    // Where floaters over the board fly: below the top bar and left of the side column.
    Rect floaterBoard();
    void showScoreFloater(int32_t multiplier, Tile* tile, int32_t points);
    // A score increment reached the shown score, which now stands at `newScore`.
    void showSuperScore(int32_t newScore, int32_t increment);
    void showTileFaceShine(Tile* tile, int32_t chainCounter);

private:
    // A floater label of the text in the font (section "default"), centred on the point, or as
    // near it as keeps its flight inside `area`.
    Label* addFloater(const std::wstring& text, const std::string& fontKey, int32_t x, int32_t y,
                      const Rect& area = SCREEN_RECT);

    PlayScreen& play;
    RefHolder<GameNode> floaterLayer;
};
