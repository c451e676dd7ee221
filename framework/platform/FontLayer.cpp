#include "framework/platform/FontLayer.h"

QUOVEL_DEFINE_TYPE(FontLayer, &BaseObject::typeRecord)

FontLayer::FontLayer(int32_t padding, uint32_t colour, Image* image)
    : padding(padding), colour(colour), image(image) {}

FontLayer::~FontLayer() = default;
