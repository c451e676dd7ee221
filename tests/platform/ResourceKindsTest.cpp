// Loading of picture and font resources, how their files are read, and their diagnostic texts.
#include <gtest/gtest.h>

#include "framework/core/DataScrambler.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/platform/BitmapFont.h"
#include "framework/platform/FontResource.h"
#include "framework/platform/ImageResource.h"
#include "framework/platform/ResourceSection.h"
#include "platform/ResourceFiles.h"

namespace resource_kinds_test {

using ResourceKindsTest = ResourceFilesTest;

// A resource node of that kind with the given untyped values.
RefHolder<PropertyNode> resourceNode(
    const std::string& kind, std::initializer_list<std::pair<const char*, const char*>> values) {
    RefHolder<PropertyNode> node = new PropertyNode("KEY", kind);
    for (const auto& [key, value] : values) {
        node->addChild(new PropertyValue(key, std::string(value), true));
    }
    return node;
}

RefHolder<ImageResource> loadedImage(
    std::initializer_list<std::pair<const char*, const char*>> values) {
    RefHolder<ImageResource> resource = new ImageResource(resourceNode("Image", values).get());
    resource->load();
    return resource;
}

TEST_F(ResourceKindsTest, AMaskAloneGivesAOneBytePerPixelImage) {
    putBytes("m.png", testMaskPng(3, 2));
    RefHolder<ImageResource> resource = loadedImage({{"mask", "m.png"}});
    ASSERT_TRUE(resource->isLoaded());
    EXPECT_FALSE(resource->getHasError());
    Image* image = resource->getImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(resource->getData(), image);
    ASSERT_EQ(image->getBytesPerPixel(), 1);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(*image->getAlphaAddress(x, y), testMaskValue(x, y)) << x << "," << y;
        }
    }
}

TEST_F(ResourceKindsTest, APictureWithAMaskTakesTheMaskAsItsAlphaAtBothDepths) {
    putBytes("p.png", testPicturePng(3, 2));
    putBytes("m.png", testMaskPng(3, 2));
    for (int32_t depth : {4, 2}) {
        setDisplayBytesPerPixel(depth);
        RefHolder<ImageResource> resource = loadedImage({{"file", "p.png"},
                                                         {"mask", "m.png"},
                                                         {"nrofframes", "3"},
                                                         {"usealphachannel", "false"}});
        EXPECT_FALSE(resource->getHasError());
        Image* image = resource->getImage();
        ASSERT_NE(image, nullptr);
        ASSERT_EQ(image->getBytesPerPixel(), depth);
        EXPECT_EQ(image->getFrameCount(), 3);
        EXPECT_FALSE(image->getUseAlphaChannel());
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                EXPECT_EQ(*image->getAlphaAddress(x, y), testMaskValue(x, y)) << depth;
            }
        }
        if (depth == 4) {
            const auto* pixels = reinterpret_cast<const uint32_t*>(image->getPixels());
            EXPECT_EQ(pixels[1] & 0xFFFFFFu, (uint32_t{testPictureChannel(1, 0, 0)} << 16) |
                                                 (uint32_t{testPictureChannel(1, 0, 1)} << 8) |
                                                 testPictureChannel(1, 0, 2));
        }
    }
}

TEST_F(ResourceKindsTest, AMissingMaskKeepsThePictureAndFlagsTheError) {
    putBytes("p.png", testPicturePng(2, 2));
    RefHolder<ImageResource> resource = loadedImage({{"file", "p.png"}, {"mask", "gone.png"}});
    EXPECT_TRUE(resource->isLoaded());
    EXPECT_TRUE(resource->getHasError());
    EXPECT_NE(resource->getImage(), nullptr);
}

