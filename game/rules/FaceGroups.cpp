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

void dealFacesInGroups(std::vector<RefHolder<Tile>>& tiles, int32_t groupSize,
                       const std::function<bool(Tile*, Tile*)>& matches,
                       std::vector<RefHolder<TileDef>>& out) {
    const size_t partnersWanted = groupSize > 1 ? static_cast<size_t>(groupSize - 1) : 0;
    std::vector<RefHolder<TileDef>> lone;
    while (!tiles.empty()) {
        RefHolder<Tile> last = std::move(tiles.back());
        tiles.pop_back();
        std::vector<size_t> partners;
        for (size_t i = 0; i < tiles.size() && partners.size() < partnersWanted; ++i) {
            if (matches(last.get(), tiles[i].get())) {
                partners.push_back(i);
            }
        }
        if (partners.size() < partnersWanted) {
            lone.push_back(faceOf(last.get()));
            continue;
        }
        out.push_back(faceOf(last.get()));
        for (size_t index : partners) {
            out.push_back(faceOf(tiles[index].get()));
        }
        for (auto it = partners.rbegin(); it != partners.rend(); ++it) {
            tiles.erase(tiles.begin() + static_cast<std::ptrdiff_t>(*it));
        }
    }
    out.insert(out.end(), lone.begin(), lone.end());
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
