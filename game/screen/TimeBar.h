#pragma once

#include <cstdint>

#include "framework/core/RefHolder.h"
#include "framework/nodes/Sprite.h"
#include "game/rules/DisplayValue.h"

class Image;
class PropertyNode;
class PlayScreen;

// The level's clock on the game screen: a tube whose filling sinks as the level's time runs
// out. The time (ms) is a DisplayValue, so that penalties and the bonus bar's time bonus change
// it at once while the filling glides after them. In the last seconds it plays the scene's
// warning sound and spins the clock's hand and blinks its glow. Its pieces are the game scene's
// components "TIMEBAR_*"; the bar itself draws nothing.
class TimeBar : public Sprite {
    QUOVEL_TYPE(TimeBar)
public:
    static constexpr int32_t DEFAULT_TIME = 30000;

    // A fresh bar (at 30000 of 30000 ms) on the game scene the dialogs hold, or one restored from
    // a saved node ("maxTime" first, then "currentTime" clamped into 0 to it).
    explicit TimeBar(PropertyNode* saved);
    TimeBar(PropertyNode* saved, PlayScreen* scene);
    ~TimeBar() override;

    // Writes "currentTime" (the value, not the shown value) and "maxTime".
    void save(PropertyNode* node) const;
    // A new level: the value becomes the maximum and the filling stands at it at once.
    void reset();
    // The screen y the filling's top edge heads for: its top when the shown time is full, its
    // bottom when it is 0 (also for a maximum of 0).
    float fillTop() const;
    void update(int32_t elapsedMs) override;
    // Clips the filling at the shown top and gives it its shaped top edge.
    void draw();
    void setVisible(bool value) override;

    DisplayValue& getTime() { return time; }
    const DisplayValue& getTime() const { return time; }
    float getShownTop() const { return shownTop; }
    // The sinking filling, or null when the scene has no "TIMEBAR_FILLING".
    Sprite* getFilling() const { return filling.get(); }

private:
    void findParts();
    // The clock runs while the screen runs a level that is not over.
    bool clockRuns() const;
    void updateWarningSound(bool warn);
    void updateWarningAnimation(bool warn);
    void stopWarningAnimation();

    PlayScreen* scene = nullptr;
    DisplayValue time{DEFAULT_TIME, 0, DEFAULT_TIME};
    float topSpeed = 0.0f;
    float shownTop = 0.0f;
    RefHolder<Sprite> clock;
    RefHolder<Sprite> background;
    RefHolder<Sprite> filling;
    RefHolder<Sprite> rotate;
    RefHolder<Sprite> glow;
    RefHolder<Image> topMask;
    RefHolder<Image> fillImage;
    RefHolder<Image> topImage;
    // The filling's own picture, drawn again from fillImage for each new top edge.
    RefHolder<Image> picture;
    int32_t drawnEdge = -1;
};
