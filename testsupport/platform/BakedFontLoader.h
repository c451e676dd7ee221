#pragma once

// Builds a BitmapFont from a baked font description and its layer masks, the way the font
// resource will: a "font" node for the font, one FontLayer per entry of "layers", each with its
// mask decoded as an alpha-only picture from beside the description.

#include <tinyxml.h>

#include <string>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/BitmapFont.h"
#include "framework/platform/FontLayer.h"
#include "framework/platform/PngDecoder.h"

// The element as a property: "Vector" elements become vectors, others nodes; attributes other
// than "id" become untyped values.
inline AbstractProperty* propertyOfElement(const TiXmlElement& element) {
    const char* id = element.Attribute("id");
    const std::string name = id ? id : "";
    if (element.ValueStr() == "Vector") {
        auto* vector = new PropertyVector(name);
        for (const TiXmlElement* child = element.FirstChildElement(); child;
             child = child->NextSiblingElement()) {
            vector->addChild(propertyOfElement(*child));
        }
        return vector;
    }
    auto* node = new PropertyNode(name, element.ValueStr());
    for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute;
         attribute = attribute->Next()) {
        if (std::string(attribute->Name()) != "id") {
            node->addChild(
                new PropertyValue(attribute->Name(), std::string(attribute->Value()), true));
        }
    }
    for (const TiXmlElement* child = element.FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        node->addChild(propertyOfElement(*child));
    }
    return node;
}

// The font of "<folder>/<name>.xml" with its layers; null when a file cannot be read.
inline BitmapFont* loadBakedFont(const std::string& folder, const std::string& name) {
    TiXmlDocument document;
    if (!document.LoadFile((folder + "/" + name + ".xml").c_str(), TIXML_ENCODING_UTF8) ||
        !document.RootElement()) {
        return nullptr;
    }
    RefHolder<AbstractProperty> root = propertyOfElement(*document.RootElement());
    PropertyNode* tree = nodeOrDummy(root.get());
    auto* font = new BitmapFont(tree->getChild("font"));
    PropertyVector* layers = tree->getChildVector("layers");
    for (int32_t i = 0; i < layers->getChildCount(); ++i) {
        PropertyNode* entry = nodeOrDummy(layers->getChildAt(i));
        RefHolder<Image> mask = loadPngFile(folder + "/" + entry->getChildValue("mask")->getValue(),
                                            PngDecodeFlags::ALPHA_ONLY);
        if (!mask) {
            delete font;
            return nullptr;
        }
        font->addLayer(new FontLayer(entry->getChildValue("padding")->getInt(),
                                     static_cast<uint32_t>(entry->getChildValue("color")->getInt()),
                                     mask.get()));
    }
    return font;
}
