#include "framework/core/PropertyStore.h"

QUOVEL_DEFINE_TYPE(PropertyStore, &PropertyNode::typeRecord)

PropertyStore::PropertyStore(const std::string& fileName) : PropertyNode(std::string(), "root") {
    if (!fileName.empty()) {
        files.push_back(fileName);
    }
}
