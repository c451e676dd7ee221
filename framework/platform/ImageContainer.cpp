#include "framework/platform/ImageContainer.h"

QUOVEL_DEFINE_TYPE(ImageContainer)
