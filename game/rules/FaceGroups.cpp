#include "game/rules/FaceGroups.h"

#include <algorithm>
#include <numeric>

bool containsTile(const std::vector<RefHolder<Tile>>& list, const Tile* tile) {
    return std::any_of(list.begin(), list.end(),
                       [tile](const RefHolder<Tile>& entry) { return entry.get() == tile; });
}

std::vector<char> listedIn(const std::vector<RefHolder<Tile>>& tiles,
                           const std::vector<RefHolder<Tile>>& list) {
    std::vector<char> listed(tiles.size());
    for (size_t i = 0; i < tiles.size() && !list.empty(); ++i) {
        listed[i] = containsTile(list, tiles[i].get());
    }
    return listed;
}

void eraseTile(std::vector<RefHolder<Tile>>& list, const Tile* tile) {
    std::erase_if(list, [tile](const RefHolder<Tile>& entry) { return entry.get() == tile; });
}

RefHolder<TileDef> faceOf(const Tile* tile) {
    return RefHolder<TileDef>(new TileDef(tile->getSuit(), tile->getValue()));
}

RefHolder<TileDef> SharedFaces::of(int32_t suit, int32_t value) {
    if (suit < 0 || suit >= SUITS || value < 0 || value >= VALUES) {
        return RefHolder<TileDef>(new TileDef(suit, value));
    }
    RefHolder<TileDef>& record = records[static_cast<size_t>(suit * VALUES + value)];
    if (!record) {
        record = new TileDef(suit, value);
    }
    return record;
}

void dealFacesInGroups(std::vector<RefHolder<Tile>>& tiles, int32_t groupSize,
                       const std::function<bool(Tile*, Tile*)>& matches,
                       std::vector<RefHolder<TileDef>>& out) {
    const size_t partnersWanted = groupSize > 1 ? static_cast<size_t>(groupSize - 1) : 0;
    // Only tiles of the same key can match, so a tile's partners are looked for in its key
    // group alone, in list order: the same partners as a scan of the whole list would find.
    const MatchKeyGroups groups(tiles);
    std::vector<char> dealt(tiles.size());
    // For each key group, at its first position: how many of its leading tiles are dealt.
    std::vector<size_t> dealtAhead(tiles.size());
    SharedFaces faces;
    std::vector<RefHolder<TileDef>> lone;
    std::vector<size_t> partners;
    partners.reserve(partnersWanted);
    out.reserve(out.size() + tiles.size());
    for (size_t last = tiles.size(); last-- > 0;) {
        if (dealt[last]) {
            continue;
        }
        dealt[last] = 1;
        partners.clear();
        const size_t* scan = groups.begin(last);
        size_t& ahead = dealtAhead[*scan];
        while (scan + ahead != groups.end(last) && dealt[scan[ahead]]) {
            ++ahead;
        }
        for (const size_t* j = scan + ahead;
             j != groups.end(last) && *j < last && partners.size() < partnersWanted; ++j) {
            if (!dealt[*j] && matches(tiles[last].get(), tiles[*j].get())) {
                partners.push_back(*j);
            }
        }
        if (partners.size() < partnersWanted) {
            lone.push_back(faces.of(tiles[last]->getSuit(), tiles[last]->getValue()));
            continue;
        }
        out.push_back(faces.of(tiles[last]->getSuit(), tiles[last]->getValue()));
        for (size_t index : partners) {
            out.push_back(faces.of(tiles[index]->getSuit(), tiles[index]->getValue()));
            dealt[index] = 1;
        }
    }
    out.insert(out.end(), lone.begin(), lone.end());
    tiles.clear();
}

MatchKeyGroups::MatchKeyGroups(const std::vector<RefHolder<Tile>>& tiles)
    : order(tiles.size()), groupOf(tiles.size()) {
    std::vector<int32_t> keys(tiles.size());
    for (size_t i = 0; i < tiles.size(); ++i) {
        keys[i] = tiles[i]->getMatchKey();
    }
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
    for (size_t k = 0; k < order.size(); ++k) {
        if (k == 0 || keys[order[k]] != keys[order[k - 1]]) {
            first.push_back(k);
        }
        groupOf[order[k]] = first.size() - 1;
    }
    first.push_back(order.size());
}
