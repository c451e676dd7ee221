#pragma once

#include <cstdint>

#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"
#include "framework/gui/Button.h"
#include "framework/nodes/Sprite.h"
#include "framework/nodes/iGuiMethod.h"
#include "framework/platform/iInputListenerContainer.h"

class PropertyNode;

// The toolkit's value slider: a track (the sprite's image), a knob button dragged along it and
// optional decrement and increment buttons that step the value by a tenth of its range. The
// slider is the listener container of its step buttons, so their fire keys move the value too;
// its own mouse operations drive the knob. Its bound callback is fired whenever the user
// changes the value. Owners read and write `value` directly and call updateKnob after a write.
class Slider : public Sprite, public iInputListenerContainer, public iGuiMethod {
    QUOVEL_TYPE(Slider)
public:
    // The sprite keys, then "enabled", "minvalue", "maxvalue", "vertical", and the definitions
    // "button" (the knob), "incbutton" and "decbutton", each built by the object factory.
    explicit Slider(PropertyNode* definition);
    ~Slider() override;

    void* castTo(const TypeRecord* type) override;
    // On the slider's rectangle from its absolute position (its anchor is not applied).
    bool containsPoint(int32_t px, int32_t py) override;

    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override;
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) override;

    // Places the knob at the value's point of the track; a range of zero puts it at the start.
    void updateKnob();
    // Also enables or disables the knob and the step buttons.
    void setEnabled(bool value);
    bool isEnabled() const { return enabled; }
    // One step up (down) by a tenth of the range, clamped, then the callback.
    void stepUp();
    void stepDown();

    float value = 0.0f;

    float getMinValue() const { return minValue; }
    float getMaxValue() const { return maxValue; }
    bool isVertical() const { return vertical; }
    GameNode* getKnobHolder() const { return knobHolder; }
    Button* getKnob() const { return knob.get(); }
    Button* getIncButton() const { return incButton.get(); }
    Button* getDecButton() const { return decButton.get(); }

private:
    void readDefinition(PropertyNode* node);
    // The button built from the definition under `key`, made a child of `parent`; null when the
    // key is missing or makes no button.
    RefHolder<Button> makeButton(PropertyNode* node, const char* key, GameNode* parent);
    void placeStepButtons();
    // Moves the knob to the track point nearest the pointer less the grab offset, and sets the
    // value from it.
    void moveKnobTo(int32_t x, int32_t y);
    bool onKnob(int32_t x, int32_t y) const;
    void setKnobState(int32_t state);
    void fireChange();

    int32_t stepUpCallback(BaseObject* sender);
    int32_t stepDownCallback(BaseObject* sender);

    bool enabled = true;
    float minValue = 0.0f;
    float maxValue = 1.0f;
    bool vertical = false;
    PointF trackStart;
    PointF trackEnd;
    int32_t grabOffsetX = 0;
    int32_t grabOffsetY = 0;
    GameNode* knobHolder = nullptr;
    RefHolder<Button> knob;
    RefHolder<Button> incButton;
    RefHolder<Button> decButton;
};
