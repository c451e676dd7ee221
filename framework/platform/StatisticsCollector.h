#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/PropertyNode.h"
#include "framework/core/RefHolder.h"
#include "framework/os/SystemInfo.h"

class Clock;
class PropertyStore;

// One stretch of play from the lobby (or the first game event) to the exit. Times are seconds
// since 1970 held in 64 bits, so they stay right past 2038; the file shows them as the same
// decimal text.
struct PlayingSessionRecord {
    int64_t startTime = 0;
    int64_t endTime = 0;  // 0 while open
    int32_t gameMode = 0;
    int32_t numOfPlayers = 0;
    bool fullScreen = false;
    int32_t bitDepth = 0;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    // Event nodes handed in during the session, referenced for the run; never written.
    std::vector<RefHolder<PropertyNode>> events;
};

// Keeps the run's playing sessions, writes the system report at start-up and, at shut-down,
// the sessions and the total playing time. The statistics file is the temp folder's "gd.xml";
// the total and the file's path live in the game key's "bvq" key. Write failures are logged, not
// told (writeOwnRecords); a file there that cannot be read is kept aside (DamagedFile) before a
// fresh one replaces it.
class StatisticsCollector {
public:
    // Reads the total playing time so far and notes the clock's tick count. `clock` must live as
    // long as the collector.
    StatisticsCollector(std::string fileName, Clock& clock);

    // Records the file's path in the key store, then rewrites the file's "SystemInfo" with a
    // fresh report from `source` (gathered once; no timing loop, so it costs next to nothing).
    void writeSystemReport(SystemInfoSource& source);
    // Appends a session starting now and opens the record. Full screen and bit depth are the game
    // window's (windowed and 0 without one), the screen size that of the last report.
    void startPlayingSession(int32_t gameMode, int32_t numOfPlayers);
    // Appends the event to the newest session, holding a reference. With no open session the
    // event is dropped: callers reach this from scenes, whatever the record's state.
    void addSessionEvent(PropertyNode* event);
    // The exit of a normal run: stamps the newest session's end time and closes the record.
    // Does nothing when the record is closed.
    void closePlayingSession();
    // Adds the run's whole seconds to the stored total and appends every session to the file.
    void writeSessions();

    // True while no session is open (from creation to the first session, and after the exit).
    bool isClosed() const { return closed; }
    const std::string& getFileName() const { return fileName; }
    uint32_t getTotalAtStart() const { return totalAtStart; }
    const std::vector<PlayingSessionRecord>& getSessions() const { return sessions; }

private:
    // The file's tree in `store` and its "DataGathering" node, made afresh when the file is
    // missing, unreadable, or has no "DataGathering" node. An unreadable file is set aside
    // first; when it cannot be, the file is held and never written.
    PropertyNode* openDocument(RefHolder<PropertyStore>& store);
    void saveDocument(PropertyStore* store) const;

    bool closed = true;
    std::string fileName;
    uint32_t totalAtStart = 0;
    uint32_t startTick = 0;
    std::vector<PlayingSessionRecord> sessions;

    Clock& clock;
    // The file was found unreadable and could not be set aside: it is left as it is.
    bool fileHeld = false;
    // The screen of the last system report.
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
};

// The process's collector: made by initGameStatistics, gone after writeGameStatistics.
StatisticsCollector* getStatisticsCollector();
// The start-up step: makes the collector for the temp folder's "gd.xml" and writes the system
// report. `clock` must live until writeGameStatistics.
void initGameStatistics(Clock& clock, SystemInfoSource& source);
// The shut-down step: writes the total playing time and the sessions, then destroys the
// collector. Does nothing when there is none.
void writeGameStatistics();

// The collector's operations as the game's scenes and events call them; a null collector does
// nothing.
void startPlayingSession(StatisticsCollector* collector, int32_t gameMode, int32_t numOfPlayers);
void addSessionEvent(StatisticsCollector* collector, PropertyNode* event);
