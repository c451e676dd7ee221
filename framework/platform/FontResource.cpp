#include "framework/platform/FontResource.h"

#include "framework/core/DefinitionKeys.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyStore.h"
#include "framework/platform/Folders.h"
#include "framework/platform/FontLayer.h"
#include "framework/platform/ImageResource.h"
#include "framework/platform/ResourceManager.h"

QUOVEL_DEFINE_TYPE(FontResource, &ResourceObject::typeRecord)
QUOVEL_REGISTER_CLASS_AS(Font, FontResource)

FontResource::FontResource(PropertyNode* definition) : ResourceObject(definition) {}

FontResource::~FontResource() = default;

std::string FontResource::layerFileName(const std::string& descriptionFile,
                                        const std::string& name) {
    if (name.empty() || normalizePath(descriptionFile).find('/') == std::string::npos) {
        return name;
    }
    return getFolderOfPath(descriptionFile) + "/" + name;
}

RefHolder<BitmapFont> FontResource::decode(bool& failed) const {
    failed = false;
    RefHolder<PropertyStore> description = new PropertyStore();
    description->setSourceMode(getFileMode());
    if (getFileName().empty() || !description->loadFile(getFileName())) {
        failed = true;
        return nullptr;
    }
    RefHolder<BitmapFont> result = new BitmapFont(description->getChild("font"));
    PropertyVector* layers = description->getChildVector("layers");
    for (int32_t i = 0; i < layers->getChildCount(); ++i) {
        PropertyNode* entry = nodeOrDummy(layers->getChildAt(i));
        ImageResource layerImage(layerFileName(getFileName(), textKeyOr(entry, "image", "")),
                                 layerFileName(getFileName(), textKeyOr(entry, "mask", "")),
                                 getFileMode());
        bool layerFailed = false;
        RefHolder<Image> image = layerImage.decode(layerFailed);
        if (layerFailed) {
            continue;
        }
        result->addLayer(new FontLayer(intKeyOr(entry, "padding", 0),
                                       static_cast<uint32_t>(intKeyOr(entry, "color", 0)),
                                       image.get()));
    }
    return result;
}

void FontResource::load() {
    bool failed = false;
    RefHolder<BitmapFont> decoded = decode(failed);
    ResourceManager::DataLock lock;
    if (keepsLoadResult()) {
        font = decoded;
        setHasError(failed);
        setLoaded();
    }
    // Once published, the count is shared with the main thread: drop it under the lock.
    decoded = nullptr;
}

BaseObject* FontResource::getData() const {
    return font.get();
}

void FontResource::unload() {
    font = nullptr;
    ResourceObject::unload();
}

std::string FontResource::toString() const {
    return ResourceObject::toString() + "Object: " + (font ? "not 0" : "NULL") + "; ";
}
