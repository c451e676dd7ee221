// Typing labels: lines uncovered on their timetable, the start wait, and skipping by a click
// with the hand cursor's hover count kept balanced.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/Image.h"
#include "framework/platform/InputHandler.h"
#include "game/screen/TypeLabel.h"
#include "gui/SyntheticFont.h"

namespace type_label_test {

// A label of two lines "ab" and "cd" (6-pixel characters, 10-pixel lines) at the origin.
RefHolder<TypeLabel> typed(int32_t start = 0, const char* range = nullptr, int32_t time = 800) {
    RefHolder<PropertyNode> definition(new PropertyNode("typed", "TypeLabel"));
    definition->addChild(new PropertyValue("time", time, true));
    if (start != 0) {
        definition->addChild(new PropertyValue("start", start, true));
    }
    if (range) {
        definition->addChild(new PropertyValue("range", range, true));
    }
    RefHolder<TypeLabel> label(new TypeLabel(definition.get()));
    label->setFont(RefHolder<Font>(new SyntheticFont()).get());
    label->setText(L"ab\\ncd");
    label->startTyping();
    return label;
}

int32_t labelAlphaAt(TypeLabel* label, int32_t x, int32_t y) {
    return *label->getImage()->getAlphaAddress(x, y);
}

TEST(TypeLabel, LinesAreUncoveredOnTheirTimetable) {
    RefHolder<TypeLabel> label = typed();
    ASSERT_EQ(label->getLines().size(), 2u);
    ASSERT_EQ(label->getImage()->getWidth(), 12);
    EXPECT_EQ(labelAlphaAt(label.get(), 0, 0), 0);
    label->update(100);  // 100 * 12 / 800 = 1 pixel of the first line
    EXPECT_EQ(labelAlphaAt(label.get(), 0, 0), 255);
    EXPECT_EQ(labelAlphaAt(label.get(), 7, 0), 0);
    EXPECT_EQ(labelAlphaAt(label.get(), 0, 10), 0);
    label->update(600);  // 700: ten pixels of the first line; the second starts now
    EXPECT_EQ(labelAlphaAt(label.get(), 7, 0), 255);
    EXPECT_EQ(labelAlphaAt(label.get(), 10, 0), 0);
    EXPECT_EQ(labelAlphaAt(label.get(), 0, 10), 0);
    label->update(99);  // 799: one pixel of the second line
    EXPECT_EQ(labelAlphaAt(label.get(), 0, 10), 255);
    EXPECT_EQ(labelAlphaAt(label.get(), 7, 10), 0);
    label->update(1);  // 800: the first line complete
    EXPECT_EQ(labelAlphaAt(label.get(), 10, 0), 255);
    EXPECT_FALSE(label->isFinished());
    label->update(600);  // 1,400: ten pixels of the second line
    EXPECT_EQ(labelAlphaAt(label.get(), 10, 10), 0);
    EXPECT_FALSE(label->isFinished());
    label->update(100);  // 1,500: both lines shown, finished
    EXPECT_EQ(labelAlphaAt(label.get(), 10, 10), 255);
    EXPECT_TRUE(label->isFinished());
}

TEST(TypeLabel, AVeryLongTypingTimeShowsHalfALineHalfway) {
    RefHolder<TypeLabel> slow = typed(0, nullptr, 1000000000);
    slow->update(500000000);
    EXPECT_EQ(labelAlphaAt(slow.get(), 4, 0), 255);
    EXPECT_EQ(labelAlphaAt(slow.get(), 7, 0), 0);
}

TEST(TypeLabel, NothingShowsDuringTheStartWait) {
    RefHolder<TypeLabel> label = typed(500);
    label->update(499);
    for (int32_t x = 0; x < 12; ++x) {
        EXPECT_EQ(labelAlphaAt(label.get(), x, 0), 0) << x;
    }
    label->update(101);
    EXPECT_EQ(labelAlphaAt(label.get(), 0, 0), 255);
}

TEST(TypeLabel, ClicksSkipTheTypingByRangeAndTheHoverCountStaysBalanced) {
    const int32_t before = InputHandler::getHoverCount();
    {
        RefHolder<TypeLabel> label = typed();
        label->onMouseMove(3, 3, 0);
        EXPECT_TRUE(label->isHovered());
        EXPECT_EQ(InputHandler::getHoverCount(), before + 1);
        EXPECT_FALSE(label->onLeftButtonDown(50, 50, 1, false));  // outside: not consumed
        EXPECT_EQ(InputHandler::getHoverCount(), before);
        EXPECT_TRUE(label->onLeftButtonDown(3, 3, 1, false));
        EXPECT_TRUE(label->isFinished());
        EXPECT_EQ(labelAlphaAt(label.get(), 10, 10), 255);
        EXPECT_EQ(InputHandler::getHoverCount(), before);
        EXPECT_FALSE(label->onLeftButtonDown(3, 3, 1, false));
        label->onMouseMove(3, 3, 0);
        EXPECT_FALSE(label->isHovered());  // a finished label is never hovered
    }
    {
        RefHolder<TypeLabel> label = typed(0, "none");
        label->onMouseMove(3, 3, 0);
        EXPECT_FALSE(label->isHovered());
        EXPECT_FALSE(label->onLeftButtonDown(3, 3, 1, false));
        EXPECT_FALSE(label->isFinished());
        label->cancelInput();
        EXPECT_TRUE(label->isFinished());
    }
    {
        RefHolder<TypeLabel> label = typed(0, "all");
        EXPECT_TRUE(label->onLeftButtonDown(500, 500, 1, false));
    }
    {
        // Destroyed while hovered and typing.
        RefHolder<TypeLabel> label = typed();
        label->onMouseMove(1, 1, 0);
        EXPECT_EQ(InputHandler::getHoverCount(), before + 1);
    }
    EXPECT_EQ(InputHandler::getHoverCount(), before);
}

}  // namespace type_label_test
