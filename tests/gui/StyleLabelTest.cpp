// Styled labels: runs, lines, wrapping, truncation and alignment driven through their markup,
// and the rendered image compared pixel by pixel with what fonts of known metrics must leave.
#include "framework/gui/StyleLabel.h"

#include <sstream>

#include "framework/core/StringUtils.h"
#include "framework/gui/StyleFormat.h"
#include "gui/GuiFixture.h"
#include "gui/SyntheticFont.h"

using namespace testpixels;

namespace style_label_test {

constexpr uint32_t RED = 0xFFFF0000;
constexpr uint32_t BLUE = 0x000000FF;
constexpr uint32_t GREEN = 0x0000C000;

class StyleLabelTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        // SMALL: 6 per letter, boxes 5 x 8, lines of 10; BIG: 10 per letter, 9 x 14, lines of
        // 16; NARROW: 3 per letter.
        small = new SyntheticFont(0, 6, 8, 10);
        big = new SyntheticFont(0, 10, 14, 16);
        section->addObject("SMALL", new MemoryObjectResource(small.get()));
        section->addObject("BIG", new MemoryObjectResource(big.get()));
        section->addObject("NARROW", new MemoryObjectResource(new SyntheticFont(0, 3, 8, 10)));
        addPicture("DOT", filled(6, 12, 4, GREEN, 255).get());
        addPicture("WIDE", filled(50, 30, 4, GREEN, 255).get());
    }
    void TearDown() override {
        StyleFormatRegistry::destroyInstance();
        GuiTest::TearDown();
    }
    RefHolder<StyleLabel> labelWith(const std::string& keys) {
        RefHolder<PropertyNode> node = nodeFrom("<StyleLabel id=\"s\" " + keys + "/>", "s");
        return new StyleLabel(node.get());
    }
    RefHolder<StyleLabel> laidOut(const std::string& keys, const std::wstring& text) {
        RefHolder<StyleLabel> label = labelWith(keys);
        label->setText(text);
        return label;
    }
    // "text@x,y" for every run, lines separated by " | ".
    static std::string describe(StyleLabel* label) {
        std::ostringstream out;
        const auto& lines = label->getLines();
        for (size_t n = 0; n < lines.size(); ++n) {
            out << (n ? " |" : "");
            for (const RefHolder<Label>& run : lines[n]->runs) {
                out << (out.tellp() > 0 ? " " : "") << wstringToString(run->getText()) << "@"
                    << run->getX() << "," << run->getY();
            }
        }
        return out.str();
    }

    RefHolder<SyntheticFont> small;
    RefHolder<SyntheticFont> big;
};

