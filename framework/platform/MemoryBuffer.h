#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/BaseObject.h"

// An owned byte buffer that whole files are read into. The content is always followed by one
// 0 byte, so text can be parsed in place.
class MemoryBuffer : public BaseObject {
    QUOVEL_TYPE(MemoryBuffer)
public:
    MemoryBuffer();
    ~MemoryBuffer() override;

    uint32_t getSize() const { return size; }
    uint8_t* getData() { return bytes.data(); }
    const uint8_t* getData() const { return bytes.data(); }

    // `newSize` bytes of zeros plus the terminator.
    void resize(uint32_t newSize);
    // Takes over `content` as the buffer's bytes (its size must fit in 32 bits); the terminator
    // goes in place when `content` has room for one byte more, else the bytes are moved once.
    void assign(std::vector<uint8_t>&& content);
    void clear();

private:
    uint32_t size = 0;
    std::vector<uint8_t> bytes;
};
