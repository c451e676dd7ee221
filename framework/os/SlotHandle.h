#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// Handles of the audio layer: a slot index in the low bits and the slot's generation above it,
// kept to 31 bits so that a handle is never negative. Generations start at 1, so 0 is never a
// handle, and a slot's generation moves on each time it is taken.
template <int IndexBits>
struct SlotHandle {
    static constexpr uint32_t INDEX_MASK = (1u << IndexBits) - 1;
    static constexpr uint32_t MAX_GENERATION = (1u << (31 - IndexBits)) - 1;
    static constexpr uint32_t MAX_SLOTS = 1u << IndexBits;

    static int32_t make(uint32_t index, uint32_t generation) {
        return static_cast<int32_t>((generation << IndexBits) | index);
    }
    static uint32_t index(int32_t handle) { return static_cast<uint32_t>(handle) & INDEX_MASK; }
    static uint32_t generation(int32_t handle) {
        return static_cast<uint32_t>(handle) >> IndexBits;
    }
    static uint32_t nextGeneration(uint32_t generation) {
        return generation >= MAX_GENERATION ? 1 : generation + 1;
    }
};

// A growing table of values found by generation-checked handles; freed slots are reused.
template <class T, int IndexBits = 16>
class SlotTable {
public:
    using Handle = SlotHandle<IndexBits>;

    // The new value's handle, or 0 when the table is full.
    int32_t add(T value) {
        uint32_t index = 0;
        while (index < slots.size() && slots[index].value) {
            ++index;
        }
        if (index == slots.size()) {
            if (slots.size() >= Handle::MAX_SLOTS) {
                return 0;
            }
            slots.emplace_back();
        }
        Slot& slot = slots[index];
        slot.generation = Handle::nextGeneration(slot.generation);
        slot.value = std::move(value);
        return Handle::make(index, slot.generation);
    }

    T* find(int32_t handle) {
        if (handle <= 0) {
            return nullptr;
        }
        const uint32_t index = Handle::index(handle);
        if (index >= slots.size() || !slots[index].value ||
            slots[index].generation != Handle::generation(handle)) {
            return nullptr;
        }
        return &*slots[index].value;
    }

    // Takes the value out; the handle is stale from now on.
    std::optional<T> remove(int32_t handle) {
        std::optional<T> taken;
        if (find(handle)) {
            taken.swap(slots[Handle::index(handle)].value);
        }
        return taken;
    }

    // Takes every value out.
    std::vector<T> clear() {
        std::vector<T> taken;
        for (Slot& slot : slots) {
            if (slot.value) {
                taken.push_back(std::move(*slot.value));
                slot.value.reset();
            }
        }
        return taken;
    }

    template <class F>
    void forEach(F&& visit) {
        for (Slot& slot : slots) {
            if (slot.value) {
                visit(*slot.value);
            }
        }
    }

private:
    struct Slot {
        std::optional<T> value;
        uint32_t generation = 0;
    };
    std::vector<Slot> slots;
};