TEST_F(ResourceKindsTest, GreyPicturesBecomeAlphaOnlyWhenAsked) {
    putBytes("g.png", testMaskPng(2, 1));
    RefHolder<ImageResource> plain = loadedImage({{"file", "g.png"}});
    RefHolder<ImageResource> alpha = loadedImage({{"file", "g.png"}, {"alpha", "true"}});
    ASSERT_NE(plain->getImage(), nullptr);
    ASSERT_NE(alpha->getImage(), nullptr);
    EXPECT_EQ(*plain->getImage()->getAlphaAddress(1, 0), 255);
    EXPECT_EQ(*alpha->getImage()->getAlphaAddress(1, 0), testMaskValue(1, 0));
}

TEST_F(ResourceKindsTest, JpegPicturesAreTheFallbackButNotForMasks) {
    JpegSpec spec;
    spec.width = 4;
    spec.height = 4;
    spec.pixels.assign(4 * 4 * 3, 200);
    putBytes("photo.jpg", encodeJpeg(spec));
    RefHolder<ImageResource> photo = loadedImage({{"file", "photo.jpg"}});
    EXPECT_FALSE(photo->getHasError());
    ASSERT_NE(photo->getImage(), nullptr);
    EXPECT_EQ(photo->getImage()->getWidth(), 4);
    RefHolder<ImageResource> mask = loadedImage({{"mask", "photo.jpg"}});
    EXPECT_TRUE(mask->getHasError());
    EXPECT_EQ(mask->getImage(), nullptr);
}

TEST_F(ResourceKindsTest, TheArchiveWordChoosesHowTheFileIsRead) {
    std::vector<uint8_t> scrambled = testPicturePng(2, 2);
    DataScrambler::apply(scrambled.data(), scrambled.size());
    putBytes("media/s.png.!", scrambled);
    putBytes("media/plain.png", testPicturePng(3, 3));
    FileArchive::open(2, "absent.dat");  // archive reads, members missing: loose files serve

    RefHolder<ImageResource> unscrambled =
        loadedImage({{"file", "media/s.png"}, {"archive", "encryptfile"}});
    EXPECT_FALSE(unscrambled->getHasError());
    ASSERT_NE(unscrambled->getImage(), nullptr);
    EXPECT_EQ(unscrambled->getImage()->getWidth(), 2);
    // The process-wide mode reads the plain name.
    EXPECT_TRUE(loadedImage({{"file", "media/s.png"}})->getHasError());
    EXPECT_FALSE(loadedImage({{"file", "media/plain.png"}})->getHasError());
    EXPECT_TRUE(
        loadedImage({{"file", "media/plain.png"}, {"archive", "encryptzip"}})->getHasError());
    FileArchive::close();
}

TEST_F(ResourceKindsTest, AnUnloadedImageDropsItsPicture) {
    putBytes("p.png", testPicturePng(2, 2));
    RefHolder<ImageResource> resource = loadedImage({{"file", "p.png"}});
    RefHolder<Image> image = resource->getImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getRefCount(), 2);
    resource->unload();
    EXPECT_FALSE(resource->isLoaded());
    EXPECT_EQ(resource->getLoadedAmount(), 0);
    EXPECT_EQ(resource->getData(), nullptr);
    EXPECT_EQ(image->getRefCount(), 1);
}

TEST_F(ResourceKindsTest, LayerFilesLieInTheDescriptionsFolder) {
    EXPECT_EQ(FontResource::layerFileName("media/fonts/sans.xml", "sans-fill.png"),
              "media/fonts/sans-fill.png");
    EXPECT_EQ(FontResource::layerFileName("media\\fonts\\sans.xml", "fill.png"),
              "media/fonts/fill.png");
    EXPECT_EQ(FontResource::layerFileName("media/fonts/sans.xml", ""), "");
    EXPECT_EQ(FontResource::layerFileName("sans.xml", "fill.png"), "fill.png");
}

