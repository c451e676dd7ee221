#include "game/rules/FaceGroups.h"

#include <algorithm>

bool containsTile(const std::vector<RefHolder<Tile>>& list, const Tile* tile) {
    return std::any_of(list.begin(), list.end(),
                       [tile](const RefHolder<Tile>& entry) { return entry.get() == tile; });
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
