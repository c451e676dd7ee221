// The settings store's file form: decoded, and what decodes encodes back to the same values.
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "framework/os/FileKeyStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::INPUT_LIMIT) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<KeyValue> values;
    if (!FileKeyStore::decodeValues(text, values)) {
        return 0;
    }
    std::vector<KeyValue> again;
    if (!FileKeyStore::decodeValues(FileKeyStore::encodeValues(values), again) ||
        again.size() != values.size()) {
        __builtin_trap();
    }
    for (size_t i = 0; i < values.size(); ++i) {
        if (!(again[i] == values[i])) {
            __builtin_trap();
        }
    }
    return 0;
}