TEST_F(ResourceKindsTest, AFontResourceBuildsTheFontAndItsLayers) {
    fake.files["media/fonts/f-fill.png"] = testMaskPng(6, 4);
    fake.files["media/fonts/f-pic.png"] = testPicturePng(6, 4);
    put("media/fonts/f.xml",
        "<root><Node id=\"font\" charspacing=\"1\" spacewidth=\"3\" lineheight=\"5\" "
        "baseline=\"4\"><Vector id=\"chars\">"
        "<Node c=\"65\" sx=\"0\" sy=\"0\" sw=\"3\" sh=\"4\" width=\"3\" bx=\"0\" by=\"0\"/>"
        "<Node c=\"66\" sx=\"3\" sy=\"0\" sw=\"3\" sh=\"4\" width=\"3\" bx=\"0\" by=\"0\"/>"
        "</Vector></Node><Vector id=\"layers\">"
        "<Node mask=\"f-fill.png\" padding=\"0\" color=\"#FFFFFFFF\"/>"
        "<Node image=\"f-pic.png\" mask=\"f-fill.png\" padding=\"1\" color=\"#FF000000\"/>"
        "<Node mask=\"gone.png\" padding=\"2\" color=\"0\"/>"
        "</Vector></root>");
    RefHolder<FontResource> resource =
        new FontResource(resourceNode("Font", {{"file", "media/fonts/f.xml"}}).get());
    resource->load();
    EXPECT_TRUE(resource->isLoaded());
    EXPECT_FALSE(resource->getHasError());
    auto* font = objectCast<BitmapFont>(resource->getData());
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->getCharSpacing(), 1);
    EXPECT_TRUE(font->hasGlyph(L'B'));
    // The layer whose mask is missing is left out.
    ASSERT_EQ(font->getLayerCount(), 2);
    EXPECT_EQ(font->getLayer(0)->getImage()->getBytesPerPixel(), 1);
    EXPECT_EQ(font->getLayer(0)->getColor(), 0xFFFFFFFFu);
    Image* outline = font->getLayer(1)->getImage();
    EXPECT_EQ(outline->getBytesPerPixel(), 4);
    EXPECT_EQ(*outline->getAlphaAddress(2, 1), testMaskValue(2, 1));
    EXPECT_EQ(font->getLayer(1)->getPadding(), 1);
    EXPECT_EQ(font->getMargin(), 1);

    resource->unload();
    EXPECT_EQ(resource->getData(), nullptr);
    RefHolder<FontResource> missing =
        new FontResource(resourceNode("Font", {{"file", "media/fonts/none.xml"}}).get());
    missing->load();
    EXPECT_TRUE(missing->isLoaded());
    EXPECT_TRUE(missing->getHasError());
    EXPECT_EQ(missing->getData(), nullptr);
}

TEST_F(ResourceKindsTest, DiagnosticTexts) {
    putBytes("media/a.png", testPicturePng(1, 1));
    RefHolder<PropertyNode> section = new PropertyNode("s", "Section");
    section->addChild(new PropertyValue("name", std::string("menu"), true));
    section->addChild(new PropertyValue("auto", std::string("true"), true));
    RefHolder<PropertyNode> picture =
        resourceNode("Image", {{"file", "media/a.png"}, {"color", "-5"}});
    picture->setName("PIC");
    section->addChild(picture.get());
    RefHolder<PropertyNode> mask = resourceNode("Image", {{"mask", "media/m.png"}});
    mask->setName("MASK");
    section->addChild(mask.get());
    RefHolder<PropertyNode> font = resourceNode("Font", {{"file", "f.xml"}});
    font->setName("FONT");
    section->addChild(font.get());

    RefHolder<ResourceSection> built = new ResourceSection(section.get());
    built->findResource("PIC")->load();
    built->findResource("MASK")->load();
    EXPECT_EQ(built->toString(),
              "Auto Load: yes; Has Started: no; Name: menu;\n\tObjects:"
              "\n\t\tHas Error: false; Is Loaded: false; File Name: f.xml;\n\t\t\tObject: NULL; "
              "\n\t\tHas Error: true; Is Loaded: true; File Name: ;\n\t\t\t"
              "Object: NULL; Color: 0; Only Mask: true; Mask File Name: media/m.png; "
              "\n\t\tHas Error: false; Is Loaded: true; File Name: media/a.png;\n\t\t\t"
              "Object: not 0; Color: -5; Only Mask: false; Mask File Name: ; ");
}

}  // namespace resource_kinds_test
