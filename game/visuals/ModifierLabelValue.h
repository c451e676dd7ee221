#pragma once

#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"
#include "framework/nodes/ModifierFraction.h"

class GameNode;
class Label;
class Sound;

// Counts the number a label shows toward a target value: step by step ("value"), by the
// leading digit of the distance ("tenfold") or over the duration ("time"), and writes it as a
// plain, grouped ("dot") or clock ("time") number behind a prefix. With finishes off it stays
// on its node and counts again whenever the target changes.
class ModifierLabelValue : public ModifierFraction {
    QUOVEL_TYPE(ModifierLabelValue)
public:
    enum Rule : int32_t { RULE_VALUE = 0, RULE_TENFOLD = 1, RULE_TIME = 2 };
    enum Format : int32_t { FORMAT_PLAIN = 0, FORMAT_DOT = 1, FORMAT_TIME = 2 };

    ModifierLabelValue(int32_t durationMs, int32_t startValue, int32_t targetValue,
                       int32_t intervalMs, const std::wstring& prefix);
    ~ModifierLabelValue() override;

    void update(int32_t elapsedMs) override;
    // A label target becomes the label when none is set yet.
    void setTarget(GameNode* node) override;
    // The "time" rule lands on the target.
    void finish() override;

    // Writes prefix + shown value in the current format into the label.
    void formatLabelNumber();
    // Stores a different prefix and re-formats.
    void setExtra(const std::wstring& text);
    // Stores a different format and re-formats.
    void setFormat(int32_t value);

    Label* getLabel() const { return label.get(); }
    void setLabel(Label* value);
    void setStartValue(int32_t value) { startValue = value; }
    void setTargetValue(int32_t value) { targetValue = value; }
    int32_t getShownValue() const { return shownValue; }
    void setShownValue(int32_t value) { shownValue = value; }
    void setAdd(int32_t value) { add = value; }
    int32_t getInterval() const { return interval; }
    void setInterval(int32_t value) { interval = value; }
    void setFinishes(bool value) { finishes = value; }
    void setMul(float value) { mul = value; }
    Sound* getTickSound() const { return tickSound.get(); }
    void setTickSound(Sound* sound);
    int32_t getRule() const { return rule; }
    void setRule(int32_t value) { rule = value; }
    int32_t getFormat() const { return format; }

    // The number as the format writes it (no prefix); "dot" groups with `separator`.
    static std::wstring formatNumber(int32_t value, int32_t format, const std::wstring& separator);

private:
    // The value after `steps` counting steps of the "value" or "tenfold" rule.
    int32_t countedValue(int64_t steps) const;

    RefHolder<Label> label;
    int32_t startValue;
    int32_t targetValue;
    int32_t shownValue;
    int32_t add = 1;
    int32_t interval;
    int32_t accumulator = 0;
    bool finishes = true;
    float mul = 10.0f;
    RefHolder<Sound> tickSound;
    int32_t rule = RULE_TIME;
    int32_t format = FORMAT_DOT;
    std::wstring prefix;
};
