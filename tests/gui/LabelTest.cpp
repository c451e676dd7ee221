// Labels: text from definitions, the three layouts, alignment and padding, lazy rendering, and
// the rendered text compared pixel by pixel with what a font of known metrics must leave.
#include "framework/gui/Label.h"

#include "framework/core/ProblemLog.h"
#include "framework/gui/Dialog.h"
#include "framework/gui/InputLabel.h"
#include "framework/gui/StyleLabel.h"
#include "framework/gui/WidgetSupport.h"
#include "framework/platform/RenderTask.h"
#include "gui/GuiFixture.h"
#include "gui/SyntheticFont.h"

using namespace testpixels;

namespace label_test {

class LabelTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        font = new SyntheticFont();
        section->addObject("F", new MemoryObjectResource(font.get()));
    }
    RefHolder<Label> labelFrom(const std::string& keys) {
        RefHolder<PropertyNode> node = nodeFrom("<Label id=\"l\" " + keys + "/>", "l");
        return new Label(node.get());
    }
    // The lines a label of that width and wrap style lays the text out into.
    std::vector<std::wstring> linesOf(const std::wstring& text, int32_t width, int32_t wrap,
                                      int32_t align = Label::ALIGN_LEFT, int32_t maxLines = 0) {
        RefHolder<Label> label = new Label(0, 0, width, 50, font.get(), wrap);
        label->setAlignH(align);
        label->setMaxLines(maxLines);
        label->setText(text);
        label->renderText();
        std::vector<std::wstring> texts;
        for (const LabelLine& line : label->getLines()) {
            texts.push_back(line.text);
        }
        return texts;
    }

    RefHolder<SyntheticFont> font;
};

using Lines = std::vector<std::wstring>;

