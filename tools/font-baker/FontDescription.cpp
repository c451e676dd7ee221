#include "tools/font-baker/FontDescription.h"

#include <tinyxml.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>

#include "tools/font-baker/PngFile.h"

namespace fontbaker {

namespace {

std::string hexItem(unsigned value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, 16);
    return "#" + std::string(digits, result.ptr);
}

std::string colorText(uint32_t color) {
    char text[16];
    std::snprintf(text, sizeof text, "#%08X", static_cast<unsigned>(color));
    return text;
}

const char* kindName(LayerKind kind) {
    switch (kind) {
        case LayerKind::FILL:
            return "fill";
        case LayerKind::OUTLINE:
            return "outline";
        case LayerKind::SHADOW:
            return "shadow";
    }
    return "layer";
}

TiXmlElement* addElement(TiXmlNode& parent, const char* tag, const char* id) {
    TiXmlElement element(tag);
    if (id != nullptr) {
        element.SetAttribute("id", id);
    }
    return parent.InsertEndChild(element)->ToElement();
}

}  // namespace

std::vector<KerningGroup> kerningGroups(const std::vector<KerningPair>& pairs) {
    std::map<int, std::vector<KerningPair>> byAmount;
    for (const KerningPair& pair : pairs) {
        byAmount[pair.amount].push_back(pair);
    }
    std::vector<KerningGroup> groups;
    for (const auto& [amount, members] : byAmount) {
        KerningGroup group{amount, {}};
        bool started = false;
        uint16_t left = 0;
        for (const KerningPair& pair : members) {
            if (!started || pair.left != left) {
                group.text += hexItem(0) + hexItem(pair.left);
                left = pair.left;
                started = true;
            }
            group.text += hexItem(pair.right);
        }
        groups.push_back(std::move(group));
    }
    return groups;
}

std::vector<std::string> layerFileNames(const BakedFont& font, const std::string& baseName) {
    std::vector<std::string> names;
    for (size_t i = 0; i < font.layers.size(); ++i) {
        const LayerKind kind = font.layers[i].spec.kind;
        const bool repeated =
            std::count_if(font.layers.begin(), font.layers.end(),
                          [kind](const BakedLayer& layer) { return layer.spec.kind == kind; }) > 1;
        names.push_back(baseName + "-" + kindName(kind) + (repeated ? std::to_string(i) : "") +
                        ".png");
    }
    return names;
}

std::string describeFont(const BakedFont& font, const std::vector<std::string>& imageNames) {
    TiXmlDocument document;
    TiXmlElement* root = addElement(document, "root", nullptr);

    TiXmlElement* fontNode = addElement(*root, "Node", "font");
    fontNode->SetAttribute("charspacing", font.charSpacing);
    fontNode->SetAttribute("spacewidth", font.spaceWidth);
    fontNode->SetAttribute("lineheight", font.lineHeight);
    fontNode->SetAttribute("baseline", font.baseline());

    TiXmlElement* chars = addElement(*fontNode, "Vector", "chars");
    for (const BakedGlyph& glyph : font.glyphs) {
        TiXmlElement* entry = addElement(*chars, "Node", nullptr);
        entry->SetAttribute("c", glyph.code);
        entry->SetAttribute("sx", glyph.sx);
        entry->SetAttribute("sy", glyph.sy);
        entry->SetAttribute("sw", glyph.sw);
        entry->SetAttribute("sh", glyph.sh);
        entry->SetAttribute("width", glyph.width);
        entry->SetAttribute("bx", glyph.bx);
        entry->SetAttribute("by", glyph.by);
    }

    TiXmlElement* kerning = addElement(*fontNode, "Vector", "kerning");
    for (const KerningGroup& group : kerningGroups(font.kerning)) {
        TiXmlElement* entry = addElement(*kerning, "Node", nullptr);
        entry->SetAttribute("width", group.amount);
        entry->SetAttribute("chars", group.text.c_str());
    }

    TiXmlElement* layers = addElement(*root, "Vector", "layers");
    for (size_t i = 0; i < font.layers.size() && i < imageNames.size(); ++i) {
        // "mask" alone makes the game load the picture as an alpha-only image, drawn in the
        // layer's color (or the caller's).
        TiXmlElement* entry = addElement(*layers, "Node", nullptr);
        entry->SetAttribute("mask", imageNames[i].c_str());
        entry->SetAttribute("padding", font.layers[i].padding);
        entry->SetAttribute("color", colorText(font.layers[i].spec.color).c_str());
    }

    TiXmlPrinter printer;
    printer.SetIndent("  ");
    document.Accept(&printer);
    return printer.Str();
}

bool writeFontFiles(const BakedFont& font, const std::string& outputBase, std::string& error) {
    const size_t slash = outputBase.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : outputBase.substr(0, slash + 1);
    const std::string baseName =
        slash == std::string::npos ? outputBase : outputBase.substr(slash + 1);
    const std::vector<std::string> imageNames = layerFileNames(font, baseName);
    for (size_t i = 0; i < font.layers.size(); ++i) {
        const GreyBitmap& image = font.layers[i].image;
        if (!writePng(folder + imageNames[i], image.width, image.height, 1, image.pixels)) {
            error = "cannot write " + folder + imageNames[i];
            return false;
        }
    }
    const std::string text = describeFont(font, imageNames);
    const std::string path = outputBase + ".xml";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write " + path;
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace fontbaker
