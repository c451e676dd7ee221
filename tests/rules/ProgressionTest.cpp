#include <gtest/gtest.h>

#include <vector>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/RefHolder.h"
#include "game/rules/Progression.h"

namespace progression_test {

RefHolder<PropertyNode> progressionStep(const char* start, const char* delta, const char* cap) {
    RefHolder<PropertyNode> node(new PropertyNode("p", "Node"));
    if (start) {
        node->addChild(new PropertyValue("start", start, true));
    }
    if (delta) {
        node->addChild(new PropertyValue("delta", delta, true));
    }
    if (cap) {
        node->addChild(new PropertyValue("cap", cap, true));
    }
    return node;
}

std::vector<float> values(Progression& progression, int advances) {
    std::vector<float> seen{progression.getValue()};
    for (int i = 0; i < advances; ++i) {
        seen.push_back(progression.advance());
    }
    return seen;
}

TEST(Progression, APlainValueIsAConstant) {
    RefHolder<PropertyValue> value(new PropertyValue("playTime", "120", true));
    Progression progression(value.get());
    EXPECT_EQ(progression.getStart(), 120.0f);
    EXPECT_EQ(progression.getDelta(), 0.0f);
    EXPECT_EQ(progression.getCap(), 120.0f);
    EXPECT_EQ(values(progression, 2), (std::vector<float>{120, 120, 120}));
}

TEST(Progression, RisingAndFallingStepsStopAtTheCap) {
    auto rising = progressionStep("10", "5", "20");
    Progression up(rising.get());
    EXPECT_EQ(values(up, 3), (std::vector<float>{10, 15, 20, 20}));
    EXPECT_EQ(up.getStart(), 10.0f);

    auto falling = progressionStep("10", "-4", "3");
    Progression down(falling.get());
    EXPECT_EQ(values(down, 3), (std::vector<float>{10, 6, 3, 3}));
}

TEST(Progression, MissingChildrenReadAsZero) {
    // Without a cap a rising progression is pulled down to 0 on its first step.
    auto noCap = progressionStep("10", "2", nullptr);
    Progression capped(noCap.get());
    EXPECT_EQ(values(capped, 1), (std::vector<float>{10, 0}));

    auto noDelta = progressionStep("7.5", nullptr, "100");
    Progression still(noDelta.get());
    EXPECT_EQ(values(still, 3), (std::vector<float>{7.5f, 7.5f, 7.5f, 7.5f}));
}

TEST(Progression, UnreadableTextAndOtherPropertiesReadAsZero) {
    RefHolder<PropertyValue> text(new PropertyValue("p", "abc", true));
    Progression fromText(text.get());
    EXPECT_EQ(fromText.getValue(), 0.0f);

    Progression fromNothing(static_cast<AbstractProperty*>(nullptr));
    EXPECT_EQ(fromNothing.getValue(), 0.0f);
    RefHolder<PropertyVector> vector(new PropertyVector("p"));
    Progression fromVector(vector.get());
    EXPECT_EQ(fromVector.getCap(), 0.0f);
}

TEST(Progression, TheFactoryMakesOneFromItsDefinition) {
    auto node = progressionStep("3.75", "1", "9");
    RefHolder<BaseObject> made(
        ObjectFactoryContainer::instance()->create("Progression", node.get()));
    auto* progression = objectCast<Progression>(made.get());
    ASSERT_NE(progression, nullptr);
    EXPECT_EQ(progression->getValue(), 3.75f);
    EXPECT_EQ(progression->getInt(), 3);
    progression->advance();
    EXPECT_EQ(progression->getInt(), 4);
}

}  // namespace progression_test
