#include "framework/platform/DrawingList.h"

#include <algorithm>

#include "framework/platform/DrawingRecorder.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"

namespace {

// How far ahead the matching looks for an operation drawn in both frames.
constexpr size_t MATCH_WINDOW = 32;
// More rectangles than this are joined into their bounding box at once.
constexpr size_t MANY_RECTANGLES = 48;
// The pixels two rectangles may waste when joined.
constexpr int64_t JOIN_SLACK = 32 * 32;

int64_t area(const Rect& r) {
    return r.isEmpty() ? 0 : int64_t{r.w} * r.h;
}

bool worthJoining(const Rect& a, const Rect& b) {
    return area(uniteRects(a, b)) <= area(a) + area(b) + JOIN_SLACK;
}

// The index of `operation` in list[from, from + MATCH_WINDOW), or list.size().
size_t findAhead(const std::vector<DrawnOperation>& list, size_t from,
                 const DrawnOperation& operation) {
    const size_t end = std::min(list.size(), from + MATCH_WINDOW);
    for (size_t k = from; k < end; ++k) {
        if (list[k] == operation) {
            return k;
        }
    }
    return list.size();
}

// The target pixels where two one-to-one blits of one picture, alike but for its content, may
// differ: the picture's recorded changes between the two contents, placed as the blit places
// them. False when the blits differ otherwise or the changes are not known. The picture is the
// one `after` drew, alive.
bool changedPart(const DrawnOperation& before, const DrawnOperation& after, Rect& part) {
    if (after.kind != DrawingRecorder::BLIT || !after.source || before.source != after.source ||
        before.sourceChanges == after.sourceChanges) {
        return false;
    }
    DrawnOperation alike = before;
    alike.sourceChanges = after.sourceChanges;
    if (!(alike == after)) {
        return false;
    }
    Rect changed;
    uint64_t content = after.sourceChanges;
    for (size_t n = 0; n < Image::KEPT_STEPS && content != before.sourceChanges; ++n) {
        const Image::ContentStep* step = after.source->stepTo(content);
        if (!step) {
            return false;
        }
        if (!step->area.isEmpty()) {
            changed = changed.isEmpty() ? step->area : uniteRects(changed, step->area);
        }
        content = step->from;
    }
    if (content != before.sourceChanges) {
        return false;
    }
    // arguments: target x and y (moved by the offset), source x and y.
    const int32_t shiftX = after.arguments[0] - after.arguments[2];
    const int32_t shiftY = after.arguments[1] - after.arguments[3];
    part = intersectRects(Rect{changed.x + shiftX, changed.y + shiftY, changed.w, changed.h},
                          after.touched);
    return true;
}

// Matches the two frames' operations and hands `damaged` each operation left without its equal,
// with a key that orders it among the operations of `after`: 2j + 1 for after[j], 2j for an
// operation of `before` drawn between after[j - 1] and after[j]. `matched` gets the index in
// `after` of each operation drawn in both frames; one whose picture changed only in a known
// part also goes to `changed` with that part (possibly empty).
template <class Damaged, class Matched, class Changed>
void matchFrames(const std::vector<DrawnOperation>& a, const std::vector<DrawnOperation>& b,
                 Damaged&& damaged, Matched&& matched, Changed&& changed) {
    size_t i = 0;
    size_t j = 0;
    // The matching only ever moves forward in both lists, so matched operations keep their
    // order: a pixel whose operations are all matched is drawn alike in both frames.
    while (i < a.size() && j < b.size()) {
        Rect part;
        if (a[i] == b[j] || changedPart(a[i], b[j], part)) {
            matched(j);
            if (!part.isEmpty()) {
                changed(b[j], 2 * j + 1, part);
            }
            ++i;
            ++j;
            continue;
        }
        const size_t inAfter = findAhead(b, j + 1, a[i]);
        const size_t inBefore = findAhead(a, i + 1, b[j]);
        if (inAfter < b.size() && (inBefore == a.size() || inAfter - j <= inBefore - i)) {
            for (; j < inAfter; ++j) {
                damaged(b[j], 2 * j + 1);
            }
        } else if (inBefore < a.size()) {
            for (; i < inBefore; ++i) {
                damaged(a[i], 2 * j);
            }
        } else {
            damaged(a[i++], 2 * j);
            damaged(b[j], 2 * j + 1);
            ++j;
        }
    }
    for (; i < a.size(); ++i) {
        damaged(a[i], 2 * j);
    }
    for (; j < b.size(); ++j) {
        damaged(b[j], 2 * j + 1);
    }
}

// Whether an operation leaves the alpha byte of a 4-byte target as it was: blits blend or store
// the colour alone, except a picture without alpha drawn faded, which blends all four bytes.
bool keepsAlphaByte(const DrawnOperation& operation) {
    return operation.kind == DrawingRecorder::BLIT &&
           !(operation.sourceBytesPerPixel == 4 && !operation.sourceAlpha &&
             operation.alpha != 255);
}

// The target pixels a blit on a 4-byte target stores unblended, so that they do not depend on
// the pixels beneath: all it touches for a picture without alpha drawn whole, else the
// picture's opaque rectangle cut to pairs of pixels counted from the left end of the rows the
// blit draws (the row loops store a pair only when both its pixels are opaque).
Rect storedArea(const DrawnOperation& operation, DrawingList::Occlusion& occlusion) {
    if (operation.kind != DrawingRecorder::BLIT || operation.blendMode != BlendMode::ALPHA ||
        operation.alpha != 255 || operation.sourceBytesPerPixel != 4 || !operation.source) {
        return Rect{};
    }
    const Rect& t = operation.touched;
    if (!operation.sourceAlpha) {
        return t;
    }
    const Rect opaque = occlusion.opaqueArea(*operation.source);
    if (opaque.isEmpty()) {
        return Rect{};
    }
    // arguments: target x and y (moved by the offset), source x and y.
    const int32_t shiftX = operation.arguments[0] - operation.arguments[2];
    const int32_t shiftY = operation.arguments[1] - operation.arguments[3];
    Rect area = intersectRects(Rect{opaque.x + shiftX, opaque.y + shiftY, opaque.w, opaque.h}, t);
    if (area.isEmpty()) {
        return Rect{};
    }
    const int32_t left = area.x + ((area.x - t.x) & 1);
    const int32_t right = area.x + area.w - ((area.x + area.w - t.x) & 1);
    return Rect{left, area.y, right - left, area.h};
}

// Whether an operation on a 4-byte target leaves the pixels beneath its clear ones as they
// were: a picture with alpha blended or added one to one, whose clear pixels weigh 0 at any
// fade.
bool skipsClearPixels(const DrawnOperation& operation) {
    return operation.kind == DrawingRecorder::BLIT && operation.sourceAlpha &&
           operation.sourceBytesPerPixel == 4 && operation.source &&
           (operation.blendMode == BlendMode::ALPHA || operation.blendMode == BlendMode::ADDITIVE);
}

// Rows of a band of the target: the bands of one picture drawn at two places line up, so that
// merging joins them band by band.
constexpr int32_t BAND_ROWS = 32;

// The picture an operation drew, when the frame just drawn drew it too with that content (a
// picture of the earlier frame may be gone); null otherwise.
const Image* drawnNow(const DrawnOperation& operation, const std::vector<DrawnOperation>& now) {
    for (const DrawnOperation& drawn : now) {
        if (drawn.source == operation.source && drawn.sourceChanges == operation.sourceChanges) {
            return drawn.source;
        }
    }
    return nullptr;
}

// Hands `add` the pixels an operation may change: for one that skips clear pixels, the columns
// of the picture's other pixels in bands of rows; otherwise all it touches.
template <class Add>
void addTouched(const DrawnOperation& operation, bool ofThisFrame,
                const std::vector<DrawnOperation>& now, int32_t targetBytesPerPixel,
                DrawingList::Occlusion& occlusion, Add&& add) {
    const Rect& t = operation.touched;
    const std::vector<std::pair<int32_t, int32_t>>* rows = nullptr;
    if (targetBytesPerPixel == 4 && skipsClearPixels(operation) && !t.isEmpty()) {
        rows = occlusion.visibleColumns(ofThisFrame ? operation.source : nullptr,
                                        operation.sourceChanges);
        if (!rows && !ofThisFrame) {
            rows = occlusion.visibleColumns(drawnNow(operation, now), operation.sourceChanges);
        }
    }
    if (!rows) {
        add(t);
        return;
    }
    // arguments: target x and y (moved by the offset), source x and y.
    const int32_t shiftX = operation.arguments[0] - operation.arguments[2];
    const int32_t shiftY = operation.arguments[1] - operation.arguments[3];
    const auto height = static_cast<int32_t>(rows->size());
    for (int32_t band = t.y - ((t.y % BAND_ROWS) + BAND_ROWS) % BAND_ROWS; band < t.y + t.h;
         band += BAND_ROWS) {
        const int32_t top = std::max(band, t.y);
        const int32_t bottom = std::min(band + BAND_ROWS, t.y + t.h);
        int32_t first = t.x + t.w;
        int32_t last = t.x;
        for (int32_t y = top; y < bottom; ++y) {
            const int32_t row = y - shiftY;
            if (row < 0 || row >= height) {
                first = t.x;
                last = t.x + t.w;
                break;
            }
            const auto [from, to] = (*rows)[static_cast<size_t>(row)];
            if (from < to) {
                first = std::min(first, from + shiftX);
                last = std::max(last, to + shiftX);
            }
        }
        const Rect piece = intersectRects(Rect{first, top, last - first, bottom - top}, t);
        if (first < last && !piece.isEmpty()) {
            add(piece);
        }
    }
}

// Pieces of `r` outside `hole`: the rows above and below it, and the parts beside it.
void cutOut(const Rect& r, const Rect& hole, std::vector<Rect>& pieces) {
    const Rect inside = intersectRects(r, hole);
    if (inside.isEmpty()) {
        pieces.push_back(r);
        return;
    }
    const int32_t bottom = r.y + r.h;
    const int32_t insideBottom = inside.y + inside.h;
    if (inside.y > r.y) {
        pieces.push_back(Rect{r.x, r.y, r.w, inside.y - r.y});
    }
    if (inside.x > r.x) {
        pieces.push_back(Rect{r.x, inside.y, inside.x - r.x, inside.h});
    }
    if (inside.x + inside.w < r.x + r.w) {
        pieces.push_back(
            Rect{inside.x + inside.w, inside.y, r.x + r.w - inside.x - inside.w, inside.h});
    }
    if (insideBottom < bottom) {
        pieces.push_back(Rect{r.x, insideBottom, r.w, bottom - insideBottom});
    }
}

// An occluding rectangle smaller than this is not worth the pieces it cuts.
constexpr int64_t LEAST_OCCLUDER = 64 * 64;
// Cutting stops once the damage has this many pieces.
constexpr size_t MOST_PIECES = 32;

}  // namespace

