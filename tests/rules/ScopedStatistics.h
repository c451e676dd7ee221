#pragma once

#include <string>
#include <vector>

#include "framework/core/PropertyNode.h"
#include "framework/os/FileKeyStore.h"
#include "framework/platform/Folders.h"
#include "framework/platform/StatisticsCollector.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/TempFolder.h"
#include "testsupport/os/FakeClock.h"
#include "testsupport/os/FakeSystemInfoSource.h"

namespace game_test {

// The process's statistics collector for one test, with the data root and the key store in a
// temporary folder, a fake clock and a fake machine. The collector is written and gone at the
// end, and the old data root is back.
class ScopedStatistics {
public:
    ScopedStatistics() {
        KeyStore::setCurrentUser(&keys);
        clock.setUnixBase(1'300'000'000);
        start();
    }
    ~ScopedStatistics() {
        writeGameStatistics();
        KeyStore::setCurrentUser(nullptr);
    }
    ScopedStatistics(const ScopedStatistics&) = delete;
    ScopedStatistics& operator=(const ScopedStatistics&) = delete;

    // A fresh collector, as at start-up (closed, no sessions).
    void start() { initGameStatistics(clock, machine); }
    // The shut-down: the collector is written and gone.
    void stop() { writeGameStatistics(); }

    StatisticsCollector* collector() const { return getStatisticsCollector(); }
    // Every event the collector holds, session by session; none without a collector.
    std::vector<PropertyNode*> events() const {
        std::vector<PropertyNode*> all;
        if (collector() != nullptr) {
            for (const PlayingSessionRecord& session : collector()->getSessions()) {
                for (const RefHolder<PropertyNode>& event : session.events) {
                    all.push_back(event.get());
                }
            }
        }
        return all;
    }

    TempFolder folder;
    FileKeyStore keys{folder / "config"};
    FakeClock clock;
    FakeSystemInfoSource machine;

private:
    DataFolderScope dataFolder{folder / "data", "Quovel Statistics Test"};
};

}  // namespace game_test
