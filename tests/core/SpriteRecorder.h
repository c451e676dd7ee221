#pragma once

// A recording drawing context that also notes rotated and stretched blits and the state each
// blit saw, for the sprite and modifier tests.

#include <cstdint>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/platform/Image.h"
#include "platform/RecordingGraphics.h"

class SpriteRecorder : public RecordingGraphics {
public:
    explicit SpriteRecorder(Image* target) : RecordingGraphics(target) {}

    // The graphics state at the time of a blit call, before any clipping.
    struct State {
        int32_t alpha;
        bool smooth;
        int32_t blendMode;
        Rect clip;
    };
    struct RotatedCall {
        double angle, scale;
        int32_t dx, dy, sx, sy, sw, sh, pivotX, pivotY;
    };
    struct StretchedCall {
        int32_t sx, sy, sw, sh, dx, dy, dw, dh;
    };
    std::vector<State> states;
    std::vector<RotatedCall> rotated;
    std::vector<StretchedCall> stretched;

    void blit(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
              int32_t h) override {
        noteState();
        RecordingGraphics::blit(source, dx, dy, sx, sy, w, h);
    }
    void blitRotated(Image*, double angle, double scale, int32_t dx, int32_t dy, int32_t sx,
                     int32_t sy, int32_t sw, int32_t sh, int32_t pivotX, int32_t pivotY) override {
        noteState();
        rotated.push_back(RotatedCall{angle, scale, dx, dy, sx, sy, sw, sh, pivotX, pivotY});
    }
    void blitStretched(Image*, int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t dx,
                       int32_t dy, int32_t dw, int32_t dh) override {
        noteState();
        stretched.push_back(StretchedCall{sx, sy, sw, sh, dx, dy, dw, dh});
    }

    int32_t callCount() const {
        return static_cast<int32_t>(blits.size() + rotated.size() + stretched.size());
    }

private:
    void noteState() { states.push_back(State{alpha, smooth, blendMode, clip}); }
};

// A 4-byte image, every pixel transparent black.
inline RefHolder<Image> blankImage(int32_t width, int32_t height) {
    return RefHolder<Image>{Image::createImage(width, height, 4)};
}
