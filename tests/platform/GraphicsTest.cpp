#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "RecordingGraphics.h"
#include "framework/core/RefHolder.h"

namespace graphics_test {

// A font that draws each line as one blit of a glyph image at the line's position, as a bitmap
// font's glyph cells are drawn.
class BlitFont : public Font {
public:
    explicit BlitFont(Image* glyphs) : glyphs(glyphs) {}
    std::vector<TextLine> seenLines;
    std::vector<uint32_t> seenColors;

    void drawText(Graphics* target, const std::vector<TextLine>& lines,
                  const std::vector<uint32_t>& colors) override {
        seenLines = lines;
        seenColors = colors;
        for (const TextLine& line : lines) {
            target->blitWhole(glyphs.get(), line.x, line.y);
        }
    }
    int32_t getMargin() const override { return 0; }
    void layoutText(const std::wstring&, TextLayout&, int32_t, int32_t) const override {}
    int32_t measureText(const std::wstring&, int32_t, int32_t, int32_t) const override { return 0; }
    bool hasGlyph(wchar_t) const override { return false; }
    bool getFlagB() const override { return false; }
    bool setFlagB(bool value) override { return value; }
    bool getFlagA() const override { return false; }
    int32_t getCellHeight() const override { return 0; }
    int32_t getBaseline() const override { return 0; }
    int32_t getLineHeight() const override { return 0; }
    uint32_t getLastLayerColor() const override { return 0; }
    bool isLastLayerAlphaOnly() const override { return false; }

private:
    RefHolder<Image> glyphs;
};

class GraphicsTest : public ::testing::Test {
protected:
    RefHolder<Image> target{Image::createImage(100, 80, 4)};
    RefHolder<RecordingGraphics> graphics{new RecordingGraphics(target.get())};
    RecordingGraphics& g = *graphics;

