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

// The toolkit's on/off widget: a check box, or a radio button when it has a group. Its image
// is a strip of eight stacked frames: off normal, over, pressed, disabled, then the same four
// on. A release after a press toggles it (a radio button only turns on, turning the other
// members of its group off) and fires its bound callback.
//
// Its castTo stays the sprite's, so a dialog neither adds its listener nor binds its callback:
// the owner wires it by hand. Every live switch is listed in one process-wide list, where a
// radio group finds its members.
class Switch : public Sprite, public iInputListener, public iGuiMethod {
    QUOVEL_TYPE(Switch)
public:
    enum State : int32_t { STATE_NORMAL = 0, STATE_OVER = 1, STATE_PRESSED = 2 };
    static constexpr int32_t FRAME_DISABLED = 3;
    static constexpr int32_t FRAMES_ON = 4;

    // The sprite keys, then "hitmask" (an image key in "section"), "hitmaskthreshold",
    // "groupid", "onsound", "offsound", "disabledsound", "soundsection", "enabled" and
    // "checked" (through setOn, so a checked radio button turns off its group built so far).
    explicit Switch(PropertyNode* definition);
    ~Switch() override;

    // Shows the frame of state `state` for the enabled and on flags.
    void setFrame(int32_t state) override;
    // Cuts the new image into the eight frames and shows the current one.
    void setImage(Image* newImage) override;
    // On the caption, or on the switch's frame (and its hit mask or alpha, when it has one).
    bool containsPoint(int32_t px, int32_t py) override;
    virtual void setEnabled(bool value);
    // Turning a radio button on first turns the other members of its group off. Fires nothing.
    virtual void setOn(bool value);

    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override;
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) override;
    void cancelInput() override;

    // A second sprite (the switch's text) whose area also counts as the switch's; null for none.
    void setCaption(Sprite* value) { caption = value; }

    bool isOn() const { return on; }
    bool isEnabled() const { return enabled; }
    int32_t getState() const { return state; }
    bool isHovered() const { return hovered; }

private:
    void readDefinition(PropertyNode* node);
    void setState(int32_t value);
    void setHovered(bool value);

    int32_t state = STATE_NORMAL;
    bool enabled = true;
    bool on = false;
    std::string onSound;
    std::string offSound;
    std::string disabledSound;
    std::string soundSection;
    RefHolder<Sprite> caption;
    WidgetHitTest hitTest;
    int32_t groupId = -1;
    bool hovered = false;
};
