#pragma once

#include <string>

#include "framework/core/RefHolder.h"
#include "framework/platform/BitmapFont.h"
#include "framework/platform/ResourceObject.h"

class PropertyNode;

// A bitmap font resource ("Font"): the file is a font description (a property file with a
// "font" node and a "layers" list); each layer's "image" and "mask" files lie in the
// description's folder. The loaded object is the BitmapFont.
class FontResource : public ResourceObject {
    QUOVEL_TYPE(FontResource)
public:
    explicit FontResource(PropertyNode* definition);
    ~FontResource() override;

    void load() override;
    BaseObject* getData() const override;
    void unload() override;
    std::string toString() const override;

    // The font the description file gives, layers added, and `failed` clear; null with `failed`
    // set when the description cannot be read. A layer whose picture cannot be read is left out.
    RefHolder<BitmapFont> decode(bool& failed) const;

    // A layer file name as the font reads it: joined to the description's folder with "/"; an
    // empty name stays empty, and a description without a folder leaves the name as it is.
    static std::string layerFileName(const std::string& descriptionFile, const std::string& name);

private:
    RefHolder<BitmapFont> font;
};