TEST_F(LabelTest, DefinitionsGiveTheTextColorsAndOptions) {
    BasicProperties::instance()->setText("GREETING", L"Hello");
    RefHolder<Label> split = labelFrom(
        R"(font="F" section="gui" text="one\ntwo" color0="#FF00FF00" color2="#FF0000FF")");
    split->renderText();
    ASSERT_EQ(split->getLines().size(), 2u);
    EXPECT_EQ(split->getLines()[1].text, L"two");
    EXPECT_EQ(split->getFont(), font.get());
    EXPECT_EQ(split->getTextColors(), (std::vector<uint32_t>{0xFF00FF00}));

    RefHolder<Label> fromId = labelFrom(R"(textid="GREETING" wrapstyle="wrap" alignh="middle"
                                          padstyle="none" autofitheight="false" lineheight="7")");
    EXPECT_EQ(fromId->getText(), L"Hello");
    EXPECT_EQ(fromId->getWrapStyle(), -1);
    EXPECT_EQ(fromId->getAlignH(), -1);
    EXPECT_EQ(fromId->getPadStyle(), Label::PAD_NONE);
    EXPECT_FALSE(fromId->getAutoFitHeight());
    EXPECT_EQ(fromId->effectiveLineHeight(), 7);
    // No font: nothing is laid out or shown.
    fromId->renderText();
    EXPECT_TRUE(fromId->getLines().empty());
    EXPECT_EQ(fromId->getImage(), nullptr);
    EXPECT_EQ(labelFrom("value=\"v\" text=\"t\"")->getText(), L"t");
    EXPECT_EQ(labelFrom("value=\"v\"")->getText(), L"v");
    EXPECT_EQ(labelFrom("textid=\"MISSING\"")->getText(), L"");
}

// A font, a hit mask, a text cursor or a markup picture that no section load brought in is
// loaded by the widget that names it; one that cannot be had, or is of another type, is reported.
TEST_F(LabelTest, ResourcesThatWidgetsNameAreLoadedOrReported) {
    RefHolder<Image> picture = Image::createImage(4, 4, 4);
    section->addObject("LATE_FONT", new MemoryObjectResource(font.get(), false));
    for (const char* key : {"LATE_MASK", "LATE_CURSOR", "LATE_DOT"}) {
        section->addObject(key, new MemoryObjectResource(picture.get(), false));
    }
    EXPECT_EQ(labelFrom(R"(font="LATE_FONT" section="gui")")->getFont(), font.get());
    EXPECT_EQ(
        findHitMask(nodeFrom(R"(<Button id="b" hitmask="LATE_MASK" section="gui"/>)", "b").get()),
        picture.get());
    RefHolder<InputLabel> input = new InputLabel(
        nodeFrom(R"(<InputLabel id="i" font="F" cursorimage="LATE_CURSOR" section="gui"/>)", "i")
            .get());
    ASSERT_NE(input->getCursor(), nullptr);
    EXPECT_EQ(input->getCursor()->getImage(), picture.get());
    RefHolder<StyleLabel> styled = new StyleLabel(
        nodeFrom(R"(<StyleLabel id="s" font="F" section="gui" width="100"/>)", "s").get());
    styled->setText(L"[image=LATE_DOT,gui]a");
    EXPECT_EQ(styled->getState().images.size(), 1u);

    std::vector<std::string> problems;
    setProblemSink([&](const std::string& line) { problems.push_back(line); });
    EXPECT_EQ(labelFrom(R"(font="NO_FONT" section="gui")")->getFont(), nullptr);
    EXPECT_EQ(labelFrom(R"(font="LATE_DOT" section="gui")")->getFont(), nullptr);
    setProblemSink(nullptr);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("NO_FONT"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("LATE_DOT\" is of type Image, not Font"), std::string::npos);
}

TEST_F(LabelTest, WordWrapTruncateAndAutowidthLayouts) {
    // Advance 6: "abc def" is 42 wide; 30 holds five characters.
    EXPECT_EQ(linesOf(L"abc def", 30, Label::WRAP_WORDWRAP), (Lines{L"abc", L"def"}));
    EXPECT_EQ(linesOf(L"abcdefgh", 30, Label::WRAP_WORDWRAP), (Lines{L"abcde", L"fgh"}));
    EXPECT_EQ(linesOf(L"abc  def", 30, Label::WRAP_WORDWRAP), (Lines{L"abc ", L"def"}));
    EXPECT_EQ(linesOf(L" abc\n\nabc def", 200, Label::WRAP_WORDWRAP),
              (Lines{L" abc", L"", L"abc def"}));
    // With a line limit: words stay whole, and text past the last line ends it with "...".
    EXPECT_EQ(linesOf(L"ab cd ef", 30, Label::WRAP_WORDWRAP, Label::ALIGN_LEFT, 2),
              (Lines{L"ab cd", L"ef"}));
    EXPECT_EQ(linesOf(L"a\n\nb", 42, Label::WRAP_WORDWRAP, Label::ALIGN_LEFT, 2),
              (Lines{L"a", L"..."}));
    // Narrower than one character: one character per line, and no endless loop.
    EXPECT_EQ(linesOf(L"ab c", 3, Label::WRAP_WORDWRAP), (Lines{L"a", L"b", L"c"}));
    EXPECT_EQ(linesOf(L"ab c", -5, Label::WRAP_WORDWRAP), (Lines{L"a", L"b", L"c"}));

    EXPECT_EQ(linesOf(L"abcdefgh", 40, Label::WRAP_TRUNCATE), (Lines{L"abc..."}));
    // A prefix ending in a blank is never tried: "ab ..." would fit 36.
    EXPECT_EQ(linesOf(L"ab cdefgh", 36, Label::WRAP_TRUNCATE), (Lines{L"ab..."}));
    EXPECT_EQ(linesOf(L"ab cdefgh", 42, Label::WRAP_TRUNCATE), (Lines{L"ab c..."}));
    EXPECT_EQ(linesOf(L"abcdefgh", 20, Label::WRAP_TRUNCATE), (Lines{L""}));
    EXPECT_EQ(linesOf(L"abc", 20, Label::WRAP_TRUNCATE), (Lines{L"abc"}));

    EXPECT_EQ(linesOf(L"a b c d e f", 1, Label::WRAP_AUTOWIDTH), (Lines{L"a b c d e f"}));
    RefHolder<Label> empty = new Label(0, 0, 0, 0, font.get(), Label::WRAP_AUTOWIDTH);
    empty->renderText();
    EXPECT_EQ(empty->getImage(), nullptr);
    empty->setText(L"\n\n");
    empty->renderText();
    EXPECT_EQ(empty->getLines().size(), 3u);
    EXPECT_EQ(empty->getImage(), nullptr);
    // A wrapping label of no width shows nothing.
    RefHolder<Label> narrow = new Label(0, 0, 0, 20, font.get(), Label::WRAP_WORDWRAP);
    narrow->setText(L"abc");
    narrow->renderText();
    EXPECT_EQ(narrow->getImage(), nullptr);
}

TEST_F(LabelTest, AlignedPaddedTextIsDrawnWhereTheFontMetricsPutIt) {
    // Lines of 100 and 61 pixels ("|" advances 1) in cells with a margin of 2 (104 and 65 wide),
    // centred: the shorter one starts at 19.
    const std::wstring longLine = std::wstring(16, L'a') + L"||||";
    const std::wstring shortLine = std::wstring(10, L'a') + L"|";
    RefHolder<SyntheticFont> margined = new SyntheticFont(2);
    RefHolder<Label> label = new Label(20, 30, 0, 0, margined.get(), Label::WRAP_AUTOWIDTH);
    label->setText(longLine + L"\\n" + shortLine);
    label->setAlignH(Label::ALIGN_CENTER);
    label->setTextColor(0xFFC00000, 0);
    EXPECT_EQ(label->getTextBounds(), (Rect{0, 0, 0, 0}));

    RefHolder<Image> target = Image::createImage(200, 100, 4);
    RefHolder<Graphics> graphics = target->createGraphics();
    label->render(graphics.get());
    ASSERT_EQ(label->getLines().size(), 2u);
    EXPECT_EQ(label->getLines()[1].x, 19);
    EXPECT_EQ(label->getLines()[1].y, 10);
    // Padding "offset" at the top-left anchor pulls the image up and left by the margin.
    EXPECT_EQ(label->getTextBounds(), (Rect{-2, -2, 104, 12 + 10}));
    EXPECT_EQ(label->getWidth(), 104);
    EXPECT_EQ(label->getHeight(), 22);
    EXPECT_EQ(graphics->getOffsetX(), 0);

    // Expected: a 5 x 8 box per letter (1 x 8 per bar) at pen + margin, less the padding.
    std::vector<uint8_t> expected(200 * 100, 0);
    const std::wstring texts[2] = {longLine, shortLine};
    const int32_t lineX[2] = {0, 19};
    for (int line = 0; line < 2; ++line) {
        int32_t pen = 20 - 2 + lineX[line] + 2;
        for (wchar_t c : texts[line]) {
            const int32_t w = c == L'|' ? 1 : 5;
            for (int32_t y = 0; y < 8; ++y) {
                for (int32_t x = 0; x < w; ++x) {
                    expected[static_cast<size_t>((30 - 2 + 2 + line * 10 + y) * 200 + pen + x)] = 1;
                }
            }
            pen += c == L'|' ? 1 : 6;
        }
    }
    // The blitter weighs the first opaque column after a transparent one at 254, so a text
    // pixel may read one or two steps darker; every other pixel must be exact.
    int mismatches = 0;
    for (int32_t y = 0; y < 100; ++y) {
        for (int32_t x = 0; x < 200; ++x) {
            const uint32_t got = colorAt(target.get(), x, y);
            const bool text = expected[static_cast<size_t>(y * 200 + x)] != 0;
            mismatches += text ? (got & 0xFFFF) != 0 || (got >> 16) < 0xBE : got != 0;
        }
    }
    EXPECT_EQ(mismatches, 0);

    // Centred on its anchor, nothing is shifted by the margin.
    label->setAnchorType(Sprite::ANCHOR_CENTER);
    label->renderText();
    EXPECT_EQ(label->getTextBounds().x, 0);
    EXPECT_EQ(label->getTextBounds().y, 0);
}

TEST_F(LabelTest, RendersOnlyWhenSomethingChangedAndKeepsItsBox) {
    RefHolder<Label> label = new Label(0, 0, 30, 12, font.get(), Label::WRAP_WORDWRAP);
    label->setAutoFitHeight(false);
    label->setText(L"abc def ghi");
    label->renderText();
    // Three lines, 28 high, cut to the label's 12: the top of the text only.
    ASSERT_NE(label->getImage(), nullptr);
    EXPECT_EQ(label->getImage()->getHeight(), 12);
    EXPECT_EQ(label->getImage()->getWidth(), 18);
    EXPECT_EQ(label->getWidth(), 30);
    EXPECT_EQ(label->getHeight(), 12);
    EXPECT_EQ(*label->getImage()->getAlphaAddress(0, 11), 255);  // top rows of "def"

    Image* rendered = label->getImage();
    label->setText(L"abc def ghi");
    label->setAlignH(Label::ALIGN_LEFT);
    label->setWrapStyle(Label::WRAP_WORDWRAP);
    label->setWidth(30);
    EXPECT_FALSE(label->needsRender());
    label->setFont(font.get());
    EXPECT_TRUE(label->needsRender());
    label->renderText();
    EXPECT_NE(label->getImage(), rendered);

    label->setTextColor(0xFF0000FF, 2);
    EXPECT_EQ(label->getTextColors(), (std::vector<uint32_t>{0, 0, 0xFF0000FF}));
    label->renderText();
    label->setTextColor(0xFF0000FF, 2);
    EXPECT_FALSE(label->needsRender());
    // A centred wrapping label sits in the middle of its own width.
    label->setAlignH(Label::ALIGN_CENTER);
    label->renderText();
    EXPECT_EQ(label->getTextBounds().x, (30 - 18) / 2);
    // Reached by code that only knows it shows a text.
    auto* text = static_cast<iText*>(label->castTo(&iText::typeRecord));
    ASSERT_NE(text, nullptr);
    text->setText(L"x");
    EXPECT_EQ(label->getText(), L"x");
}

TEST_F(LabelTest, ABufferedDialogShowsANewTextOfItsLabel) {
    addPicture("PANEL", filled(100, 40, 4, 0x00FFFFFF, 255).get());
    RefHolder<PropertyNode> node = nodeFrom(
        "<Dialog id=\"d\" usebuffer=\"true\" background=\"PANEL\" section=\"gui\">"
        "<Vector id=\"components\"><Label id=\"L\" x=\"10\" y=\"10\" font=\"F\" section=\"gui\" "
        "text=\"a\" color=\"#FFC00000\"/></Vector></Dialog>",
        "d");
    RefHolder<Dialog> dialog = new Dialog(node.get());
    auto* label = objectCast<Label>(dialog->findChild("L"));
    ASSERT_NE(label, nullptr);
    RefHolder<GameTree> tree = new GameTree();
    GameNode::appendChild(dialog.get(), tree.get());
    RefHolder<Image> target = Image::createImage(100, 40, 4);
    RefHolder<Graphics> graphics = target->createGraphics();
    RenderTask pass(tree.get());
    pass.renderTree(graphics.get());
    EXPECT_EQ(colorAt(target.get(), 12, 12), 0xC00000u);
    EXPECT_EQ(colorAt(target.get(), 18, 12), 0xFFFFFFu);
    label->setText(L"ab");
    pass.renderTree(graphics.get());
    EXPECT_EQ(colorAt(target.get(), 18, 12), 0xC00000u);
}

}  // namespace label_test