void DrawingList::findDamage(const DrawingList& before, const DrawingList& after,
                             std::vector<Rect>& damage) {
    matchFrames(
        before.operations, after.operations,
        [&](const DrawnOperation& operation, size_t) { damage.push_back(operation.touched); },
        [](size_t) {},
        [&](const DrawnOperation&, size_t, const Rect& part) { damage.push_back(part); });
}

void DrawingList::findVisibleDamage(const DrawingList& before, const DrawingList& after,
                                    int32_t targetBytesPerPixel, Occlusion& occlusion,
                                    std::vector<Rect>& damage) {
    using Piece = Occlusion::Piece;
    std::vector<Piece>& pieces = occlusion.pieces;
    std::vector<size_t>& matched = occlusion.matched;
    std::vector<Rect>& cut = occlusion.cut;
    pieces.clear();
    matched.clear();
    ++occlusion.frames;
    matchFrames(
        before.operations, after.operations,
        [&](const DrawnOperation& operation, size_t key) {
            const bool cuttable = targetBytesPerPixel == 4 && keepsAlphaByte(operation);
            // Keys of operations of `after` are odd.
            addTouched(operation, key % 2 == 1, after.operations, targetBytesPerPixel, occlusion,
                       [&](const Rect& r) {
                           pieces.push_back(Piece{r, key, cuttable});
                       });
        },
        [&](size_t j) { matched.push_back(j); },
        [&](const DrawnOperation& operation, size_t key, const Rect& part) {
            pieces.push_back(
                Piece{part, key, targetBytesPerPixel == 4 && keepsAlphaByte(operation)});
        });
    // Pixels a matched opaque blit stores are the same in both frames wherever no operation
    // drawn after it changed: the damage of operations drawn before it need not reach them. A
    // cut piece keeps alpha bytes under the blit as they were, which its operation left alone.
    for (size_t j : matched) {
        if (pieces.empty() || pieces.size() >= MOST_PIECES) {
            break;
        }
        const size_t key = 2 * j + 1;
        const DrawnOperation& operation = after.operations[j];
        bool reaches = false;
        for (const Piece& piece : pieces) {
            reaches = reaches || (piece.cuttable && piece.key < key &&
                                  rectsOverlap(piece.rect, operation.touched));
        }
        if (!reaches) {
            continue;
        }
        const Rect stored = storedArea(operation, occlusion);
        if (int64_t{stored.w} * stored.h < LEAST_OCCLUDER) {
            continue;
        }
        const size_t count = pieces.size();
        for (size_t n = 0; n < count; ++n) {
            if (!pieces[n].cuttable || pieces[n].key >= key) {
                continue;
            }
            cut.clear();
            cutOut(pieces[n].rect, stored, cut);
            if (cut.size() == 1 && cut.front() == pieces[n].rect) {
                continue;
            }
            const Piece model = pieces[n];
            pieces[n].rect = Rect{};
            for (const Rect& r : cut) {
                pieces.push_back(Piece{r, model.key, model.cuttable});
            }
        }
        std::erase_if(pieces, [](const Piece& piece) { return piece.rect.isEmpty(); });
    }
    for (const Piece& piece : pieces) {
        damage.push_back(piece.rect);
    }
}

