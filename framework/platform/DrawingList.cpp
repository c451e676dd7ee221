#include "framework/platform/DrawingList.h"

#include <algorithm>

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
    return !intersectRects(a, b).isEmpty() ||
           area(uniteRects(a, b)) <= area(a) + area(b) + JOIN_SLACK;
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

}  // namespace

void DrawingList::findDamage(const DrawingList& before, const DrawingList& after,
                             std::vector<Rect>& damage) {
    const std::vector<DrawnOperation>& a = before.operations;
    const std::vector<DrawnOperation>& b = after.operations;
    size_t i = 0;
    size_t j = 0;
    // The matching only ever moves forward in both lists, so matched operations keep their
    // order: a pixel whose operations are all matched is drawn alike in both frames.
    while (i < a.size() && j < b.size()) {
        if (a[i] == b[j]) {
            ++i;
            ++j;
            continue;
        }
        const size_t inAfter = findAhead(b, j + 1, a[i]);
        const size_t inBefore = findAhead(a, i + 1, b[j]);
        if (inAfter < b.size() && (inBefore == a.size() || inAfter - j <= inBefore - i)) {
            for (; j < inAfter; ++j) {
                damage.push_back(b[j].touched);
            }
        } else if (inBefore < a.size()) {
            for (; i < inBefore; ++i) {
                damage.push_back(a[i].touched);
            }
        } else {
            damage.push_back(a[i++].touched);
            damage.push_back(b[j++].touched);
        }
    }
    for (; i < a.size(); ++i) {
        damage.push_back(a[i].touched);
    }
    for (; j < b.size(); ++j) {
        damage.push_back(b[j].touched);
    }
}

void mergeDamage(std::vector<Rect>& damage, const Rect& bounds, int32_t wholeShare) {
    for (Rect& r : damage) {
        r = intersectRects(r, bounds);
    }
    std::erase_if(damage, [](const Rect& r) { return r.isEmpty(); });
    if (damage.size() > MANY_RECTANGLES) {
        Rect box = damage.front();
        for (const Rect& r : damage) {
            box = uniteRects(box, r);
        }
        damage.assign(1, box);
    }
    // Joining may make a rectangle overlap one already passed, so the scan repeats until no
    // pair is left to join: the rectangles end disjoint.
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
    int64_t covered = 0;
    for (const Rect& r : damage) {
        covered += area(r);
    }
    if (covered * 100 > area(bounds) * wholeShare) {
        damage.assign(1, bounds);
    }
}
