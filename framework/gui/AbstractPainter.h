#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/Image.h"

class Graphics;
class PropertyNode;

// Draws a dialog's background at any size from a few images of one resource section. Holds
// the images by index; subclasses lay them out (`paint`) and round a requested size up to what
// they can draw (`fitWidth`, `fitHeight`). A dialog repaints its background while the painter
// is dirty.
class AbstractPainter : public BaseObject {
    QUOVEL_TYPE(AbstractPainter)
public:
    // "section" and "images" (a vector of image keys, by index; an empty key leaves its index
    // without an image).
    explicit AbstractPainter(PropertyNode* definition);
    ~AbstractPainter() override;

    virtual void paint(Graphics* target) = 0;
    // Loads the images on first use; null when the index is out of range or holds no image.
    virtual Image* getImage(int32_t index);
    virtual int32_t fitWidth(int32_t requested) = 0;
    virtual int32_t fitHeight(int32_t requested) = 0;

    bool isDirty() const { return dirty; }
    void setDirty(bool value) {
        dirty = value;
        if (value) {
            PictureChanges::mark();
        }
    }
    const std::string& getSection() const { return section; }
    const std::vector<std::string>& getImageNames() const { return imageNames; }
    // Names the image at the index (the list grows to hold it); the images load again on next
    // use and the painter turns dirty.
    void setImageName(int32_t index, const std::string& name);
    // Loads the images once; after setImageName, again.
    void loadImages();

private:
    bool dirty = true;
    bool imagesLoaded = false;
    std::string section;
    std::vector<std::string> imageNames;
    std::vector<RefHolder<Image>> images;
};
