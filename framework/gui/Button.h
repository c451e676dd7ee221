#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/gui/WidgetSupport.h"
#include "framework/nodes/Sprite.h"
#include "framework/nodes/iGuiMethod.h"
#include "framework/platform/Image.h"
#include "framework/platform/iInputListener.h"

class PropertyNode;

// The toolkit's push button: a strip of four stacked frames (normal, over, pressed, disabled)
// that answers the mouse and its fire keys, plays its click, over and disabled sounds, tests
// hits against a hit mask or its own image's alpha, and fires its bound callback when it is
// released after a press it took. The pointer being over an enabled button counts in the input
// handler's hover count, which picks the hand cursor.
class Button : public Sprite, public iInputListener, public iGuiMethod {
    QUOVEL_TYPE(Button)
public:
    enum State : int32_t { STATE_NORMAL = 0, STATE_OVER = 1, STATE_PRESSED = 2 };
    static constexpr int32_t FRAME_DISABLED = 3;

    // The sprite keys, then "enabled", "hitmask" (an image key in "section"),
    // "hitmaskthreshold", "clicksound", "disabledsound", "oversound", "soundsection" and
    // "firekey" (virtual-key codes separated by commas).
    explicit Button(PropertyNode* definition);
    ~Button() override;

    void* castTo(const TypeRecord* type) override;

    // Shows frame `state` while enabled, the disabled frame otherwise.
    void setFrame(int32_t frame) override;
    // Cuts the new image into the four frames and shows the current state's.
    void setImage(Image* newImage) override;
    // The point in window coordinates on the button: inside its frame, and, with a hit mask or
    // an alpha threshold, on a pixel more opaque than the threshold.
    bool containsPoint(int32_t px, int32_t py) override;
    virtual void setEnabled(bool value);
    virtual void setState(int32_t value);

    // A fire key let go where this button never hears of it (as a window command, Alt pressed
    // meanwhile, or while its scene took no input) leaves it drawn released, firing nothing.
    void update(int32_t elapsedMs) override;
    bool onKeyDown(int32_t key) override;
    bool onKeyUp(int32_t key) override;
    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override;
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) override;
    void cancelInput() override;

    bool isEnabled() const { return enabled; }
    int32_t getState() const { return state; }
    bool isHovered() const { return hovered; }
    const std::vector<int32_t>& getFireKeys() const { return fireKeys; }

private:
    void readDefinition(PropertyNode* node);
    void setHovered(bool value);
    void playSound(const std::string& key) const;
    bool isFireKey(int32_t key) const;
    // The callback, when one is bound, then back to normal.
    void fire();

    int32_t state = STATE_NORMAL;
    bool enabled = true;
    std::string clickSound;
    std::string disabledSound;
    std::string overSound;
    std::string soundSection;
    WidgetHitTest hitTest;
    std::vector<int32_t> fireKeys;
    // The fire key whose press this button took, 0 for none: only its release fires, so that
    // a key pressed elsewhere (before this button's box opened, or as a window command) never
    // answers by its release alone.
    int32_t keyTaken = 0;
    bool hovered = false;
};

// A button that also opens an address (in the person's browser) when it fires.
class URLButton : public Button {
    QUOVEL_TYPE(URLButton)
public:
    // The button keys, then "url" and "file" (a picture loaded at once as the button's image).
    explicit URLButton(PropertyNode* definition);

    // Opens the address, then calls the bound callback.
    int32_t invoke(BaseObject* sender) override;

private:
    std::string url;
};
