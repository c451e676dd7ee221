// Level files: every level definition of a room's file built into a level, its layout loaded
// from the shipped layouts, its progressions stepped and the level written back. Two levels
// an input at most: each loads a whole layout file.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "GameSupport.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyVector.h"
#include "game/rules/Level.h"

namespace {

// The shipped layouts, on the file system in memory where levels look for them.
void putLayouts() {
    static const bool done = [] {
        const std::filesystem::path folder =
            std::filesystem::path(QUOVEL_SOURCE_DIR) / "media/levels";
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::ifstream file(entry.path(), std::ios::binary);
            const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                             std::istreambuf_iterator<char>());
            fuzz::putFile("media/levels/" + entry.path().filename().string(), bytes.data(),
                          bytes.size());
        }
        return true;
    }();
    (void)done;
}

void buildLevels(AbstractProperty* property, int depth, int& budget) {
    if (!property || depth > 8 || budget <= 0) {
        return;
    }
    if (property->isVector()) {
        auto* list = static_cast<PropertyVector*>(property);
        for (int32_t i = 0; i < list->getChildCount(); ++i) {
            buildLevels(list->getChildAt(i), depth + 1, budget);
        }
        return;
    }
    if (!property->isNode()) {
        return;
    }
    if (property->getTypeWord() != "Level") {
        for (const auto& [name, child] : static_cast<PropertyNode*>(property)->getNameTable()) {
            buildLevels(child.get(), depth + 1, budget);
        }
        return;
    }
    --budget;
    RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->createObject(property));
    if (Level* level = objectCast<Level>(made.get())) {
        level->nextLevel();
        RefHolder<PropertyNode> written(new PropertyNode("level", "Level"));
        level->toProperties(written.get());
        level->toString();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::INPUT_LIMIT) {
        return 0;
    }
    fuzz::gameReady();
    putLayouts();
    RefHolder<PropertyStore> store = fuzz::parseStore(data, size);
    if (!store) {
        return 0;
    }
    int budget = 2;
    buildLevels(store.get(), 0, budget);
    return 0;
}
