#include "game/visuals/ModifierLabelValue.h"

#include <cmath>
#include <cstdlib>

#include "framework/core/BasicProperties.h"
#include "framework/gui/Label.h"
#include "framework/platform/Sound.h"

QUOVEL_DEFINE_TYPE(ModifierLabelValue, &ModifierFraction::typeRecord)

namespace {

std::wstring groupDigits(uint32_t value, const std::wstring& separator) {
    std::wstring digits = std::to_wstring(value);
    std::wstring out;
    const size_t count = digits.size();
    for (size_t index = 0; index < count; ++index) {
        if (index > 0 && (count - index) % 3 == 0) {
            out += separator;
        }
        out += digits[index];
    }
    return out;
}

std::wstring clockText(uint32_t ms) {
    const uint32_t hours = ms / 3600000u;
    const uint32_t minutes = (ms % 3600000u) / 60000u;
    const uint32_t seconds = (ms % 60000u) / 1000u;
    std::wstring out;
    if (hours > 0) {
        out = std::to_wstring(hours) + L":";
    }
    out += std::to_wstring(minutes) + L":";
    if (seconds < 10) {
        out += L"0";
    }
    return out + std::to_wstring(seconds);
}

}  // namespace

ModifierLabelValue::ModifierLabelValue(int32_t durationMs, int32_t startValue, int32_t targetValue,
                                       int32_t intervalMs, const std::wstring& prefix)
    : ModifierFraction(durationMs),
      startValue(startValue),
      targetValue(targetValue),
      shownValue(startValue),
      interval(intervalMs),
      prefix(prefix) {}

ModifierLabelValue::~ModifierLabelValue() = default;

void ModifierLabelValue::setLabel(Label* value) {
    label = value;
}

void ModifierLabelValue::setTickSound(Sound* sound) {
    tickSound = sound;
}

void ModifierLabelValue::setTarget(GameNode* node) {
    ModifierFraction::setTarget(node);
    if (!label) {
        if (Label* asLabel = objectCast<Label>(node)) {
            label = asLabel;
        }
    }
}

int32_t ModifierLabelValue::countedValue(int64_t steps) const {
    const bool up = shownValue < targetValue;
    int64_t shown = shownValue;
    const int64_t target = targetValue;
    const int64_t least = std::llabs(static_cast<int64_t>(add));
    if (rule == RULE_VALUE) {
        shown += (up ? 1 : -1) * least * steps;
    } else if (rule == RULE_TENFOLD) {
        for (int64_t done = 0; done < steps && shown != target; ++done) {
            const double distance = static_cast<double>(std::llabs(shown - target));
            int64_t step = 1;
            while (static_cast<double>(mul) * static_cast<double>(step) <= distance &&
                   step < (int64_t{1} << 40)) {
                step *= 10;
            }
            step = std::max(step, least);
            shown += up ? step : -step;
            if ((shown < target) != up) {
                break;
            }
        }
    }
    if ((shown < target) != up) {
        shown = target;
    }
    return static_cast<int32_t>(shown);
}

void ModifierLabelValue::update(int32_t elapsedMs) {
    step(elapsedMs);
    if (shownValue != targetValue) {
        int64_t steps = 0;
        if (interval > 0) {
            accumulator += elapsedMs;
            steps = accumulator / interval;
            if (steps > 0) {
                accumulator -= static_cast<int32_t>(steps * interval);
            }
        } else if (interval == 0) {
            // No pace to count at: the whole distance in one batch.
            steps = INT32_MAX;
        }
        if (steps > 0) {
            int32_t shown = shownValue;
            if (rule == RULE_TIME) {
                const double span = static_cast<double>(targetValue) - startValue;
                shown = static_cast<int32_t>(std::trunc(startValue + span * getFraction()));
            } else {
                shown = countedValue(steps);
            }
            if (shown != shownValue) {
                shownValue = shown;
                formatLabelNumber();
            }
            if (tickSound) {
                tickSound->play(255, 128, false);
            }
        }
    }
    if (shownValue == targetValue) {
        ModifierFraction::finish();
    }
    // A never-finishing counter stays on its node: the timed step may have ended it as well.
    if (!finishes) {
        clearFinished();
    }
}

void ModifierLabelValue::finish() {
    if (rule == RULE_TIME && shownValue != targetValue) {
        shownValue = targetValue;
        formatLabelNumber();
    }
    ModifierFraction::finish();
}

std::wstring ModifierLabelValue::formatNumber(int32_t value, int32_t format,
                                              const std::wstring& separator) {
    switch (format) {
        case FORMAT_PLAIN:
            return std::to_wstring(value);
        case FORMAT_DOT:
            return groupDigits(static_cast<uint32_t>(value), separator);
        case FORMAT_TIME:
            return clockText(static_cast<uint32_t>(value));
        default:
            return std::wstring();
    }
}

void ModifierLabelValue::formatLabelNumber() {
    if (!label) {
        return;
    }
    std::wstring separator;
    if (format == FORMAT_DOT) {
        separator = getBasicText("CTEXT_DIGIT_GROUPING_SYMBOL");
        if (separator == L"_") {
            separator = L" ";
        }
    }
    label->setText(prefix + formatNumber(shownValue, format, separator));
}

void ModifierLabelValue::setExtra(const std::wstring& text) {
    if (text != prefix) {
        prefix = text;
        formatLabelNumber();
    }
}

void ModifierLabelValue::setFormat(int32_t value) {
    if (value != format) {
        format = value;
        formatLabelNumber();
    }
}
