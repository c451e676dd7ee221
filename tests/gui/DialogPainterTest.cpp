// The nine-piece painter: sizes rounded to whole tiles, the pieces laid out, and the alpha
// channel built in each of its modes, checked pixel by pixel on pictures made in code.
#include "gui/GuiFixture.h"

#include "framework/gui/DialogPainter.h"

using namespace testpixels;

namespace dialog_painter_test {

constexpr uint32_t CORNER = 0x00AA0000;
constexpr uint32_t EDGE = 0x0000AA00;
constexpr uint32_t CENTRE = 0x000000AA;

class DialogPainterTest : public GuiTest {
protected:
    // A painter over the section "gui" with the nine keys (empty: no piece) and extra keys.
    RefHolder<DialogPainter> painter(const std::string& images, const std::string& keys = "") {
        RefHolder<PropertyNode> node =
            nodeFrom("<DialogPainter id=\"p\" section=\"gui\">" + keys + "<Vector id=\"images\">" +
                         images + "</Vector></DialogPainter>",
                     "p");
        return new DialogPainter(node.get());
    }
    static std::string names(std::initializer_list<const char*> keys) {
        std::string xml;
        for (const char* key : keys) {
            xml += std::string("<String value=\"") + key + "\"/>";
        }
        return xml;
    }
    // Paints onto a target of the size, every pixel first set to `rgb` at alpha `a`.
    RefHolder<Image> paintOnto(DialogPainter* p, int32_t w, int32_t h, uint32_t rgb, uint8_t a,
                               int32_t depth = 4) {
        RefHolder<Image> target = filled(w, h, depth, rgb, a);
        p->paint(graphicsOf(target.get()).get());
        return target;
    }
};

TEST_F(DialogPainterTest, SizesAreBordersPlusWholeEdgeTilesAndNeverBelowTheRequest) {
    // No pieces: the request stands.
    EXPECT_EQ(painter("")->fitWidth(77), 77);
    EXPECT_EQ(painter("")->fitHeight(33), 33);

    addPicture("C16", filled(16, 10, 4, CORNER, 255).get());
    addPicture("E8", filled(8, 6, 4, EDGE, 255).get());
    addPicture("S5", filled(5, 7, 4, EDGE, 255).get());
    // Corners 16 wide, edge tiles 8 wide; sides 5 wide and 7 high.
    RefHolder<DialogPainter> frame =
        painter(names({"C16", "E8", "C16", "S5", "", "S5", "C16", "E8", "C16"}));
    EXPECT_EQ(frame->fitWidth(100), 104);
    EXPECT_EQ(frame->fitWidth(20), 32);
    EXPECT_EQ(frame->fitWidth(32 + 3 * 8), 32 + 3 * 8);
    EXPECT_EQ(frame->fitHeight(21), 20 + 7);  // corners 10 high, sides tile by 7
    EXPECT_EQ(frame->fitHeight(-5), 20);

    // Corners alone: the borders, or the request when larger.
    RefHolder<DialogPainter> corners =
        painter(names({"C16", "", "C16", "", "", "", "C16", "", "C16"}));
    EXPECT_EQ(corners->fitWidth(10), 32);
    EXPECT_EQ(corners->fitWidth(50), 50);

    // No corners: the sides are the borders and the centre is the tile.
    addPicture("M3", filled(3, 3, 4, CENTRE, 255).get());
    RefHolder<DialogPainter> sides = painter(names({"", "", "", "S5", "M3", "S5"}));
    EXPECT_EQ(sides->fitWidth(12), 10 + 3);
    // A key that names no picture counts as 0 x 0.
    EXPECT_EQ(painter(names({"NOTHING"}))->fitWidth(9), 9);
}

TEST_F(DialogPainterTest, PaintsCornersOnceEdgesTiledAndCoversTheEdgesOverhang) {
    addPicture("C", filled(4, 4, 4, CORNER, 255).get());
    addPicture("E", filled(3, 4, 4, EDGE, 255).get());
    addPicture("S", filled(4, 3, 4, EDGE, 255).get());
    addPicture("M", filled(5, 5, 4, CENTRE, 255).get());
    RefHolder<DialogPainter> p = painter(names({"C", "E", "C", "S", "M", "S", "C", "E", "C"}));
    ASSERT_TRUE(p->isDirty());
    // 17 wide: the top edge tiles 3 whole pieces over 9 pixels; 13 high.
    RefHolder<Image> target = paintOnto(p.get(), 17, 13, 0, 0);
    EXPECT_FALSE(p->isDirty());
    for (int32_t y = 0; y < 13; ++y) {
        for (int32_t x = 0; x < 17; ++x) {
            const bool cornerX = x < 4 || x >= 13;
            const bool cornerY = y < 4 || y >= 9;
            const uint32_t expected = cornerX && cornerY   ? CORNER
                                      : cornerX || cornerY ? EDGE
                                                           : CENTRE;
            ASSERT_EQ(colorAt(target.get(), x, y), expected) << x << "," << y;
            ASSERT_EQ(alphaAt(target.get(), x, y), 255) << x << "," << y;
        }
    }
}

TEST_F(DialogPainterTest, AlphaIsCopiedFromThePiecesAfterBeingClearedWithInitAlpha) {
    RefHolder<Image> corner = filled(4, 4, 4, CORNER, 255);
    testpixels::put(corner.get(), 0, 0, CORNER, 0);   // a transparent outer corner pixel
    testpixels::put(corner.get(), 1, 0, CORNER, 90);  // a soft one
    addPicture("C", corner.get());
    const std::string cornersOnly = names({"C", "", "C", "", "", "", "C", "", "C"});

    // Copying: the corner's alpha lands in the target as it stands, and the centre color's
    // alpha fills the rest.
    RefHolder<Image> copied =
        paintOnto(painter(cornersOnly, "<Integer id=\"centercolor\" value=\"#40102030\"/>").get(),
                  10, 10, 0x00FFFFFF, 200);
    EXPECT_EQ(alphaAt(copied.get(), 0, 0), 0);
    EXPECT_EQ(alphaAt(copied.get(), 1, 0), 90);
    EXPECT_EQ(alphaAt(copied.get(), 2, 2), 255);
    EXPECT_EQ(alphaAt(copied.get(), 4, 4), 0x40);
    EXPECT_EQ(colorAt(copied.get(), 4, 4), 0x00102030u);
    // Copied unblended: the transparent pixel still carries the corner's color.
    EXPECT_EQ(colorAt(copied.get(), 0, 0), CORNER);

    // By maximum: a transparent corner pixel keeps what the target had there, unless the
    // target's alpha was cleared first.
    const std::string maxKeys = "<Boolean id=\"usemaxalpha\" value=\"true\"/>";
    RefHolder<Image> kept = paintOnto(painter(cornersOnly, maxKeys).get(), 8, 8, 0, 200);
    EXPECT_EQ(alphaAt(kept.get(), 0, 0), 200);
    EXPECT_EQ(alphaAt(kept.get(), 2, 2), 255);
    RefHolder<Image> cleared = paintOnto(
        painter(cornersOnly, maxKeys + "<Boolean id=\"initalpha\" value=\"true\"/>").get(), 8, 8, 0,
        200);
    EXPECT_EQ(alphaAt(cleared.get(), 0, 0), 0);
    EXPECT_EQ(alphaAt(cleared.get(), 1, 0), 90);

    // Without adjustalpha the pieces blend by their own alpha and the target's alpha stays.
    RefHolder<Image> blended =
        paintOnto(painter(cornersOnly,
                          "<Boolean id=\"adjustalpha\" value=\"false\"/>"
                          "<Integer id=\"centercolor\" value=\"#FF123456\"/>")
                      .get(),
                  10, 10, 0x0000FF00, 77);
    EXPECT_EQ(alphaAt(blended.get(), 2, 2), 77);
    EXPECT_EQ(alphaAt(blended.get(), 5, 5), 77);
    EXPECT_EQ(colorAt(blended.get(), 0, 0), 0x00123456u);  // the centre shows through
    EXPECT_EQ(colorAt(blended.get(), 2, 2), CORNER);
}

TEST_F(DialogPainterTest, TheCentreColorRaisesAlphaByMaximumAtBothDepths) {
    for (int32_t depth : {4, 2}) {
        SCOPED_TRACE(depth);
        RefHolder<DialogPainter> p = painter("",
                                             "<Integer id=\"centercolor\" value=\"0x80FF0000\"/>"
                                             "<Boolean id=\"usemaxalpha\" value=\"true\"/>");
        RefHolder<Image> target = filled(2, 1, depth, 0, 200);
        testpixels::put(target.get(), 1, 0, 0, 50);
        p->paint(graphicsOf(target.get()).get());
        EXPECT_EQ(alphaAt(target.get(), 0, 0), 200);
        EXPECT_EQ(alphaAt(target.get(), 1, 0), 128);
        const uint32_t red = depth == 4 ? 0x00FF0000u : 0x00F80000u;
        EXPECT_EQ(colorAt(target.get(), 0, 0), red);
        EXPECT_EQ(colorAt(target.get(), 1, 0), red);

        // Copying sets the centre's alpha whatever was there.
        RefHolder<DialogPainter> copy =
            painter("", "<Integer id=\"centercolor\" value=\"0x80FF0000\"/>");
        RefHolder<Image> copied = filled(2, 1, depth, 0, 200);
        copy->paint(graphicsOf(copied.get()).get());
        EXPECT_EQ(alphaAt(copied.get(), 0, 0), 128);
    }
}

TEST_F(DialogPainterTest, APieceWithoutAlphaOfItsOwnMakesItsAreaOpaque) {
    RefHolder<Image> plain = filled(4, 4, 4, EDGE, 0);
    plain->setUseAlphaChannel(false);
    addPicture("P", plain.get());
    RefHolder<DialogPainter> p = painter(names({"", "", "", "", "P"}));
    RefHolder<Image> target = paintOnto(p.get(), 6, 6, 0, 10);
    EXPECT_EQ(alphaAt(target.get(), 5, 5), 255);
    EXPECT_EQ(colorAt(target.get(), 5, 5), EDGE);
    EXPECT_FALSE(plain->getUseAlphaChannel());  // the piece's own flag is given back
}

}  // namespace dialog_painter_test
