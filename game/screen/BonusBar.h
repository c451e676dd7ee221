#pragma once

#include <array>
#include <cstdint>

#include "framework/core/RefHolder.h"
#include "framework/nodes/Sprite.h"
#include "game/rules/TrophyId.h"

class BaseObject;
class Image;
class Label;
class PropertyNode;
class PropertyVector;
class PlayScreen;

// The bonus meter at the side of the game screen. Every match fills it by the level's points
// times an internal multiplier, and it drains on its own; a match made within the countdown of
// the previous one raises the combo multiplier (the rules' chain counter), whose countdown shows
// as a clock that wipes away. A full meter claims the bonus shown in its box: the effect is
// booked at once and the icon flies to its destination, where the shown value catches up. The
// next bonus is drawn by weight from media/properties/bonus.xml. Its pieces are the game
// scene's components "BONUSBAR_*"; stars and the flying icon live in an effect layer of its own.
class BonusBar : public Sprite {
    QUOVEL_TYPE(BonusBar)
public:
    enum Kind : int32_t {
        TIME = 0,
        SHUFFLE = 1,
        SCORE_2500 = 2,
        SCORE_5000 = 3,
        SCORE_10000 = 4,
        HINT = 5,
        SUPER_HINT = 6,
        NONE = 7,
    };
    static constexpr int32_t KIND_COUNT = 7;
    static constexpr int32_t MAX_MULTIPLIER = 99;
    static constexpr int32_t DEFAULT_MAX_COUNTDOWN = 2000;
    static constexpr int32_t DEFAULT_MAX_POINTS = 2500;
    static constexpr float DEFAULT_DEPLETION_SPEED = 0.25f;
    static constexpr const char* RULES_FILE = "media/properties/bonus.xml";

    // A fresh bar (first bonus drawn) on the game scene the dialogs hold, or one restored from a
    // saved node; saved values out of their ranges are clamped or replaced by fresh ones.
    explicit BonusBar(PropertyNode* saved);
    BonusBar(PropertyNode* saved, PlayScreen* scene);
    ~BonusBar() override;

    void save(PropertyNode* node) const;
    // A match: fills the meter, raises the multiplier and claims a full meter. Nothing while
    // the bar is suspended.
    void addPoints(int32_t points);
    void update(int32_t elapsedMs) override;
    void setVisible(bool value) override;
    // Shows "x" and the multiplier.
    void updateMultiplierLabel();
    // The end of a level: a bonus still in flight takes effect at once, the effects fade.
    void finishAnimations();

    // The bonus rules (a "bonuses" vector); read from RULES_FILE when the bar is made.
    void setRules(PropertyVector* value);
    // The level's parameters.
    void setMaxPoints(int32_t value) { maxPoints = value; }
    void setDepletionSpeed(float value) { depletionSpeed = value; }
    void setMaxCountdown(int32_t value) { maxCountdown = value; }

    int32_t getBonus() const { return bonus; }
    int32_t getMultiplier() const { return multiplier; }
    int32_t getInternalMultiplier() const { return internalMultiplier; }
    int32_t getMaxPoints() const { return maxPoints; }
    float getCurrentPoints() const { return currentPoints; }
    int32_t getMaxCountdown() const { return maxCountdown; }
    int32_t getCurrentCountdown() const { return currentCountdown; }
    float getDepletionSpeed() const { return depletionSpeed; }
    float getShownFill() const { return shownFill; }
    // A super hint was won and not yet used.
    bool hasSuperHint() const { return superHint; }
    Sprite* getFlyingBonus() const { return flyingBonus.get(); }
    GameNode* getEffectLayer() const { return effectLayer.get(); }
    int32_t getLastCountdownLevel() const { return lastCountdownLevel; }
    // The countdown's share of multiplier m: 1 - (m - 1) * MULTIPLIER_PERCENTAGE, at least
    // MULTIPLIER_MINIMUM.
    static float countdownFactor(int32_t multiplier);
    // The weighted draw of the next kind after `shown` (the current weights with their cuts);
    // NONE when the weights leave nothing to draw.
    int32_t drawKind(int32_t shown);

    // Clears the target's pixels whose threshold alpha t has (t < level) == invert and copies the
    // others from the source. False, with nothing drawn, unless the three images have one size
    // and the target and source one depth.
    static bool drawThresholdMask(Image* target, Image* source, Image* threshold, int32_t level,
                                  bool invert);

private:
    void findParts();
    void readRules();
    void restore(PropertyNode* saved);
    void refreshView();
    int32_t chance(int32_t kind) const;
    float targetFill() const;
    bool runs() const;
    void raiseMultiplier();
    void claim();
    void applyBonus();
    void chooseNextBonus();
    void showBonusImage();
    void animateClaim();
    void updateFillClip();
    void drawCountdown(bool force);
    void awardTrophy(TrophyId id);
    // Where the kind's icon flies to, on the screen.
    void destination(int32_t kind, int32_t& x, int32_t& y) const;

    int32_t onBonusDetached(BaseObject* sender);
    int32_t onBonusArrivedCallback(BaseObject* sender);
    int32_t spawnStar(BaseObject* sender);
    int32_t resetBoxFrame(BaseObject* sender);
    void onBonusArrived(GameNode* sprite);

    PlayScreen* scene = nullptr;
    RefHolder<Sprite> filling;
    RefHolder<Label> multiplierLabel;
    RefHolder<Sprite> timer;
    RefHolder<Image> countdownImage;
    RefHolder<Sprite> bonusIcon;
    RefHolder<Sprite> box;
    RefHolder<Sprite> sunshine;
    RefHolder<Sprite> flyingBonus;
    RefHolder<GameNode> effectLayer;
    RefHolder<PropertyVector> rules;
    int32_t bonus = NONE;
    std::array<int32_t, KIND_COUNT> chances{};
    int32_t lastCountdownLevel = -1;
    int32_t multiplier = 1;
    int32_t internalMultiplier = 1;
    int32_t maxCountdown = DEFAULT_MAX_COUNTDOWN;
    int32_t currentCountdown = 0;
    int32_t maxPoints = DEFAULT_MAX_POINTS;
    float currentPoints = 0.0f;
    float depletionSpeed = DEFAULT_DEPLETION_SPEED;
    float shownFill = 0.0f;
    float fillSpeed = 0.0f;
    bool superHint = false;
};
