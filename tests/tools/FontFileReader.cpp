#include "tools/FontFileReader.h"

#include <png.h>
#include <tinyxml.h>

#include <cstdlib>

int FontFile::value(const std::string& key) const {
    const auto found = fontValues.find(key);
    return found == fontValues.end() ? 0 : std::atoi(found->second.c_str());
}

int FontFile::margin() const {
    int result = 0;
    for (const DescribedLayer& layer : layers) {
        result = std::max(result, layer.padding);
    }
    return result;
}

int FontFile::glyphIndex(int code) const {
    for (size_t i = 0; i < chars.size(); ++i) {
        if (chars[i].c == code) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const DescribedGlyph* FontFile::glyph(int code) const {
    const int index = glyphIndex(code);
    return index < 0 ? nullptr : &chars[static_cast<size_t>(index)];
}

fontbaker::GreyBitmap readGreyPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return {};
    }
    image.format = PNG_FORMAT_GRAY;
    fontbaker::GreyBitmap result(static_cast<int>(image.width), static_cast<int>(image.height));
    if (png_image_finish_read(&image, nullptr, result.pixels.data(), result.width, nullptr) == 0) {
        png_image_free(&image);
        return {};
    }
    return result;
}

void decodeKerningText(const std::string& text, int amount, KerningMap& pairs) {
    uint16_t left = 0;
    bool expectLeft = false;
    size_t position = 0;
    while (position < text.size()) {
        if (text[position] == '\x01') {
            expectLeft = true;
            ++position;
            continue;
        }
        ++position;
        size_t end = text.find('#', position);
        if (end == std::string::npos) {
            end = text.size();
        }
        const uint16_t code = static_cast<uint16_t>(
            std::strtoul(text.substr(position, end - position).c_str(), nullptr, 16));
        position = end;
        if (code == 0) {
            expectLeft = true;
        } else if (expectLeft) {
            left = code;
            expectLeft = false;
        } else {
            pairs[{left, code}] = amount;
        }
    }
}

namespace font_file_reader {

int intAttribute(const TiXmlElement& element, const char* name) {
    const char* text = element.Attribute(name);
    return text == nullptr ? -99999 : std::atoi(text);
}

const TiXmlElement* childWithId(const TiXmlElement& parent, const char* tag, const char* id) {
    for (const TiXmlElement* child = parent.FirstChildElement(); child != nullptr;
         child = child->NextSiblingElement()) {
        const char* childId = child->Attribute("id");
        if (child->ValueStr() == tag && childId != nullptr && std::string(childId) == id) {
            return child;
        }
    }
    return nullptr;
}

}  // namespace font_file_reader

bool readFontFile(const std::string& folder, const std::string& name, FontFile& font,
                  std::string& error) {
    using namespace font_file_reader;
    TiXmlDocument document;
    if (!document.LoadFile((folder + "/" + name + ".xml").c_str(), TIXML_ENCODING_UTF8)) {
        error = "description does not parse: " + std::string(document.ErrorDesc());
        return false;
    }
    const TiXmlElement* root = document.RootElement();
    const TiXmlElement* fontNode = root ? childWithId(*root, "Node", "font") : nullptr;
    const TiXmlElement* layers = root ? childWithId(*root, "Vector", "layers") : nullptr;
    if (fontNode == nullptr || layers == nullptr) {
        error = "no \"font\" node or \"layers\" list at the top level";
        return false;
    }
    for (const TiXmlAttribute* attribute = fontNode->FirstAttribute(); attribute != nullptr;
         attribute = attribute->Next()) {
        font.fontValues[attribute->Name()] = attribute->Value();
    }
    if (const TiXmlElement* chars = childWithId(*fontNode, "Vector", "chars")) {
        font.hasChars = true;
        for (const TiXmlElement* entry = chars->FirstChildElement(); entry != nullptr;
             entry = entry->NextSiblingElement()) {
            font.chars.push_back({intAttribute(*entry, "c"), intAttribute(*entry, "sx"),
                                  intAttribute(*entry, "sy"), intAttribute(*entry, "sw"),
                                  intAttribute(*entry, "sh"), intAttribute(*entry, "width"),
                                  intAttribute(*entry, "bx"), intAttribute(*entry, "by")});
        }
    }
    if (const TiXmlElement* kerning = childWithId(*fontNode, "Vector", "kerning")) {
        font.hasKerning = true;
        for (const TiXmlElement* entry = kerning->FirstChildElement(); entry != nullptr;
             entry = entry->NextSiblingElement()) {
            const char* text = entry->Attribute("chars");
            font.kerningEntries.emplace_back(intAttribute(*entry, "width"),
                                             text == nullptr ? "" : text);
        }
    }
    for (const TiXmlElement* entry = layers->FirstChildElement(); entry != nullptr;
         entry = entry->NextSiblingElement()) {
        DescribedLayer layer;
        const char* mask = entry->Attribute("mask");
        const char* color = entry->Attribute("color");
        layer.mask = mask == nullptr ? "" : mask;
        layer.color = color == nullptr ? "" : color;
        layer.padding = intAttribute(*entry, "padding");
        layer.image = readGreyPng(folder + "/" + layer.mask);
        if (layer.image.width == 0) {
            error = "layer picture \"" + layer.mask + "\" cannot be read";
            return false;
        }
        font.layers.push_back(std::move(layer));
    }
    return true;
}
