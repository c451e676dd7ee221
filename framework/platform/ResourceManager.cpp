#include "framework/platform/ResourceManager.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <utility>

#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyStore.h"
#include "framework/os/Clock.h"
#include "framework/platform/ImageResource.h"
#include "framework/platform/ResourceObject.h"

QUOVEL_DEFINE_TYPE(ResourceManager, &BaseObject::typeRecord)

namespace {

std::atomic<ResourceManager*> instance{nullptr};
std::mutex instanceMutex;

// The application's clock and longest wait for urgent sections; none before it starts.
Clock* urgentWaitClock = nullptr;
uint32_t urgentWaitLimitMs = 0;

// Process-wide, like the named mutex it stands for: resources publish their loads under it even
// when no manager exists (tests, font layers).
std::recursive_mutex& dataMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

// How many times this thread holds the data lock.
thread_local int32_t dataDepth = 0;

// The data lock at every depth this thread holds it, as one lockable: a thread that waits with
// it leaves the lock wholly free, whatever its callers took.
class WholeDataLock {
public:
    void unlock() {
        held = std::exchange(dataDepth, 0);
        for (int32_t i = 0; i < held; ++i) {
            dataMutex().unlock();
        }
    }
    void lock() {
        for (int32_t i = 0; i < held; ++i) {
            dataMutex().lock();
        }
        dataDepth = held;
    }

private:
    int32_t held = 0;
};

// Leaves the data lock wholly free for its scope.
class DataUnlock {
public:
    DataUnlock() { whole.unlock(); }
    ~DataUnlock() { whole.lock(); }
    DataUnlock(const DataUnlock&) = delete;
    DataUnlock& operator=(const DataUnlock&) = delete;

private:
    WholeDataLock whole;
};

}  // namespace

ResourceManager::DataLock::DataLock() {
    dataMutex().lock();
    ++dataDepth;
}

ResourceManager::DataLock::~DataLock() {
    --dataDepth;
    dataMutex().unlock();
}

ResourceManager::ResourceManager() = default;

ResourceManager::~ResourceManager() {
    // A manager released without stopLoader still ends its thread before the tables go.
    endLoader();
    DataLock lock;
    sections.clear();
}

ResourceManager* ResourceManager::createInstance() {
    std::lock_guard<std::mutex> guard(instanceMutex);
    if (!instance.load()) {
        auto* manager = new ResourceManager();
        manager->addRef();
        manager->startLoader();
        instance.store(manager);
    }
    return instance.load();
}

ResourceManager* ResourceManager::getInstance() {
    return instance.load();
}

void ResourceManager::stopLoader() {
    std::lock_guard<std::mutex> guard(instanceMutex);
    ResourceManager* manager = instance.load();
    if (!manager) {
        return;
    }
    manager->endLoader();
    instance.store(nullptr);
    manager->release();
}

std::unique_lock<std::mutex> ResourceManager::holdLoaderPass() {
    ResourceManager* manager = instance.load();
    return manager ? std::unique_lock<std::mutex>(manager->loaderMutex)
                   : std::unique_lock<std::mutex>();
}

void ResourceManager::endLoader() {
    {
        // Cleared first, so no pass starts after the one under way; the loader lock then waits
        // for that pass to end.
        std::lock_guard<std::mutex> wake(wakeMutex);
        running = false;
    }
    wakeSignal.notify_all();
    { std::lock_guard<std::mutex> pass(loaderMutex); }
    if (thread.joinable()) {
        thread.join();
    }
}

void ResourceManager::startLoader() {
    thread = std::thread(&ResourceManager::loaderMain, this);
}

void ResourceManager::loaderMain() {
    std::unique_lock<std::mutex> wake(wakeMutex);
    for (;;) {
        wakeSignal.wait(wake, [this] { return !running || (ready && pendingWork); });
        if (!running) {
            return;
        }
        pendingWork = false;
        wake.unlock();
        for (bool loaded = true; loaded; ++passCount) {
            loaded = runPass();
        }
        wake.lock();
    }
}

bool ResourceManager::runPass() {
    std::lock_guard<std::mutex> pass(loaderMutex);
    DataLock lock;
    if (!running) {
        return false;
    }
    // The first started section of the urgent queue, else of the background queue. A section
    // that was replaced by a fresh, unstarted one under the same name waits for its own request
    // while the loader goes on with the sections behind it.
    ResourceObject* next = nullptr;
    for (Queue queue : {Queue::URGENT, Queue::BACKGROUND}) {
        nextPendingSection(queue, queue == Queue::URGENT);
        for (const std::string& name : queueOf(queue)) {
            ResourceSection* section = getSection(name);
            if (section && section->isStarted() && (next = section->firstUnloaded())) {
                break;
            }
        }
        if (next) {
            break;
        }
    }
    if (!next) {
        return false;
    }
    // The section may be removed while the resource loads; this reference keeps it alive.
    RefHolder<ResourceObject> resource = next;
    resource->loading = true;
    resource->discardLoad = false;
    {
        DataUnlock unlocked;
        resource->load();
        std::this_thread::yield();
    }
    resource->loading = false;
    resource->discardLoad = false;
    loadFinished.notify_all();
    return true;
}

