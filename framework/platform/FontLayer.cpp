#include "framework/platform/FontLayer.h"

QUOVEL_DEFINE_TYPE(FontLayer, &BaseObject::typeRecord)

FontLayer::FontLayer(int32_t padding, uint32_t color, Image* image)
    : padding(padding), color(color), image(image) {}

FontLayer::~FontLayer() = default;
