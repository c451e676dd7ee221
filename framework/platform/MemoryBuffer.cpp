#include "framework/platform/MemoryBuffer.h"

QUOVEL_DEFINE_TYPE(MemoryBuffer, &BaseObject::typeRecord)

MemoryBuffer::MemoryBuffer() : bytes(1, 0) {}

MemoryBuffer::~MemoryBuffer() = default;

void MemoryBuffer::resize(uint32_t newSize) {
    bytes.assign(static_cast<size_t>(newSize) + 1, 0);
    size = newSize;
}

void MemoryBuffer::assign(std::vector<uint8_t>&& content) {
    size = static_cast<uint32_t>(content.size());
    bytes = std::move(content);
    bytes.push_back(0);
}

void MemoryBuffer::clear() {
    size = 0;
    bytes.assign(1, 0);
}
