#include "framework/platform/ImageManager.h"

#include <algorithm>

#include "framework/platform/DisplayDepth.h"
#include "framework/platform/Image.h"
#include "framework/platform/ResourceManager.h"

QUOVEL_DEFINE_TYPE(ImageManager, &Task::typeRecord)

namespace {
std::atomic<ImageManager*> instance{nullptr};
std::mutex instanceMutex;
}  // namespace

ImageManager* ImageManager::createInstance(bool compress) {
    std::lock_guard<std::mutex> guard(instanceMutex);
    if (!instance.load()) {
        auto* manager = new ImageManager(compress);
        manager->addRef();
        instance.store(manager);
        Image::setRegistry(manager);
    }
    return instance.load();
}

ImageManager* ImageManager::getInstance() {
    return instance.load();
}

void ImageManager::destroyInstance() {
    // The loader makes images and reaches the manager through them without holding it: the
    // pass under way ends first and none starts until the manager is gone (a task manager may
    // keep it a little longer, out of the loader's reach).
    std::unique_lock<std::mutex> pass = ResourceManager::holdLoaderPass();
    std::lock_guard<std::mutex> guard(instanceMutex);
    ImageManager* manager = instance.exchange(nullptr);
    Image::setRegistry(nullptr);
    if (manager) {
        // Waits for any thread still inside the manager.
        manager->mutex.lock();
        manager->mutex.unlock();
        manager->release();
    }
}

void ImageManager::addImage(Image* image) {
    std::lock_guard<std::recursive_mutex> guard(mutex);
    images.push_back(image);
}

void ImageManager::removeImage(Image* image) {
    std::lock_guard<std::recursive_mutex> guard(mutex);
    auto found = std::find(images.begin(), images.end(), image);
    if (found != images.end()) {
        images.erase(found);
    }
}

void ImageManager::convertAll() {
    // The loader lists an image when it makes it and fills it afterwards: an image must not
    // change depth under a load, so the pass under way ends first (loader lock before image
    // lock, as in a pass).
    std::unique_lock<std::mutex> pass = ResourceManager::holdLoaderPass();
    std::lock_guard<std::recursive_mutex> guard(mutex);
    const int32_t depth = getDisplayBytesPerPixel();
    // Index loop: a conversion never adds or removes images, but stay valid if one did.
    for (size_t i = 0; i < images.size(); ++i) {
        images[i]->convert(depth);
    }
}

size_t ImageManager::getImageCount() {
    std::lock_guard<std::recursive_mutex> guard(mutex);
    return images.size();
}
