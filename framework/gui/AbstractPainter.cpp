#include "framework/gui/AbstractPainter.h"

#include "framework/core/PropertyNode.h"
#include "framework/nodes/ResourceLookup.h"

QUOVEL_DEFINE_TYPE(AbstractPainter, &BaseObject::typeRecord)

AbstractPainter::AbstractPainter(PropertyNode* definition) {
    PropertyNode* node = nodeOrDummy(definition);
    if (AbstractProperty* value = node->getChild("section")) {
        section = value->getValue();
        dirty = true;
        imagesLoaded = false;
    }
    PropertyVector* names = vectorOrDummy(node->getChild("images"));
    for (int32_t i = 0; i < names->getChildCount(); ++i) {
        imageNames.push_back(names->getChildAt(i)->getValue());
    }
}

AbstractPainter::~AbstractPainter() = default;

Image* AbstractPainter::getImage(int32_t index) {
    loadImages();
    if (index < 0 || static_cast<size_t>(index) >= images.size()) {
        return nullptr;
    }
    return images[static_cast<size_t>(index)].get();
}

void AbstractPainter::setImageName(int32_t index, const std::string& name) {
    if (index < 0) {
        return;
    }
    if (static_cast<size_t>(index) >= imageNames.size()) {
        imageNames.resize(static_cast<size_t>(index) + 1);
    }
    imageNames[static_cast<size_t>(index)] = name;
    imagesLoaded = false;
    dirty = true;
}

void AbstractPainter::loadImages() {
    if (imagesLoaded) {
        return;
    }
    images.assign(imageNames.size(), nullptr);
    for (size_t i = 0; i < imageNames.size(); ++i) {
        if (!imageNames[i].empty()) {
            images[i] = findOrLoad<Image>(imageNames[i], section);
        }
    }
    imagesLoaded = true;
}