    std::set<RecordingGraphics::Pixel> drawn() const {
        std::set<RecordingGraphics::Pixel> result;
        for (const auto& entry : g.pixels) {
            result.insert(entry.first);
        }
        return result;
    }
};

TEST_F(GraphicsTest, StartsWithDefaultsAndHoldsItsTarget) {
    EXPECT_EQ(g.getColor(), 0u);
    EXPECT_EQ(g.getAlpha(), 255);
    EXPECT_EQ(*g.getClipRect(), (Rect{0, 0, 100, 80}));
    EXPECT_EQ(g.getOffsetX(), 0);
    EXPECT_EQ(g.getOffsetY(), 0);
    EXPECT_EQ(g.getFont(), nullptr);
    EXPECT_FALSE(g.isSmooth());
    EXPECT_EQ(g.getBlendMode(), BlendMode::ALPHA);
    EXPECT_EQ(g.getImage(), target.get());
    EXPECT_EQ(target->getRefCount(), 2);
}

TEST_F(GraphicsTest, AlphaIsClampedAndZeroAlphaDrawsNothing) {
    EXPECT_EQ(g.setAlpha(-5), 0);
    EXPECT_EQ(g.getAlpha(), 0);
    g.drawPixel(3, 3);
    g.drawLine(0, 0, 10, 10);
    EXPECT_TRUE(g.pixels.empty());
    EXPECT_EQ(g.setAlpha(300), 255);
    EXPECT_EQ(g.setAlpha(1), 1);
    EXPECT_EQ(g.setAlpha(0), 0);
}

TEST_F(GraphicsTest, ClipRectanglesStayInsideTheTarget) {
    g.setClipRect(-10, -10, 5000, 5000);
    EXPECT_EQ(*g.getClipRect(), (Rect{0, 0, 100, 80}));
    g.setClipRectR(Rect{10, 20, 30, 40});
    EXPECT_EQ(*g.getClipRect(), (Rect{10, 20, 30, 40}));
    g.clipTo(0, 0, 20, 100);
    EXPECT_EQ(*g.getClipRect(), (Rect{10, 20, 10, 40}));
    // A rectangle outside the clip leaves it empty, and then nothing is drawn.
    g.clipTo(60, 0, 10, 10);
    EXPECT_TRUE(g.getClipRect()->isEmpty());
    g.drawPixel(15, 25);
    g.fillPolygon(Polygon({{0, 0}, {50, 0}, {0, 50}}), false);
    EXPECT_TRUE(g.pixels.empty());
    g.resetClip();
    EXPECT_EQ(*g.getClipRect(), (Rect{0, 0, 100, 80}));
}

TEST_F(GraphicsTest, OffsetMovesDrawingButNotTheClip) {
    g.setOffset(10, 20);
    g.translate(1, 2);
    EXPECT_EQ(g.getOffsetX(), 11);
    EXPECT_EQ(g.getOffsetY(), 22);
    g.setOffset(10, 20);
    g.clear();
    ASSERT_EQ(g.calls.size(), 1u);
    EXPECT_EQ(g.calls[0], (std::vector<int32_t>{10, 20, 90, 60}));
    EXPECT_EQ(*g.getClipRect(), (Rect{0, 0, 100, 80}));
    g.setOffset(INT32_MAX, 0);
    g.translateX(1);
    EXPECT_EQ(g.getOffsetX(), INT32_MIN);
}

TEST_F(GraphicsTest, BlitsAreClippedToSourceTargetAndClip) {
    RefHolder<Image> source{Image::createImage(10, 10, 4)};
    // A negative source x shifts the destination and narrows the copy.
    g.blit(source.get(), 5, 5, -3, 0, 10, 10);
    ASSERT_EQ(g.blits.size(), 1u);
    EXPECT_EQ(g.blits[0].dx, 8);
    EXPECT_EQ(g.blits[0].sx, 0);
    EXPECT_EQ(g.blits[0].w, 7);
    g.blits.clear();
    g.blit(source.get(), 100, 5, 0, 0, 10, 10);
    EXPECT_TRUE(g.blits.empty());
    // A source rectangle running past the source's right edge is cut there.
    g.blitR(source.get(), 0, 0, Rect{6, 0, 10, 10});
    ASSERT_EQ(g.blits.size(), 1u);
    EXPECT_EQ(g.blits[0].w, 4);
    g.blits.clear();
    g.setOffset(95, 75);
    g.blitWhole(source.get(), 0, 0);
    ASSERT_EQ(g.blits.size(), 1u);
    EXPECT_EQ(g.blits[0].w, 5);
    EXPECT_EQ(g.blits[0].h, 5);
}

TEST_F(GraphicsTest, TextWithoutAFontDrawsNothing) {
    g.drawText(L"abc", 5, 5);
    g.drawTextLines({TextLine{L"x", 1, 1}}, {0xFF0000FFu});
    EXPECT_TRUE(g.blits.empty());
    EXPECT_TRUE(g.pixels.empty());
}

TEST_F(GraphicsTest, TextHandsLinesToTheFontAndTheOffsetAppliesOnce) {
    RefHolder<Image> glyph{Image::createImage(4, 6, 4)};
    RefHolder<BlitFont> font{new BlitFont(glyph.get())};
    g.setFont(font.get());
    EXPECT_EQ(font->getRefCount(), 2);
    g.setColor(0xFF112233u);
    g.setOffset(10, 20);
    g.drawText(L"Hi", 5, 6);
    ASSERT_EQ(font->seenLines.size(), 1u);
    EXPECT_EQ(font->seenLines[0].text, L"Hi");
    EXPECT_EQ(font->seenLines[0].x, 5);
    EXPECT_EQ(font->seenLines[0].y, 6);
    EXPECT_EQ(font->seenColors, (std::vector<uint32_t>{0xFF112233u}));
    ASSERT_EQ(g.blits.size(), 1u);
    EXPECT_EQ(g.blits[0].dx, 15);
    EXPECT_EQ(g.blits[0].dy, 26);
    g.drawTextColors(L"Hi", 0, 0, {1u, 2u});
    EXPECT_EQ(font->seenColors, (std::vector<uint32_t>{1u, 2u}));
    g.setFont(nullptr);
    EXPECT_EQ(font->getRefCount(), 1);
}

TEST_F(GraphicsTest, LinesFollowBresenham) {
    g.drawLine(0, 0, 3, 3);
    EXPECT_EQ(drawn(), (std::set<RecordingGraphics::Pixel>{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    g.pixels.clear();
    g.drawLine(0, 0, 3, 1);
    EXPECT_EQ(drawn(), (std::set<RecordingGraphics::Pixel>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    g.pixels.clear();
    g.drawLineF(PointF{0.5f, 1.4f}, PointF{2.5f, 1.49f});
    EXPECT_EQ(drawn(), (std::set<RecordingGraphics::Pixel>{{0, 1}, {1, 1}, {2, 1}}));
    g.pixels.clear();
    g.setClipRect(2, 0, 100, 100);
    g.drawLine(-5, 0, 5, 0);
    EXPECT_EQ(drawn(), (std::set<RecordingGraphics::Pixel>{{2, 0}, {3, 0}, {4, 0}, {5, 0}}));
    g.drawLineChannel(Channel::ALPHA, 77, 3, 4, 3, 6);
    EXPECT_EQ(g.channelValues.size(), 3u);
    EXPECT_EQ((g.channelValues[{3, 5}]), 77);
}

TEST_F(GraphicsTest, RectangleOutlineDrawsEachPixelOnce) {
    g.drawRect(10, 10, 4, 3);
    std::set<RecordingGraphics::Pixel> expected;
    for (int x = 10; x <= 13; ++x) {
        expected.insert({x, 10});
        expected.insert({x, 12});
    }
    expected.insert({10, 11});
    expected.insert({13, 11});
    EXPECT_EQ(drawn(), expected);
    for (const auto& entry : g.drawCount) {
        EXPECT_EQ(entry.second, 1);
    }
}

TEST_F(GraphicsTest, PolygonOutlineChoosesLinesBySlope) {
    g.drawPolygon(Polygon({{1, 1}}), true);
    g.drawPolygon(Polygon(), true);
    EXPECT_TRUE(g.pixels.empty());
    EXPECT_TRUE(g.aaLines.empty());
    // Open outline: three points give two segments; axis-aligned ones are plain lines.
    g.drawPolygon(Polygon({{1, 1}, {5, 1}, {8, 4}}), true);
    EXPECT_EQ(g.aaLines.size(), 1u);
    EXPECT_EQ(g.pixels.size(), 5u);
    g.pixels.clear();
    g.drawPolygon(Polygon({{1, 1}, {5, 1}, {8, 4}}), false);
    EXPECT_EQ(g.aaLines.size(), 1u);
    EXPECT_EQ(g.pixels.size(), 8u);
}

TEST_F(GraphicsTest, PolygonFillSamplesPixelCentres) {
    g.fillPolygon(Polygon({{0, 0}, {4, 0}, {0, 4}}), false);
    EXPECT_EQ(drawn(),
              (std::set<RecordingGraphics::Pixel>{
                  {0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {0, 3}}));
}

TEST_F(GraphicsTest, PolygonFillUsesUnmovedPointsButMovedPixels) {
    g.setOffset(5, 5);
    g.fillPolygon(Polygon({{-4, -4}, {4, -4}, {4, 4}, {-4, 4}}), false);
    // Only the part at or right of and below (0, 0) in polygon coordinates: 4 x 4 pixels.
    EXPECT_EQ(g.pixels.size(), 16u);
    EXPECT_EQ(g.pixels.begin()->first, (RecordingGraphics::Pixel{5, 5}));
}

TEST_F(GraphicsTest, TooFewPointsFillNothing) {
    g.fillPolygon(Polygon({{0, 0}, {50, 50}}), false);
    g.fillPolygon(Polygon({{0, 0}, {50, 50}}), true);
    g.fillPolygonChannel(Channel::RED, 9, Polygon({{0, 0}}), false);
    EXPECT_TRUE(g.pixels.empty());
    EXPECT_TRUE(g.channelValues.empty());
}

TEST_F(GraphicsTest, AntialiasedFillScalesAlphaByCoverageAndRestoresIt) {
    g.setAlpha(200);
    g.fillPolygon(Polygon({{10.2f, 10.0f}, {40.0f, 12.5f}, {30.7f, 35.0f}}), true);
    EXPECT_EQ(g.getAlpha(), 200);
    bool partial = false;
    for (const auto& entry : g.pixels) {
        EXPECT_LE(entry.second, 200);
        partial = partial || entry.second < 200;
    }
    EXPECT_TRUE(partial);
    EXPECT_GT(g.pixels.size(), 200u);
}

TEST_F(GraphicsTest, ChannelFillScalesTheValueByCoverage) {
    g.fillPolygonChannel(Channel::ALPHA, 200, Polygon({{0, 0}, {6, 0}, {6, 6}, {0, 6}}), false);
    EXPECT_EQ(g.channelValues.size(), 36u);
    for (const auto& entry : g.channelValues) {
        EXPECT_EQ(entry.second, 200);
    }
    g.channelValues.clear();
    g.fillPolygonChannel(Channel::ALPHA, 200, Polygon({{1.3f, 0}, {20, 3}, {8, 18.6f}}), true);
    bool partial = false;
    for (const auto& entry : g.channelValues) {
        EXPECT_LE(entry.second, 200);
        partial = partial || entry.second < 200;
    }
    EXPECT_TRUE(partial);
}

}  // namespace graphics_test