TEST_F(StyleLabelTest, StyledTextIsDrawnWhereTheFontsTagsAndPicturesPutIt) {
    RefHolder<StyleLabel> label = laidOut(
        R"(font="SMALL" section="gui" color="#FFFF0000" width="70" wrapstyle="wordwrap"
           alignh="center")",
        L"[image=DOT,gui,right,single]ab [color=#0000FF]cd[/color] [font=BIG,gui]EF[/font] "
        L"gh[br]");
    // Line 1 ends at 56; the picture at 64..70 takes 6 of the 14 left, so the line moves 4.
    // "gh" wraps and is centred alone; the empty last line stays as it is.
    EXPECT_EQ(describe(label.get()), "ab@4,0 cd@22,0 EF@40,0 | gh@29,16 |");
    ASSERT_EQ(label->getState().images.size(), 1u);
    EXPECT_EQ(label->getState().images[0]->getX(), 64);
    EXPECT_EQ(label->getWidth(), 70);
    EXPECT_EQ(label->getHeight(), 16 + 10 + 8);

    struct Box {
        int32_t x, y, w, h;
        uint32_t color;
    };
    std::vector<Box> boxes = {{64, 0, 6, 12, GREEN}};
    const auto letters = [&](int32_t x, int32_t y, int count, int32_t advance, int32_t height,
                             uint32_t color) {
        for (int i = 0; i < count; ++i) {
            boxes.push_back({x + i * advance, y, advance - 1, height, color});
        }
    };
    letters(4, 0, 2, 6, 8, RED);
    letters(22, 0, 2, 6, 8, BLUE);
    letters(40, 0, 2, 10, 14, RED);
    letters(29, 16, 2, 6, 8, RED);

    Image* image = label->getImage();
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->getWidth(), 70);
    ASSERT_EQ(image->getHeight(), 34);
    int mismatches = 0;
    for (int32_t y = 0; y < 34; ++y) {
        for (int32_t x = 0; x < 70; ++x) {
            const Box* hit = nullptr;
            for (const Box& box : boxes) {
                if (x >= box.x && x < box.x + box.w && y >= box.y && y < box.y + box.h) {
                    hit = &box;
                }
            }
            const bool ok =
                hit ? alphaAt(image, x, y) == 255 && colorAt(image, x, y) == (hit->color & 0xFFFFFF)
                    : alphaAt(image, x, y) == 0;
            mismatches += ok ? 0 : 1;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(StyleLabelTest, TagsChangeColorsFontsAlignmentsAndTabStops) {
    const auto colorsOf = [](StyleLabel* label) {
        std::vector<uint32_t> colors;
        for (const RefHolder<Label>& run : label->getLines().back()->runs) {
            colors.push_back(run->getTextColors().empty() ? 1 : run->getTextColors().front());
        }
        return colors;
    };
    const std::string red = R"(font="SMALL" section="gui" color="#FFFF0000")";
    EXPECT_EQ(colorsOf(laidOut(red, L"a [color=#00FF00]b[/color] c").get()),
              (std::vector<uint32_t>{RED, 0x00FF00, RED}));
    EXPECT_EQ(colorsOf(laidOut(red, L"a [color=00FF00]b").get()),
              (std::vector<uint32_t>{RED, 0x00FF00}));
    // A closing tag too many removes the configured color: the font's own color is left.
    EXPECT_EQ(colorsOf(laidOut(red, L"[/color][/color]a").get()), (std::vector<uint32_t>{1}));

    // An unknown word saves the alignment and keeps it; the closing tag restores the same.
    RefHolder<StyleLabel> aligned =
        laidOut(R"(font="SMALL" section="gui" alignh="right")", L"[alignh=middle]a");
    EXPECT_EQ(aligned->getState().alignH, Label::ALIGN_RIGHT);
    EXPECT_EQ(aligned->getState().alignHStack, std::vector<int32_t>{Label::ALIGN_RIGHT});
    aligned->setText(L"[/alignh]b");
    EXPECT_EQ(aligned->getState().alignH, Label::ALIGN_RIGHT);
    EXPECT_TRUE(aligned->getState().alignHStack.empty());

    // Fonts: a closing tag with nothing saved, a missing font, a value without a section and a
    // misspelt name all keep the current font; the tags stay in force for the next text.
    RefHolder<StyleLabel> fonts =
        laidOut(R"(font="SMALL" section="gui")",
                L"[/font]a [font=NONE,gui]b [font=BIG]c [Font=BIG,gui]d [font=BIG,gui]e");
    EXPECT_EQ(describe(fonts.get()), "a@0,0 b@12,0 c@24,0 d@36,0 e@48,0");
    EXPECT_EQ(fonts->getLines().back()->runs.back()->getFont(), big.get());
    fonts->setText(L"f[/font]g");
    EXPECT_EQ(describe(fonts.get()), "f@0,0 g@10,0");
    EXPECT_EQ(fonts->getLines().back()->runs.back()->getFont(), small.get());
    // Without a font of its own the label draws with the tag's font, and after its closing
    // tag with none again.
    RefHolder<StyleLabel> bare = laidOut("", L"[font=BIG,gui]ab[/font]cd ef");
    EXPECT_EQ(describe(bare.get()), "ab@0,0 cd@20,0 ef@20,0");
    EXPECT_EQ(bare->getLines().back()->runs[1]->getFont(), nullptr);

    // An escaped "[" is text, with the character after it; the backslash leaves the text.
    RefHolder<StyleLabel> escaped = laidOut(red, L"a\\[b c] \\[ d");
    EXPECT_EQ(describe(escaped.get()), "a[b@0,0 c]@24,0 [ d@42,0");
    EXPECT_EQ(escaped->getText(), L"a[b c] [ d");

    // Stops 100 and 40, pen at 50: the next stop in list order, stop 2, and no stop.
    const std::string wide = R"(font="BIG" section="gui")";
    EXPECT_EQ(describe(laidOut(wide, L"[tabs=100,40,]abcde[tab]x").get()), "abcde@0,0 x@100,0");
    EXPECT_EQ(describe(laidOut(wide, L"[tabs=100,40]abcde[tab=2]x").get()), "abcde@0,0 x@40,0");
    EXPECT_EQ(describe(laidOut(wide, L"[tabs=100,40]abcde[tab=0]x[tab=3]y").get()),
              "abcde@0,0 x@50,0 y@60,0");
    EXPECT_EQ(describe(laidOut(wide, L"[tabs=0x64,zz,40]abcde[tab=2]x").get()), "abcde@0,0 x@40,0");

    // A centred picture in a 200-pixel label; a picture with key and section only.
    RefHolder<StyleLabel> centred =
        laidOut(R"(font="SMALL" section="gui" width="200")", L"a[image=WIDE,gui,center,single]");
    ASSERT_EQ(centred->getState().images.size(), 1u);
    EXPECT_EQ(centred->getState().images[0]->getX(), 75);
    EXPECT_EQ(centred->getState().lineHeight, 30);
    EXPECT_EQ(centred->getHeight(), 30);
    RefHolder<StyleLabel> inlined = laidOut(red, L"ab[image=DOT,gui]");
    ASSERT_EQ(inlined->getState().images.size(), 1u);
    EXPECT_EQ(inlined->getState().images[0]->getX(), 12);
    EXPECT_EQ(inlined->getState().lineHeight, 10);
    EXPECT_EQ(inlined->getState().penX, 12);
    // Pictures that cannot be found, or a value without a comma, place nothing.
    EXPECT_TRUE(
        laidOut(red, L"[image=NONE,gui][image=DOT][image]a").get()->getState().images.empty());
    // A picture the text flows around; one with lines of its own.
    EXPECT_EQ(describe(laidOut(red, L"[image=DOT,gui,left,multi]ab").get()), "ab@7,0");
    EXPECT_EQ(describe(laidOut(red, L"ab[image=DOT,gui,left,none]cd").get()), "ab@0,0 | cd@0,22");

    // Names are case-sensitive; an unknown tag shows nothing, and a tag without "]" takes the
    // rest of the text and still acts.
    EXPECT_EQ(describe(laidOut(red, L"a[BR]b[unknown=1]c[br").get()), "a@0,0 b@6,0 c@12,0 |");
    // A width tag; vertical alignment at the line's end.
    EXPECT_EQ(laidOut(red, L"[width=0x20]a").get()->getWidth(), 32);
    EXPECT_EQ(describe(laidOut(red, L"[alignv=bottom]a[/alignv][font=BIG,gui]B\nc").get()),
              "a@0,8 B@6,0 | c@0,16");
}

TEST_F(StyleLabelTest, LinesWrapTruncateAndAlignAsTheEdgeCasesSay) {
    const std::string font = R"(font="SMALL" section="gui")";
    // An empty text (after another; a new label already holds the empty text): no runs, at
    // least 1 x 1 and the font's cell high.
    RefHolder<StyleLabel> empty = laidOut(font + R"( autofitheight="false")", L"ab");
    empty->setText(L"");
    EXPECT_EQ(describe(empty.get()), "");
    EXPECT_EQ(empty->getWidth(), 1);
    EXPECT_EQ(empty->getHeight(), 8);
    ASSERT_NE(empty->getImage(), nullptr);

    // Word wrap: one word per line; a word wider than the label is dropped.
    EXPECT_EQ(describe(laidOut(font + R"( width="20" wrapstyle="wordwrap")", L"abc def").get()),
              "abc@0,0 | def@0,10");
    EXPECT_EQ(describe(laidOut(font + R"( width="20" wrapstyle="wordwrap")", L"abcd ab").get()),
              "ab@0,0");

    // Truncation at 50 with words of 30 (3 per letter): the second word becomes "b..." and
    // the rest of the line is dropped; the label keeps its width, and the cut line is centred
    // by its real right edge.
    const std::string narrow = R"(font="NARROW" section="gui" wrapstyle="truncate" )";
    RefHolder<StyleLabel> cut = laidOut(narrow + R"(width="50" alignh="center")",
                                        L"aaaaaaaaaa bbbbbbbbbb [wrapstyle=autowidth]ccc\nx");
    EXPECT_EQ(describe(cut.get()), "aaaaaaaaaa@2,0 b...@35,0 | x@0,10");
    EXPECT_EQ(cut->getWidth(), 50);
    // A line that filled the label does not keep the next line from being cut.
    EXPECT_EQ(describe(laidOut(narrow + R"(width="30")", L"aaaaaaaaaa\nbbbbbbbbbbbb").get()),
              "aaaaaaaaaa@0,0 | b...@0,10");
    // When "b..." does not fit either, the word before it is cut instead.
    EXPECT_EQ(describe(laidOut(narrow + R"(width="40")", L"aaaaaaaaaa bbbbbbbbbb").get()),
              "aaaaaaa...@0,0");
    // Nothing before it: the word is dropped.
    EXPECT_EQ(describe(laidOut(narrow + R"(width="10")", L"abcdefgh\nab").get()), " | ab@0,10");

    // Leading spaces add nothing; two spaces add two widths.
    EXPECT_EQ(describe(laidOut(font, L"  ab  cd").get()), "ab@0,0 cd@24,0");

    // Centred: a line ending at 100 in 160 moves 30; the last line stays.
    EXPECT_EQ(describe(laidOut(R"(font="BIG" section="gui" width="160" alignh="center")",
                               L"aaaaaaaaaa\nb")
                           .get()),
              "aaaaaaaaaa@30,0 | b@0,16");
    RefHolder<StyleLabel> right = laidOut(font + R"( width="160" alignh="right")", L"ab\\ncd");
    EXPECT_EQ(describe(right.get()), "ab@148,0 | cd@0,10");
    EXPECT_EQ(right->getText(), L"ab\ncd");

    // The same text twice: laid out once, only the pictures are dropped.
    RefHolder<StyleLabel> twice = laidOut(font, L"ab[image=DOT,gui]");
    Image* first = twice->getImage();
    twice->setText(L"ab[image=DOT,gui]");
    EXPECT_EQ(twice->getImage(), first);
    EXPECT_TRUE(twice->getState().images.empty());

    // Without any font: the runs measure nothing and the label stays 1 x 1.
    RefHolder<StyleLabel> fontless = laidOut(R"(wrapstyle="truncate")", L"ab  cd\n[tab]ef");
    EXPECT_EQ(describe(fontless.get()), "ab@0,0 cd@0,0 | ef@0,0");
    EXPECT_EQ(fontless->getWidth(), 1);
    EXPECT_EQ(fontless->getHeight(), 1);
}

}  // namespace style_label_test