Rect DrawingList::Occlusion::opaqueArea(const Image& image) {
    const uint64_t content = image.getChangeCount();
    if (auto found = known.find(content); found != known.end()) {
        return found->second;
    }
    constexpr size_t MOST_KNOWN = 512;
    if (known.size() >= MOST_KNOWN) {
        known.clear();
    }
    // A content made from a known one without touching an alpha byte has its opaque area.
    const Image::ContentStep* step = image.stepTo(content);
    for (size_t n = 0; step && n < Image::KEPT_STEPS; ++n) {
        if (auto found = known.find(step->from); found != known.end()) {
            const Rect inherited = found->second;
            known.emplace(content, inherited);
            return inherited;
        }
        step = image.stepTo(step->from);
    }
    Rect best;
    const uint8_t* pixels = image.getPixels();
    const int32_t width = image.getWidth();
    const int32_t height = image.getHeight();
    if (pixels && !image.isPacked() && image.getBytesPerPixel() == 4 && width > 0) {
        // The largest rectangle under the histogram of opaque runs ending at each row.
        std::vector<int32_t> run(static_cast<size_t>(width) + 1, 0);
        std::vector<int32_t> rising;
        int64_t bestArea = 0;
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * image.getPitch();
            for (int32_t x = 0; x < width; ++x) {
                // The alpha byte is the top byte of each little-endian 0xAARRGGBB word.
                run[static_cast<size_t>(x)] =
                    row[x * 4 + 3] == 255 ? run[static_cast<size_t>(x)] + 1 : 0;
            }
            rising.clear();
            for (int32_t x = 0; x <= width; ++x) {
                const int32_t h = run[static_cast<size_t>(x)];
                while (!rising.empty() && run[static_cast<size_t>(rising.back())] >= h) {
                    const int32_t top = run[static_cast<size_t>(rising.back())];
                    rising.pop_back();
                    const int32_t left = rising.empty() ? 0 : rising.back() + 1;
                    if (int64_t{top} * (x - left) > bestArea) {
                        bestArea = int64_t{top} * (x - left);
                        best = Rect{left, y - top + 1, x - left, top};
                    }
                }
                rising.push_back(x);
            }
        }
    }
    known.emplace(content, best);
    return best;
}

