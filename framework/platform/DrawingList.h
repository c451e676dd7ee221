#pragma once

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/core/Rect.h"

class Image;

// One drawing operation as a frame drew it into its target: the pixels it may change and
// everything its result depends on besides the pixels beneath it. Two equal operations drawn
// over equal pixels give equal pixels.
struct DrawnOperation {
    // The target pixels the operation may change (inside the clip and the target).
    Rect touched;
    int32_t kind = 0;
    // The operation's own arguments, moved by the drawing offset where they are positions.
    int32_t arguments[10] = {};
    double angle = 0.0;
    double scale = 0.0;
    // The source picture: its identity, content and the properties the blits read.
    const Image* source = nullptr;
    uint64_t sourceChanges = 0;
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;
    int32_t sourceBytesPerPixel = 0;
    bool sourceAlpha = false;
    // The drawing state.
    Rect clip;
    uint32_t color = 0;
    int32_t alpha = 0;
    int32_t blendMode = 0;
    bool smooth = false;

    bool operator==(const DrawnOperation&) const = default;
};

// The operations of one frame, in drawing order, and what two frames' lists say about the
// pixels that differ between them.
class DrawingList {
public:
    void clear() { operations.clear(); }
    void add(const DrawnOperation& operation) { operations.push_back(operation); }
    const std::vector<DrawnOperation>& getOperations() const { return operations; }
    bool operator==(const DrawingList&) const = default;

    // Appends to `damage` the rectangles outside which the two frames' pixels agree, when both
    // were drawn over the same picture. Operations are matched in order; an operation left
    // without its equal in the other frame damages what it touches, which covers anything
    // drawn, removed, changed or reordered. A blit whose picture recorded where it changed
    // since the earlier frame (Image::noteChangesSince) damages that part alone.
    static void findDamage(const DrawingList& before, const DrawingList& after,
                           std::vector<Rect>& damage);

    // The same damage, less what a later operation drawn alike in both frames covers with
    // pixels that do not depend on those beneath it (an opaque blit over a changed glow), on a
    // target of `targetBytesPerPixel`. Drawing the frame inside the smaller damage changes the
    // same pixels as drawing it inside the whole one.
    class Occlusion;
    static void findVisibleDamage(const DrawingList& before, const DrawingList& after,
                                  int32_t targetBytesPerPixel, Occlusion& occlusion,
                                  std::vector<Rect>& damage);

private:
    std::vector<DrawnOperation> operations;
};

// What findVisibleDamage keeps between frames: the largest rectangle of each picture whose
// pixels are all fully opaque, and the columns of each row's pixels that are not fully clear,
// per content (change counts are never shared by two contents), and its working lists.
class DrawingList::Occlusion {
public:
    // Empty for pictures without pixels in memory or without such a rectangle.
    Rect opaqueArea(const Image& image);
    // For each row of a picture's `content`, the columns [first, last) that hold its pixels of
    // alpha above 0 (first == last for none); null for pictures without pixels in memory, for a
    // content the picture no longer holds, and for a content not asked for in an earlier frame,
    // so that a picture drawn anew every frame is never scanned. Without the picture (which may
    // be gone), only a content scanned before is answered.
    const std::vector<std::pair<int32_t, int32_t>>* visibleColumns(const Image* image,
                                                                   uint64_t content);

private:
    friend class DrawingList;
    struct Piece {
        Rect rect;
        size_t key;
        bool cuttable;
    };
    struct Columns {
        uint64_t firstAsked = 0;
        bool scanned = false;
        std::vector<std::pair<int32_t, int32_t>> rows;
    };

    std::unordered_map<uint64_t, Rect> known;
    std::unordered_map<uint64_t, Columns> columns;
    // How many damages were found, which tells one frame's questions from the next's.
    uint64_t frames = 0;
    std::vector<Piece> pieces;
    std::vector<size_t> matched;
    std::vector<Rect> cut;
};

// Turns damaged rectangles into a few disjoint ones that cover them all, inside `bounds`:
// rectangles whose union wastes little are joined, and of two that still overlap the later is
// cut around the earlier. A list that would still cover more than `wholeShare` percent of the
// bounds becomes the bounds alone.
void mergeDamage(std::vector<Rect>& damage, const Rect& bounds, int32_t wholeShare);
