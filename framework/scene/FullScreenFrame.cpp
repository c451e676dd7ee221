#include "framework/scene/FullScreenFrame.h"

namespace {
FullScreenFrame* installed = nullptr;
}  // namespace

FullScreenFrame* FullScreenFrame::get() {
    return installed;
}

void FullScreenFrame::install(FullScreenFrame* frame) {
    installed = frame;
}
