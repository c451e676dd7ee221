// Counting numbers: the three counting rules driven frame by frame into a label, the number
// formats, and the ticker built from a definition that keeps counting toward new targets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/RefHolder.h"
#include "framework/gui/Label.h"
#include "game/screen/LabelTicker.h"
#include "game/visuals/ModifierLabelValue.h"

namespace counting_labels_test {

// A label with a counter attached; runs frames and records every text the label showed.
struct CountedLabel {
    RefHolder<Label> label{new Label(0, 0, 100, 20, nullptr, 0)};
    RefHolder<ModifierLabelValue> counter;
    std::vector<std::wstring> shown;

    explicit CountedLabel(ModifierLabelValue* made) : counter(made) {
        counter->setFormat(ModifierLabelValue::FORMAT_PLAIN);
        GameNode::addModifier(label.get(), counter.get());
    }
    // Frames of `ms` until the counter finishes (or `limit` frames).
    int run(int32_t ms, int limit = 1000) {
        int frames = 0;
        while (!counter->isFinished() && frames < limit) {
            GameNode::tick(label.get(), ms);
            ++frames;
            if (!label->getText().empty() && (shown.empty() || shown.back() != label->getText())) {
                shown.push_back(label->getText());
            }
        }
        return frames;
    }
};

class ScopedTexts {
public:
    explicit ScopedTexts(const wchar_t* separator) {
        BasicProperties::createInstance();
        BasicProperties::instance()->setText("CTEXT_DIGIT_GROUPING_SYMBOL", separator);
    }
    ~ScopedTexts() { BasicProperties::releaseInstance(); }
    ScopedTexts(const ScopedTexts&) = delete;
    ScopedTexts& operator=(const ScopedTexts&) = delete;
};

TEST(CountingLabels, ValueAndTenfoldRulesStepTowardTheTargetAndStopOnIt) {
    CountedLabel byThree(new ModifierLabelValue(100000, 0, 10, 100, L""));
    byThree.counter->setRule(ModifierLabelValue::RULE_VALUE);
    byThree.counter->setAdd(-3);  // the size of the step counts, not its sign
    byThree.run(100);
    EXPECT_EQ(byThree.shown, (std::vector<std::wstring>{L"3", L"6", L"9", L"10"}));
    EXPECT_TRUE(byThree.counter->isFinished());

    CountedLabel down(new ModifierLabelValue(100000, 10, 0, 100, L"x"));
    down.counter->setRule(ModifierLabelValue::RULE_VALUE);
    down.counter->setAdd(-4);
    down.run(100);
    EXPECT_EQ(down.shown, (std::vector<std::wstring>{L"x6", L"x2", L"x0"}));

    CountedLabel tenfold(new ModifierLabelValue(100000, 0, 1234, 10, L""));
    tenfold.counter->setRule(ModifierLabelValue::RULE_TENFOLD);
    tenfold.run(10);
    EXPECT_EQ(tenfold.shown,
              (std::vector<std::wstring>{L"1000", L"1100", L"1200", L"1210", L"1220", L"1230",
                                         L"1231", L"1232", L"1233", L"1234"}));

    // Several intervals in one frame are taken at once.
    CountedLabel batched(new ModifierLabelValue(100000, 0, 1234, 10, L""));
    batched.counter->setRule(ModifierLabelValue::RULE_TENFOLD);
    EXPECT_EQ(batched.run(40), 3);
    EXPECT_EQ(batched.shown, (std::vector<std::wstring>{L"1210", L"1232", L"1234"}));
}

TEST(CountingLabels, TimeRuleWritesAtMostOneValuePerIntervalAndEndsOnTheTarget) {
    CountedLabel timed(new ModifierLabelValue(1000, 0, 500, 100, L""));
    timed.run(25);
    EXPECT_LE(timed.shown.size(), 10u);
    EXPECT_GE(timed.shown.size(), 5u);
    EXPECT_EQ(timed.shown.back(), L"500");

    // Nothing to count: no text written, finished at once.
    CountedLabel idle(new ModifierLabelValue(1000, 7, 7, 100, L""));
    EXPECT_EQ(idle.run(10), 1);
    EXPECT_EQ(idle.label->getText(), L"");
}

TEST(CountingLabels, NumberFormats) {
    const std::wstring dot = L".";
    EXPECT_EQ(ModifierLabelValue::formatNumber(1234567, 1, dot), L"1.234.567");
    EXPECT_EQ(ModifierLabelValue::formatNumber(0, 1, dot), L"0");
    EXPECT_EQ(ModifierLabelValue::formatNumber(999, 1, dot), L"999");
    EXPECT_EQ(ModifierLabelValue::formatNumber(1000, 1, dot), L"1.000");
    EXPECT_EQ(ModifierLabelValue::formatNumber(-1, 1, dot), L"4.294.967.295");
    EXPECT_EQ(ModifierLabelValue::formatNumber(-5, 0, dot), L"-5");
    EXPECT_EQ(ModifierLabelValue::formatNumber(12345, 0, dot), L"12345");
    EXPECT_EQ(ModifierLabelValue::formatNumber(5000, 2, dot), L"0:05");
    EXPECT_EQ(ModifierLabelValue::formatNumber(754000, 2, dot), L"12:34");
    EXPECT_EQ(ModifierLabelValue::formatNumber(3725000, 2, dot), L"1:2:05");
    EXPECT_EQ(ModifierLabelValue::formatNumber(5, 3, dot), L"");
}

TEST(CountingLabels, TickerFromADefinitionCountsEveryNewTarget) {
    ScopedTexts texts(L"_");  // "_" stands for a blank
    RefHolder<PropertyNode> definition(new PropertyNode("ticker", "LabelTicker"));
    definition->addChild(new PropertyNode("label", "Label"));
    definition->addChild(new PropertyValue("type", "value", true));
    definition->addChild(new PropertyValue("format", "dot", true));
    definition->addChild(new PropertyValue("add", 500, true));
    definition->addChild(new PropertyValue("interval", 10, true));
    definition->addChild(new PropertyValue("extra", L"Score ", true));
    RefHolder<LabelTicker> ticker(new LabelTicker(definition.get()));
    ModifierLabelValue* counter = ticker->getCounter();
    Label* label = counter->getLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getParent(), ticker.get());
    EXPECT_EQ(label->getText(), L"Score 0");

