#include "tools/font-baker/FontBaker.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace fontbaker {

namespace {

struct LibraryCloser {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryHolder = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryCloser>;
using FaceHolder = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceCloser>;

// 26.6 fixed point to whole pixels, rounded.
int roundPixels(FT_Pos value) {
    return static_cast<int>((value + 32) >> 6);
}

GreyBitmap copyBitmap(const FT_Bitmap& bitmap) {
    GreyBitmap result(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows));
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.buffer == nullptr) {
        return result;
    }
    const int pitch = bitmap.pitch;
    for (int y = 0; y < result.height; ++y) {
        // A negative pitch means the rows are stored bottom-up.
        const int row = pitch >= 0 ? y : result.height - 1 - y;
        const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * std::abs(pitch);
        std::copy(source, source + result.width,
                  result.pixels.begin() + static_cast<ptrdiff_t>(y) * result.width);
    }
    return result;
}

// Columns left to right and rows top to bottom that hold ink (right and bottom exclusive);
// all 0 for a picture without ink.
struct InkBounds {
    int left = 0, top = 0, right = 0, bottom = 0;
};

InkBounds inkBounds(const GreyBitmap& bitmap) {
    InkBounds bounds{bitmap.width, bitmap.height, 0, 0};
    for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < bitmap.width; ++x) {
            if (bitmap.at(x, y) != 0) {
                bounds.left = std::min(bounds.left, x);
                bounds.top = std::min(bounds.top, y);
                bounds.right = std::max(bounds.right, x + 1);
                bounds.bottom = std::max(bounds.bottom, y + 1);
            }
        }
    }
    return bounds.right > bounds.left ? bounds : InkBounds{};
}

struct RenderedGlyph {
    BakedGlyph glyph;
    FT_UInt index = 0;
    int top = 0;  // rows above the baseline
};

bool renderGlyph(FT_Face face, uint16_t code, RenderedGlyph& rendered) {
    rendered.index = FT_Get_Char_Index(face, code);
    if (rendered.index == 0 ||
        FT_Load_Glyph(face, rendered.index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) {
        return false;
    }
    const FT_GlyphSlot slot = face->glyph;
    BakedGlyph& glyph = rendered.glyph;
    glyph.code = code;
    glyph.width = roundPixels(slot->advance.x);
    // FreeType's bitmap may carry empty rows and columns; the cell holds only the ink, so the
    // first glyph of a line really starts at the margin.
    const GreyBitmap bitmap = copyBitmap(slot->bitmap);
    const InkBounds ink = inkBounds(bitmap);
    glyph.image = GreyBitmap(ink.right - ink.left, ink.bottom - ink.top);
    glyph.image.paste(bitmap, -ink.left, -ink.top);
    glyph.bx = glyph.image.width > 0 ? slot->bitmap_left + ink.left : 0;
    glyph.sw = glyph.image.width;
    glyph.sh = glyph.image.height;
    rendered.top = slot->bitmap_top - ink.top;
    if (code == 0x20) {
        // The blank's cell spans its whole advance, as a "spacewidth" blank does.
        glyph.sw = glyph.width;
        glyph.image = GreyBitmap(glyph.sw, 0);
    }
    return true;
}

// The cell content of one glyph for a layer: the glyph at (p, p) in a picture padded by p,
// with the layer's effect applied.
GreyBitmap layerCell(const BakedGlyph& glyph, const LayerSpec& spec, int padding) {
    GreyBitmap cell(glyph.sw + 2 * padding, glyph.sh + 2 * padding);
    switch (spec.kind) {
        case LayerKind::FILL:
            cell.paste(glyph.image, padding, padding);
            return cell;
        case LayerKind::OUTLINE:
            cell.paste(glyph.image, padding, padding);
            return dilate(cell, spec.radius);
        case LayerKind::SHADOW:
            cell.paste(glyph.image, padding + spec.offsetX, padding + spec.offsetY);
            return boxBlur(dilate(cell, spec.radius), spec.blur);
    }
    return cell;
}

}  // namespace

