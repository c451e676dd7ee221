// Layout files: the grid and side board read for every game type, copied, written back and
// read again, and the free tiles found.
#include <vector>

#include "GameSupport.h"
#include "game/rules/Layout.h"
#include "game/rules/Tile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::INPUT_LIMIT) {
        return 0;
    }
    fuzz::gameReady();
    RefHolder<PropertyStore> store = fuzz::parseStore(data, size);
    if (!store) {
        return 0;
    }
    PropertyNode* node = store->getChildNode("layout");
    // One game type an input, chosen by its length: all six would make each run six times
    // slower for the same paths.
    {
        const auto gameType = static_cast<GameType>(size % 6);
        RefHolder<Layout> layout(new Layout(node, gameType, static_cast<int32_t>(size % 8)));
        RefHolder<Layout> copy(new Layout(*layout));
        std::vector<RefHolder<Tile>> tiles;
        copy->getFreeTiles(tiles);
        for (const RefHolder<Tile>& tile : tiles) {
            copy->removeTile(tile.get());
        }
        RefHolder<PropertyNode> written(new PropertyNode("layout", "Layout"));
        layout->save(written.get());
        RefHolder<Layout> again(
            new Layout(written.get(), gameType, static_cast<int32_t>(size % 8)));
        if (again->getTileCount() != layout->getTileCount()) {
            __builtin_trap();
        }
    }
    return 0;
}
