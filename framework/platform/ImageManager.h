#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "framework/platform/Image.h"
#include "framework/platform/Task.h"

// Keeps the list of live images so that all of them can follow the display when the game window
// chooses or changes its depth. Images register themselves on both threads (the loader decodes
// pictures), so the list is guarded by the manager's lock. It also holds the clock, idle limit
// and compress flag that a packing policy would read; nothing in the game packs images. It is
// one of the frame loop's tasks, whose update has nothing to do.
class ImageManager : public Task, public ImageRegistry {
    QUOVEL_TYPE(ImageManager)
public:
    // Makes the global instance (start-up) unless it exists; `compress` comes from the first
    // character of AUTO_COMPRESS.
    static ImageManager* createInstance(bool compress);
    static ImageManager* getInstance();
    // Drops the global instance (a task manager may still hold it), between two loader passes.
    // Main thread only, never under the resource data lock.
    static void destroyInstance();

    void addImage(Image* image) override;
    void removeImage(Image* image) override;
    // Converts every listed image to the display's depth.
    void convertAll();

    size_t getImageCount();
    int64_t getClock() const override { return clock.load(std::memory_order_relaxed); }
    void setClock(int64_t value) { clock.store(value, std::memory_order_relaxed); }
    int32_t getIdleLimit() const override { return idleLimit; }
    bool getCompress() const { return compress; }

private:
    explicit ImageManager(bool compress) : compress(compress) {}
    ~ImageManager() override = default;

    std::vector<Image*> images;
    std::atomic<int64_t> clock{0};
    int32_t idleLimit = 2000;
    bool compress = false;
    // Re-entrant: a conversion may make or drop images of its own.
    std::recursive_mutex mutex;
};