BakedLayer buildLayer(const std::vector<BakedGlyph>& glyphs, const LayerSpec& spec) {
    BakedLayer layer;
    layer.spec = spec;
    layer.padding = effectivePadding(spec);
    const int p = layer.padding;
    int width = 0;
    int height = 0;
    for (const BakedGlyph& glyph : glyphs) {
        width += glyph.sw + 2 * p;
        height = std::max(height, glyph.sy + glyph.sh + 2 * p);
    }
    // A PNG needs at least one pixel each way.
    layer.image = GreyBitmap(std::max(width, 1), std::max(height, 1));
    for (size_t index = 0; index < glyphs.size(); ++index) {
        const BakedGlyph& glyph = glyphs[index];
        const int cellX = glyph.sx + 2 * p * static_cast<int>(index);
        layer.image.paste(layerCell(glyph, spec, p), cellX, glyph.sy);
    }
    return layer;
}

bool bakeFont(const BakeOptions& options, BakedFont& font, std::string& error) {
    if (options.layers.empty()) {
        error = "no layers to bake";
        return false;
    }
    if (options.pixelSize < 1 || options.pixelSize > MAX_PIXEL_SIZE) {
        error = "pixel size must lie within 1-" + std::to_string(MAX_PIXEL_SIZE);
        return false;
    }
    FT_Library rawLibrary = nullptr;
    if (FT_Init_FreeType(&rawLibrary) != 0) {
        error = "FreeType does not start";
        return false;
    }
    const LibraryHolder library(rawLibrary);
    FT_Face rawFace = nullptr;
    if (FT_New_Face(library.get(), options.fontPath.c_str(), 0, &rawFace) != 0) {
        error = "cannot read the font \"" + options.fontPath + "\"";
        return false;
    }
    const FaceHolder face(rawFace);
    if (!FT_IS_SCALABLE(face.get()) ||
        FT_Set_Pixel_Sizes(face.get(), 0, static_cast<FT_UInt>(options.pixelSize)) != 0) {
        error = "the font \"" + options.fontPath + "\" cannot be scaled";
        return false;
    }

    BakedFont result;
    result.charSpacing = options.charSpacing;
    std::vector<RenderedGlyph> rendered;
    for (const uint16_t code : options.characters) {
        RenderedGlyph glyph;
        if (renderGlyph(face.get(), code, glyph)) {
            rendered.push_back(std::move(glyph));
        } else {
            result.missing.push_back(code);
        }
    }
    if (rendered.empty()) {
        error = "the font has none of the requested characters";
        return false;
    }
    RenderedGlyph blank;
    if (renderGlyph(face.get(), 0x20, blank)) {
        result.spaceWidth = blank.glyph.width;
    }

    // The glyph area starts at the highest glyph top, so no glyph reaches above it.
    result.ascent = 0;
    for (const RenderedGlyph& glyph : rendered) {
        if (glyph.glyph.sh > 0) {
            result.ascent = std::max(result.ascent, glyph.top);
        }
    }
    int sx = 0;
    for (RenderedGlyph& glyph : rendered) {
        glyph.glyph.sx = sx;
        glyph.glyph.by = glyph.glyph.sh > 0 ? result.ascent - glyph.top : 0;
        sx += glyph.glyph.sw;
    }

    if (FT_HAS_KERNING(face.get())) {
        for (const RenderedGlyph& left : rendered) {
            for (const RenderedGlyph& right : rendered) {
                FT_Vector delta{0, 0};
                if (FT_Get_Kerning(face.get(), left.index, right.index, FT_KERNING_DEFAULT,
                                   &delta) == 0 &&
                    roundPixels(delta.x) != 0) {
                    result.kerning.push_back(
                        {left.glyph.code, right.glyph.code, roundPixels(delta.x)});
                }
            }
        }
    }

    for (RenderedGlyph& glyph : rendered) {
        result.glyphs.push_back(std::move(glyph.glyph));
    }
    for (const LayerSpec& spec : options.layers) {
        result.layers.push_back(buildLayer(result.glyphs, spec));
        result.margin = std::max(result.margin, result.layers.back().padding);
    }
    result.lineHeight =
        options.lineHeight >= 0 ? options.lineHeight : roundPixels(face->size->metrics.height);
    font = std::move(result);
    return true;
}

}  // namespace fontbaker
