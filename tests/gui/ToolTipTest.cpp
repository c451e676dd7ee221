// Tooltips: the show and remove delays on the window's frame, the box kept in place while the
// pointer moves on the same sprite, the box at the four edges of the window, dialogs and panels
// covering what lies below them, and the label's wrapping and box. The road through a running
// scene is driven by the picture test of the switches and the slider.
#include "framework/gui/ToolTip.h"

#include "framework/gui/Dialog.h"
#include "framework/gui/Panel.h"
#include "gui/GuiFixture.h"
#include "gui/SyntheticFont.h"

using namespace testpixels;

namespace tool_tip_test {

constexpr uint32_t BORDER = 0x3B2414;
constexpr uint32_t FILL = 0xFFF4D6;
constexpr uint32_t BLANK = 0x000080;

class ToolTipTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        font = new SyntheticFont();
        section->addObject("F", new MemoryObjectResource(font.get()));
        tree = new GameTree();
    }
    RefHolder<ToolTip> toolTipFrom(const std::string& keys, int32_t maxWidth = 200,
                                   const std::string& labelKeys = "") {
        RefHolder<PropertyNode> node =
            nodeFrom("<ToolTip id=\"t\" " + keys +
                         "><ToolTipLabel id=\"renderer\" font=\"F\" section=\"gui\" width=\"" +
                         std::to_string(maxWidth) +
                         "\" bordercolor=\"#3B2414\" backgroundcolor=\"#FFF4D6\" " + labelKeys +
                         "/></ToolTip>",
                     "t");
        RefHolder<BaseObject> made = ObjectFactoryContainer::instance()->createObject(node.get());
        RefHolder<ToolTip> tip = objectCast<ToolTip>(made.get());
        if (tip) {
            tip->setRoot(tree.get());
        }
        return tip;
    }
    // A sprite of the size at the place under `parent`, with a tooltip text.
    static Sprite* addSprite(GameNode* parent, int32_t x, int32_t y, int32_t w, int32_t h,
                             const std::wstring& text) {
        auto* sprite = new Sprite(x, y, w, h);
        sprite->setToolTip(text);
        GameNode::appendChild(sprite, parent);
        return sprite;
    }
    // One frame: the pointer at (x, y), the back buffer cleared, the tooltip updated.
    void frame(ToolTip* tip, int32_t x, int32_t y, int32_t elapsed) {
        EXPECT_FALSE(static_cast<iInputListener*>(tip)->onMouseMove(x, y, 0));
        Graphics* graphics = GameWindow::getInstance()->getGraphics();
        graphics->setColor(BLANK);
        graphics->clear();
        tip->update(elapsed);
    }
    // The color of the window's frame at the point.
    static uint32_t windowColorAt(int32_t x, int32_t y) {
        Image* back = GameWindow::getInstance()->getBackBuffer();
        back->lock();
        const uint32_t color = colorAt(back, x, y);
        back->unlock();
        return color;
    }
    // The color on the frame at the box's top-left border pixel.
    static uint32_t borderPixel(ToolTip* tip) {
        auto* label = static_cast<ToolTipLabel*>(tip->getRenderer());
        return windowColorAt(tip->getBoxX() - label->getPadding(),
                             tip->getBoxY() - label->getPadding());
    }

    RefHolder<SyntheticFont> font;
    RefHolder<GameTree> tree;
};