    counter->setTargetValue(1500);
    for (int frame = 0; frame < 10; ++frame) {
        GameNode::tick(ticker.get(), 10);
    }
    EXPECT_EQ(label->getText(), L"Score 1 500");
    // Still on its node: a later target is counted as well, not only the first.
    counter->setTargetValue(2000);
    GameNode::tick(ticker.get(), 10);
    EXPECT_EQ(label->getText(), L"Score 2 000");
    EXPECT_FALSE(counter->isFinished());

    // An interval of 0 shows the target at once instead of dividing by zero.
    counter->setInterval(0);
    counter->setTargetValue(123456);
    GameNode::tick(ticker.get(), 10);
    EXPECT_EQ(label->getText(), L"Score 123 456");
}

TEST(CountingLabels, TickerWithoutTypeOrTimeShowsEveryTargetAtOnce) {
    RefHolder<PropertyNode> definition(new PropertyNode("ticker", "LabelTicker"));
    definition->addChild(new PropertyNode("label", "Label"));
    definition->addChild(new PropertyValue("format", "plain", true));
    RefHolder<LabelTicker> ticker(new LabelTicker(definition.get()));
    ModifierLabelValue* counter = ticker->getCounter();
    for (int32_t target : {42, 7, 99999}) {
        counter->setTargetValue(target);
        GameNode::tick(ticker.get(), 1);
        EXPECT_EQ(counter->getLabel()->getText(), std::to_wstring(target));
    }
    counter->setExtra(L"+");
    EXPECT_EQ(counter->getLabel()->getText(), L"+99999");
}

}  // namespace counting_labels_test