const std::vector<std::pair<int32_t, int32_t>>* DrawingList::Occlusion::visibleColumns(
    const Image* image, uint64_t content) {
    if (!image) {
        const auto found = columns.find(content);
        return found != columns.end() && found->second.scanned ? &found->second.rows : nullptr;
    }
    const uint8_t* pixels = image->getPixels();
    const int32_t width = image->getWidth();
    if (content != image->getChangeCount() || !pixels || image->isPacked() ||
        image->getBytesPerPixel() != 4 || width <= 0) {
        return nullptr;
    }
    constexpr size_t MOST_KNOWN = 512;
    if (columns.size() >= MOST_KNOWN && columns.find(content) == columns.end()) {
        columns.clear();
    }
    Columns& entry = columns[content];
    if (entry.firstAsked == 0) {
        entry.firstAsked = frames;
    }
    if (entry.scanned) {
        return &entry.rows;
    }
    if (entry.firstAsked == frames) {
        return nullptr;
    }
    entry.rows.assign(static_cast<size_t>(image->getHeight()), {0, 0});
    for (int32_t y = 0; y < image->getHeight(); ++y) {
        const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * image->getPitch();
        // The alpha byte is the top byte of each little-endian 0xAARRGGBB word.
        int32_t first = 0;
        while (first < width && row[first * 4 + 3] == 0) {
            ++first;
        }
        int32_t last = width;
        while (last > first && row[(last - 1) * 4 + 3] == 0) {
            --last;
        }
        entry.rows[static_cast<size_t>(y)] = {first, first < last ? last : first};
    }
    entry.scanned = true;
    return &entry.rows;
}