TEST_F(ToolTipTest, TheBoxWaitsTheShowDelayStaysInPlaceAndGoesAfterTheRemoveDelay) {
    ASSERT_NE(GameWindow::getInstance()->getGraphics(), nullptr);
    Sprite* sprite = addSprite(tree.get(), 100, 100, 50, 50, L"Hello");
    RefHolder<ToolTip> tip = toolTipFrom("");
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->getShowDelay(), 1000);
    EXPECT_EQ(tip->getRemoveDelay(), 10000);

    frame(tip.get(), 120, 120, 16);
    EXPECT_EQ(tip->getCurrentSprite(), sprite);
    frame(tip.get(), 120, 120, 999);
    EXPECT_FALSE(tip->isShowing());
    EXPECT_NE(borderPixel(tip.get()), BORDER);
    frame(tip.get(), 120, 120, 1);
    ASSERT_TRUE(tip->isShowing());
    EXPECT_EQ(tip->getBoxX(), 120);
    EXPECT_EQ(tip->getBoxY(), 144);
    EXPECT_EQ(borderPixel(tip.get()), BORDER);
    // The text lies on the fill, inside the border.
    EXPECT_EQ(windowColorAt(120 + 5, 144 - 1), FILL);

    // Moving on the same sprite neither restarts the delays nor moves the box.
    frame(tip.get(), 140, 130, 9000);
    EXPECT_TRUE(tip->isShowing());
    EXPECT_EQ(tip->getBoxX(), 120);
    EXPECT_EQ(tip->getBoxY(), 144);
    // The frame in which the remove delay runs out is still drawn, the next is not.
    frame(tip.get(), 140, 130, 999);
    EXPECT_EQ(borderPixel(tip.get()), BORDER);
    frame(tip.get(), 140, 130, 16);
    EXPECT_NE(borderPixel(tip.get()), BORDER);
    EXPECT_FALSE(tip->isShowing());

    // Leaving every tooltip sprite and coming back waits again.
    frame(tip.get(), 10, 10, 16);
    EXPECT_EQ(tip->getCurrentSprite(), nullptr);
    frame(tip.get(), 120, 120, 16);
    frame(tip.get(), 120, 120, 500);
    EXPECT_FALSE(tip->isShowing());
    frame(tip.get(), 120, 120, 500);
    EXPECT_TRUE(tip->isShowing());

    // Under a still pointer, a sprite above that is given a text takes over at once.
    Sprite* above = addSprite(tree.get(), 110, 110, 20, 20, L"");
    frame(tip.get(), 10, 10, 16);
    frame(tip.get(), 120, 120, 16);
    frame(tip.get(), 120, 120, 16);
    EXPECT_EQ(tip->getCurrentSprite(), sprite);
    above->setToolTip(L"Above");
    frame(tip.get(), 120, 120, 16);
    EXPECT_EQ(tip->getCurrentSprite(), above);
}

TEST_F(ToolTipTest, TheWholeBoxStaysInsideTheWindowAtItsFourEdges) {
    // Without a show delay the box is placed on its first frame. The padding is the shipped
    // tooltip's, wider than the default: the box reaches further beyond the text.
    addSprite(tree.get(), 0, 0, 800, 600, L"Edge");
    RefHolder<ToolTip> tip = toolTipFrom("showdelay=\"0\"", 200, "padding=\"4\"");
    struct Case {
        int32_t x, y;
        bool right, bottom;
    };
    const Sprite* box = tip->getRenderer();
    const int32_t p = 4;
    for (const Case& c :
         {Case{10, 10, false, false}, Case{10, 595, false, true}, Case{795, 595, true, true},
          Case{795, 10, true, false}, Case{1, 10, false, false}}) {
        frame(tip.get(), 400, 700, 16);  // off the sprite: the next one waits anew
        frame(tip.get(), c.x, c.y, 16);
        ASSERT_TRUE(tip->isShowing());
        const int32_t w = box->getWidth() + p;
        const int32_t h = box->getHeight() + p;
        if (!c.bottom) {
            // Below the pointer, or pushed left against the right edge; never past the left.
            EXPECT_EQ(tip->getBoxY(), c.y + 24);
            EXPECT_EQ(tip->getBoxX(), c.right ? 800 - w : std::max(c.x, p));
        } else {
            // Beside the pointer, lifted to end at the bottom edge; left of it in the corner.
            EXPECT_EQ(tip->getBoxY(), 600 - h);
            EXPECT_EQ(tip->getBoxX(), c.right ? c.x - w - 2 : c.x + 16);
        }
        // Both corners of the border lie on the window and are drawn there.
        const int32_t right = tip->getBoxX() + w - 1;
        const int32_t bottom = tip->getBoxY() + h - 1;
        ASSERT_GE(tip->getBoxX() - p, 0) << c.x << "," << c.y;
        ASSERT_GE(tip->getBoxY() - p, 0) << c.x << "," << c.y;
        ASSERT_LT(right, 800) << c.x << "," << c.y;
        ASSERT_LT(bottom, 600) << c.x << "," << c.y;
        EXPECT_EQ(borderPixel(tip.get()), BORDER) << c.x << "," << c.y;
        EXPECT_EQ(windowColorAt(right, bottom), BORDER) << c.x << "," << c.y;
    }
}

