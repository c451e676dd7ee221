// Property files: the XML form read into a tree, global values and setups stored as the
// definitions loader stores them, setups applied, and the tree written and read back.
#include <cstring>
#include <string_view>

#include "FuzzSupport.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"

namespace {

// Only the handlers of global values: other type words would build arbitrary objects.
bool isValueHandler(const std::string& word) {
    for (const char* handler :
         {"Integer", "Double", "Float", "Boolean", "String", "Text", "Node", "Vector"}) {
        if (word == handler) {
            return true;
        }
    }
    return false;
}

void storeGlobals(PropertyNode* section) {
    ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
    for (const auto& [name, child] : section->getNameTable()) {
        if (isValueHandler(child->getTypeWord())) {
            RefHolder<BaseObject> made(factory->createObject(child.get()));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::INPUT_LIMIT) {
        return 0;
    }
    fuzz::files();
    fuzz::clearFiles();
    fuzz::freshGlobals();
    RefHolder<PropertyStore> store = fuzz::parseStore(data, size);
    if (!store) {
        return 0;
    }
    storeGlobals(store->getChildNode("setups"));
    storeGlobals(store->getChildNode("properties"));
    store->applySetup();
    getBasicText("TEXT");
    store->setSaveFileName("/opt/game/written.xml");
    if (store->save()) {
        RefHolder<PropertyStore> again(new PropertyStore("/opt/game/written.xml"));
        again->setSourceMode(1);
        // What the writer wrote, the reader reads.
        if (!again->load()) {
            __builtin_trap();
        }
    }
    // Setups may tie nodes of the global table into loops; they go with the table.
    BasicProperties::releaseInstance();
    return 0;
}