bool ResourceManager::loadSectionList(const std::string& fileName) {
    RefHolder<PropertyStore> store = new PropertyStore();
    if (!store->loadFile(fileName)) {
        return false;
    }
    AbstractProperty* list = store->getChild("Sections");
    if (!list || !(list->isNode() || list->isVector())) {
        return true;
    }
    auto* children = static_cast<PropertyVector*>(list);
    for (int32_t i = 0; i < children->getChildCount(); ++i) {
        AbstractProperty* child = children->getChildAt(i);
        if (child && child->isNode()) {
            DataLock lock;
            RefHolder<ResourceSection> section =
                new ResourceSection(static_cast<PropertyNode*>(child));
            addSection(section.get());
        }
    }
    return true;
}

void ResourceManager::setReady() {
    {
        std::lock_guard<std::mutex> wake(wakeMutex);
        ready = true;
    }
    wakeSignal.notify_all();
}

bool ResourceManager::isReady() {
    std::lock_guard<std::mutex> wake(wakeMutex);
    return ready;
}

void ResourceManager::resumeLoader() {
    {
        std::lock_guard<std::mutex> wake(wakeMutex);
        pendingWork = true;
    }
    wakeSignal.notify_all();
}

std::vector<std::string>& ResourceManager::queueOf(Queue queue) {
    return queue == Queue::URGENT ? urgent : background;
}

void ResourceManager::addSection(ResourceSection* section) {
    if (!section) {
        return;
    }
    DataLock lock;
    const std::string name = section->getName();
    sections[name] = section;
    if (section->isAutoLoad() && !section->isFullyLoaded()) {
        resumeLoader();
        if (std::find(background.begin(), background.end(), name) == background.end()) {
            background.push_back(name);
        }
        section->setStarted(true);
    }
}

ResourceSection* ResourceManager::getSection(const std::string& name) {
    DataLock lock;
    const auto found = sections.find(name);
    return found == sections.end() ? nullptr : found->second.get();
}

bool ResourceManager::requestSectionLoad(const std::string& name) {
    DataLock lock;
    ResourceSection* section = getSection(name);
    if (!section || section->isFullyLoaded()) {
        return false;
    }
    // A queued section that was replaced by a fresh one starts when it is asked for again.
    section->setStarted(true);
    resumeLoader();
    if (std::find(urgent.begin(), urgent.end(), name) == urgent.end()) {
        urgent.push_back(name);
        totalUnits += section->getTotalWeight();
    }
    return true;
}

ResourceSection* ResourceManager::nextPendingSection(Queue queue, bool countFinished) {
    DataLock lock;
    std::vector<std::string>& names = queueOf(queue);
    std::erase_if(names, [&](const std::string& name) {
        ResourceSection* section = getSection(name);
        if (section && !section->isFullyLoaded()) {
            return false;
        }
        if (section && countFinished) {
            finishedUnits += section->getTotalWeight();
        }
        return true;
    });
    return names.empty() ? nullptr : getSection(names.front());
}

void ResourceManager::clearQueue() {
    DataLock lock;
    urgent.clear();
    totalUnits = 0;
    finishedUnits = 0;
}

double ResourceManager::getLoadProgress() {
    DataLock lock;
    if (totalUnits == 0) {
        return 1.0;
    }
    int64_t done = finishedUnits;
    for (const std::string& name : urgent) {
        if (ResourceSection* section = getSection(name)) {
            done += section->getLoadedAmount();
        }
    }
    return static_cast<double>(done) / totalUnits;
}

int32_t ResourceManager::getTotalUnits() {
    DataLock lock;
    return totalUnits;
}

int32_t ResourceManager::getFinishedUnits() {
    DataLock lock;
    return finishedUnits;
}

std::vector<std::string> ResourceManager::getQueue(Queue queue) {
    DataLock lock;
    return queueOf(queue);
}

void ResourceManager::unloadSection(const std::string& name) {
    DataLock lock;
    ResourceSection* section = getSection(name);
    if (!section) {
        return;
    }
    for (const auto& [key, resource] : section->getResources()) {
        if (resource->isLoaded() || resource->isLoading()) {
            resource->unload();
        }
    }
}