TEST_F(ToolTipTest, DialogsAndPanelsCoverTheTooltipsBelowThem) {
    Sprite* back = addSprite(tree.get(), 0, 0, 800, 600, L"Board");
    RefHolder<ToolTip> tip = toolTipFrom("showdelay=\"0\"");
    frame(tip.get(), 50, 50, 16);
    EXPECT_EQ(tip->getCurrentSprite(), back);

    // A panel under the pointer hides the board, but not its own widgets.
    RefHolder<Panel> panel = new Panel();
    panel->setSize(100, 100);
    GameNode::appendChild(panel.get(), tree.get());
    Sprite* inPanel = addSprite(panel.get(), 10, 10, 20, 20, L"Widget");
    frame(tip.get(), 50, 50, 16);
    EXPECT_EQ(tip->getCurrentSprite(), nullptr);
    frame(tip.get(), 15, 15, 16);
    EXPECT_EQ(tip->getCurrentSprite(), inPanel);
    frame(tip.get(), 300, 300, 16);
    EXPECT_EQ(tip->getCurrentSprite(), back);

    // A visible dialog anywhere covers every tooltip before it, whatever lies under the pointer.
    RefHolder<Dialog> dialog = new Dialog();
    dialog->setPosition(500, 400);
    dialog->setSize(200, 100);
    GameNode::appendChild(dialog.get(), tree.get());
    Sprite* inDialog = addSprite(dialog.get(), 20, 20, 30, 30, L"Inside");
    frame(tip.get(), 300, 300, 16);
    EXPECT_EQ(tip->getCurrentSprite(), nullptr);
    EXPECT_FALSE(tip->isShowing());
    frame(tip.get(), 525, 425, 16);
    EXPECT_EQ(tip->getCurrentSprite(), inDialog);
    dialog->setVisible(false);
    frame(tip.get(), 300, 300, 16);
    EXPECT_EQ(tip->getCurrentSprite(), back);
}

TEST_F(ToolTipTest, ALongTextWrapsAtTheMaximumWidthAndTheBoxFitsTheWidestLine) {
    RefHolder<ToolTip> tip = toolTipFrom("");
    auto* label = objectCast<ToolTipLabel>(tip->getRenderer());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getMaxWidth(), 200);
    EXPECT_EQ(label->getWrapStyle(), Label::WRAP_WORDWRAP);
    std::wstring text;
    while (text.size() < 100) {
        text += L"word ";
    }
    text.resize(99);  // 20 words, no trailing blank
    label->setToolTip(text);
    label->renderText();
    int32_t widest = 0;
    ASSERT_GT(label->getLines().size(), 1u);
    for (const LabelLine& line : label->getLines()) {
        EXPECT_LE(line.width, 200);
        widest = std::max(widest, line.width);
    }
    EXPECT_EQ(label->getWidth(), widest);
    EXPECT_LT(widest, 200);

    // Drawn at the origin, the box reaches the padding beyond the text on every side.
    RefHolder<Image> picture = Image::createImage(260, 120, 4);
    RefHolder<Graphics> graphics = picture->createGraphics();
    graphics->setColor(BLANK);
    graphics->clear();
    graphics->translate(10, 10);
    static_cast<IRenderable*>(label)->render(graphics.get());
    const int32_t p = label->getPadding();
    EXPECT_EQ(colorAt(picture.get(), 10 - p, 10 - p), BORDER);
    EXPECT_EQ(colorAt(picture.get(), 10 + widest + p - 1, 10 + label->getHeight() + p - 1), BORDER);
    EXPECT_EQ(colorAt(picture.get(), 10 + widest + p, 10), BLANK);
    EXPECT_EQ(colorAt(picture.get(), 10 - p + 1, 10 - p + 1), FILL);
    // The first glyph of the text, in the font's own color.
    EXPECT_EQ(colorAt(picture.get(), 10 + 1, 10 + 1), SyntheticFont::OWN_COLOR & 0xFFFFFF);
}

}  // namespace tool_tip_test
