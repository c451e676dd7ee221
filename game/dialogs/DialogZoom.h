#pragma once

#include <cstdint>

#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"
#include "game/dialogs/DialogQuovelMahjong.h"

// A game dialog that pops in by growing from nothing, can swap its content by scrolling it up
// out of a window 25 pixels inside its edge and back, and shrinks away after a delay. All its
// components hang under one content sprite. It does not pause the game, and input it does not
// take reaches what lies behind it.
class DialogZoom : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogZoom)
public:
    explicit DialogZoom(PropertyNode* definition);
    ~DialogZoom() override;

    // Components land in the content.
    void addChild(GameNode* child) override;
    // Also searches the content.
    GameNode* searchChild(const std::string& name) override;
    // Clips the content's components to the window where the content stands now, then draws.
    void render(Graphics* graphics) override;

    // Hidden: pops the dialog in. Shown: scrolls the content out and back, swapping it between.
    virtual void zoomIn();
    // Shown: shrinks the dialog away after the hide delay.
    virtual void scheduleHide();
    // Between the scroll out and the scroll back; nothing here.
    virtual void onContentSwap();

    Sprite* getContent() const { return content.get(); }
    bool isHidden() const { return hidden; }

private:
    int32_t showContent(BaseObject* sender);
    int32_t swapContent(BaseObject* sender);
    int32_t shrink(BaseObject* sender);
    // Every sprite of the content clipped to the window at the content's current place.
    void clipContent();

    RefHolder<Sprite> content;
    int32_t appearTime = 0;
    int32_t disappearTime = 0;
    bool hidden = true;
    int32_t hideDelay = 0;
    // The window the content shows through, relative to the dialog's components.
    Rect window;
};