void mergeDamage(std::vector<Rect>& damage, const Rect& bounds, int32_t wholeShare) {
    for (Rect& r : damage) {
        r = intersectRects(r, bounds);
    }
    std::erase_if(damage, [](const Rect& r) { return r.isEmpty(); });
    const auto boundingBox = [&damage] {
        Rect box = damage.front();
        for (const Rect& r : damage) {
            box = uniteRects(box, r);
        }
        damage.assign(1, box);
    };
    if (damage.size() > MANY_RECTANGLES) {
        boundingBox();
    }
    // Joining may make a rectangle overlap one already passed, so the scan repeats until no
    // pair is left to join.
    for (bool joined = true; joined;) {
        joined = false;
        for (size_t m = 0; m < damage.size(); ++m) {
            for (size_t n = m + 1; n < damage.size();) {
                if (worthJoining(damage[m], damage[n])) {
                    damage[m] = uniteRects(damage[m], damage[n]);
                    damage.erase(damage.begin() + static_cast<std::ptrdiff_t>(n));
                    joined = true;
                } else {
                    ++n;
                }
            }
        }
    }
    // Rectangles that overlap but would waste much joined (a thin strip across a band) keep
    // apart: the later one is cut around the earlier, so that the rectangles end disjoint.
    // Every cut leaves less area, so this ends.
    std::vector<Rect> outside;
    for (size_t n = 1; n < damage.size() && damage.size() <= MANY_RECTANGLES;) {
        size_t m = 0;
        while (m < n && !rectsOverlap(damage[m], damage[n])) {
            ++m;
        }
        if (m == n) {
            ++n;
            continue;
        }
        outside.clear();
        cutOut(damage[n], damage[m], outside);
        damage.erase(damage.begin() + static_cast<std::ptrdiff_t>(n));
        damage.insert(damage.end(), outside.begin(), outside.end());
    }
    if (damage.size() > MANY_RECTANGLES) {
        boundingBox();
    }
    int64_t covered = 0;
    for (const Rect& r : damage) {
        covered += area(r);
    }
    if (covered * 100 > area(bounds) * wholeShare) {
        damage.assign(1, bounds);
    }
}
