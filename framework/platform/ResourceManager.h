#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/ResourceSection.h"

class Clock;
class ResourceObject;

// Owns every resource section, the queues of sections waiting to be loaded, the loading
// progress and the loader thread, the game's only second thread. The loader takes one resource
// per pass, from the urgent queue before the background queue, and loads it without the data
// lock, so lookups and requests from the main thread go on meanwhile; it sleeps when both
// queues are empty and a request wakes it.
//
// Locks: the loader lock covers one loader pass and shut-down; the data lock (re-entrant,
// process-wide) covers the section table, the queues, the counters and the state of every
// resource. Where both are held the loader lock comes first.
class ResourceManager : public BaseObject {
    QUOVEL_TYPE(ResourceManager)
public:
    enum class Queue { URGENT, BACKGROUND };

    // Holds the data lock for its scope. The resources hold it while they publish a load, and
    // findTyped while it finds a resource and takes its reference on the loaded object; parts
    // above look resources up through findTyped (ResourceLookup.h), never with a lock of their
    // own.
    class DataLock {
    public:
        DataLock();
        ~DataLock();
        DataLock(const DataLock&) = delete;
        DataLock& operator=(const DataLock&) = delete;
    };

    // Makes the global instance unless it exists and starts its loader thread, which waits
    // until setReady.
    static ResourceManager* createInstance();
    static ResourceManager* getInstance();
    // Shut-down: stops the loader after the resource it is loading, joins it, then releases the
    // global instance.
    static void stopLoader();
    // Waits for the loader pass under way to end and keeps the next one from starting while
    // the lock is held (an unheld lock without a manager). Main thread only, never under the
    // data lock.
    static std::unique_lock<std::mutex> holdLoaderPass();

    ~ResourceManager() override;

    // Adds a section for every section node under "Sections" of the property file; false when
    // the file cannot be read.
    bool loadSectionList(const std::string& fileName);
    // Lets the loader start (once the section list is read).
    void setReady();
    bool isReady();
    // Stores the section under its name, replacing any of that name; an "auto" section with
    // unloaded resources is queued for background loading.
    void addSection(ResourceSection* section);
    // The section of that name, or null.
    ResourceSection* getSection(const std::string& name);
    // Queues the section for loading now and counts its weights once. True while the section
    // is not fully loaded; false when it is (nothing changes then) or does not exist.
    bool requestSectionLoad(const std::string& name);
    // Drops the queue's fully loaded sections (counting their weights as finished when
    // `countFinished` is set) and gives the first section left, or null.
    ResourceSection* nextPendingSection(Queue queue, bool countFinished);
    // Empties the urgent queue and resets both counters.
    void clearQueue();
    // Share of the requested weights loaded so far, 1.0 when nothing was requested.
    double getLoadProgress();
    int32_t getTotalUnits();
    int32_t getFinishedUnits();
    std::vector<std::string> getQueue(Queue queue);
    // Unloads every resource of the section; a load under way has its result dropped.
    void unloadSection(const std::string& name);
    // Unloads the section's loaded pictures that nothing but the section holds (no sprite, font
    // or other section has them): what a scene left behind looked up once and keeps no more.
    // What its widgets show stays, so requesting the section again decodes no second copy.
    // The number of pictures unloaded.
    int32_t releaseUnheldPictures(const std::string& name);
    // Takes the section out of both queues and the table, unloading it first when asked.
    void removeSection(const std::string& name, bool unload);
    // The resource's loaded object, loading it on the calling thread first when needed (or
    // waiting, without the data lock, for the loader's load of it); null for an unknown
    // section or key, or a resource that failed to load.
    BaseObject* getLoadedResourceHandle(const std::string& key, const std::string& sectionName);
    // The resource's loaded object, null while it is not loaded; never loads.
    BaseObject* getResourceHandle(const std::string& key, const std::string& sectionName);
    // The resource's loaded object as a T (loading it first with `load`, as
    // getLoadedResourceHandle, else as getResourceHandle), referenced before the data lock is
    // released, so the loader can no longer free it. Null for an unknown key (reported as
    // missing content), a resource not loaded, or an object of another type (logged).
    template <class T>
    RefHolder<T> findTyped(const std::string& key, const std::string& sectionName, bool load) {
        DataLock lock;
        return RefHolder<T>(static_cast<T*>(checkedHandle(key, sectionName, &T::typeRecord, load)));
    }
    // Waits, sleeping `pollMs` on `clock` between looks, until no urgent section is left to
    // load, for at most `limitMs`; true when all loaded in time. Each section still queued
    // after the limit is named on stderr.
    bool waitForUrgentSections(Clock& clock, uint32_t limitMs, uint32_t pollMs);
    // The same on the clock and limit the application gave at start-up; true at once when none
    // was given.
    bool waitForUrgentSections(uint32_t pollMs);
    // The clock and limit of every later wait of one argument; null takes them back.
    static void setUrgentWait(Clock* clock, uint32_t limitMs);
    // Wakes the loader, then whether the section list is read and no urgent section is left
    // to load (loaded sections leave the urgent queue, their weights counted as finished).
    bool urgentSectionsLoaded();
    // Key and file name of every resource of the section that failed to load.
    std::vector<std::pair<std::string, std::string>> failedResources(const std::string& name);
    // The first resource of any section that isSameAs `resource`, or null.
    ResourceObject* findSameResource(const ResourceObject* resource);
    // Tells the loader there may be work.
    void resumeLoader();
    // False from the moment stopLoader asks the loader to end (a load under way still ends).
    bool isLoaderRunning() const { return running; }
    // The loader's passes so far, each of which loaded one resource or found none to load: a
    // clock that stands in for real time lets the loader end one before the time goes on.
    uint64_t getPassCount() const { return passCount; }

private:
    ResourceManager();
    void startLoader();
    // Stops the loader after the resource it is loading and joins it.
    void endLoader();
    void loaderMain();
    // One loader pass: true when a resource was loaded.
    bool runPass();
    ResourceObject* findResource(const std::string& key, const std::string& sectionName);
    // Under the data lock: the handle when it is a `type`, else null.
    BaseObject* checkedHandle(const std::string& key, const std::string& sectionName,
                              const TypeRecord* type, bool load);
    std::vector<std::string>& queueOf(Queue queue);

    std::map<std::string, RefHolder<ResourceSection>> sections;
    std::vector<std::string> urgent;
    std::vector<std::string> background;
    std::atomic<bool> running{true};
    std::atomic<uint64_t> passCount{0};
    int32_t totalUnits = 0;
    int32_t finishedUnits = 0;
    std::thread thread;
    std::mutex loaderMutex;

    // The loader's sleep: wakeMutex guards ready and pendingWork.
    std::mutex wakeMutex;
    std::condition_variable wakeSignal;
    bool ready = false;
    bool pendingWork = false;

    // Signalled, under the data lock, when the loader finishes a load.
    std::condition_variable_any loadFinished;
};