int32_t ResourceManager::releaseUnheldPictures(const std::string& name) {
    DataLock lock;
    ResourceSection* section = getSection(name);
    if (!section) {
        return 0;
    }
    std::set<const ResourceObject*> shared;
    for (const auto& [otherName, other] : sections) {
        if (other.get() != section) {
            for (const auto& [key, resource] : other->getResources()) {
                shared.insert(resource.get());
            }
        }
    }
    int32_t released = 0;
    for (const auto& [key, resource] : section->getResources()) {
        auto* picture = objectCast<ImageResource>(resource.get());
        if (!picture || !resource->isLoaded() || resource->isLoading() ||
            shared.contains(picture)) {
            continue;
        }
        // The resource's own reference is the only one.
        if (Image* image = picture->getImage(); image && image->getRefCount() == 1) {
            resource->unload();
            ++released;
        }
    }
    return released;
}

void ResourceManager::removeSection(const std::string& name, bool unload) {
    DataLock lock;
    std::erase(urgent, name);
    std::erase(background, name);
    const auto found = sections.find(name);
    if (found == sections.end()) {
        return;
    }
    if (unload) {
        unloadSection(name);
    }
    sections.erase(found);
}

ResourceObject* ResourceManager::findResource(const std::string& key,
                                              const std::string& sectionName) {
    ResourceSection* section = getSection(sectionName);
    return section ? section->findResource(key) : nullptr;
}

BaseObject* ResourceManager::getLoadedResourceHandle(const std::string& key,
                                                     const std::string& sectionName) {
    DataLock lock;
    RefHolder<ResourceObject> resource = findResource(key, sectionName);
    if (!resource) {
        reportMissingContent("resource", sectionName + "/" + key);
        return nullptr;
    }
    if (resource->loading) {
        // The loader needs the data lock to finish: wait with it wholly released.
        WholeDataLock whole;
        loadFinished.wait(whole, [&] { return !resource->loading; });
    }
    if (!resource->isLoaded()) {
        resource->load();
    }
    if (!resource->isLoaded()) {
        logProblem("the resource \"" + sectionName + "/" + key + "\" does not load");
    }
    return resource->getData();
}

BaseObject* ResourceManager::getResourceHandle(const std::string& key,
                                               const std::string& sectionName) {
    DataLock lock;
    ResourceObject* resource = findResource(key, sectionName);
    if (!resource) {
        reportMissingContent("resource", sectionName + "/" + key);
    }
    return resource && resource->isLoaded() ? resource->getData() : nullptr;
}

BaseObject* ResourceManager::checkedHandle(const std::string& key, const std::string& sectionName,
                                           const TypeRecord* type, bool load) {
    BaseObject* object =
        load ? getLoadedResourceHandle(key, sectionName) : getResourceHandle(key, sectionName);
    if (object && !object->isA(type)) {
        logProblem("the resource \"" + sectionName + "/" + key + "\" is of type " +
                   object->getType()->name + ", not " + type->name);
        return nullptr;
    }
    return object;
}

bool ResourceManager::urgentSectionsLoaded() {
    resumeLoader();
    return isReady() && !nextPendingSection(Queue::URGENT, true);
}

bool ResourceManager::waitForUrgentSections(Clock& clock, uint32_t limitMs, uint32_t pollMs) {
    const uint32_t start = clock.milliseconds();
    for (;;) {
        if (urgentSectionsLoaded()) {
            return true;
        }
        if (clock.milliseconds() - start >= limitMs) {
            for (const std::string& name : getQueue(Queue::URGENT)) {
                std::fprintf(stderr,
                             "Resource section \"%s\" is not loaded yet; going on without it\n",
                             name.c_str());
            }
            return false;
        }
        clock.sleep(pollMs);
    }
}

bool ResourceManager::waitForUrgentSections(uint32_t pollMs) {
    if (!urgentWaitClock) {
        return true;
    }
    return waitForUrgentSections(*urgentWaitClock, urgentWaitLimitMs, pollMs);
}

void ResourceManager::setUrgentWait(Clock* clock, uint32_t limitMs) {
    urgentWaitClock = clock;
    urgentWaitLimitMs = limitMs;
}

std::vector<std::pair<std::string, std::string>> ResourceManager::failedResources(
    const std::string& name) {
    DataLock lock;
    std::vector<std::pair<std::string, std::string>> failed;
    if (ResourceSection* section = getSection(name)) {
        for (const auto& [key, resource] : section->getResources()) {
            if (resource->getHasError()) {
                failed.emplace_back(key, resource->getFileName());
            }
        }
    }
    return failed;
}

ResourceObject* ResourceManager::findSameResource(const ResourceObject* resource) {
    DataLock lock;
    for (const auto& [name, section] : sections) {
        for (const auto& [key, candidate] : section->getResources()) {
            if (candidate->isSameAs(resource)) {
                return candidate.get();
            }
        }
    }
    return nullptr;
}
