#include "framework/platform/StatisticsCollector.h"

#include <memory>
#include <utility>

#include "framework/core/BasicProperties.h"
#include "framework/core/FileSourceMode.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/os/Clock.h"
#include "framework/platform/DamagedFile.h"
#include "framework/platform/Folders.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/RegistryValue.h"
#include "framework/platform/SystemReport.h"

namespace {

std::unique_ptr<StatisticsCollector>& processCollector() {
    static std::unique_ptr<StatisticsCollector> collector;
    return collector;
}

std::string bvqValuePath(const char* name) {
    return getGameRegistryPath() + "\\bvq\\" + name;
}

PropertyNode* makeSessionNode(const PlayingSessionRecord& session) {
    auto* node = new PropertyNode("", "PlayingSession");
    node->addChild(new PropertyValue("StartTime", static_cast<long>(session.startTime), true));
    node->addChild(new PropertyValue("EndTime", static_cast<long>(session.endTime), true));
    node->addChild(new PropertyValue("GameMode", session.gameMode, true));
    node->addChild(new PropertyValue("NumOfPlayers", session.numOfPlayers, true));
    node->addBool("FullScreen", session.fullScreen, true);
    node->addChild(new PropertyValue("BitDepth", session.bitDepth, true));
    node->addChild(new PropertyValue("ScreenWidth", session.screenWidth, true));
    node->addChild(new PropertyValue("ScreenHeight", session.screenHeight, true));
    // The session's events stay in memory: they would make the file grow by tens of kilobytes
    // a session.
    return node;
}

}  // namespace

StatisticsCollector::StatisticsCollector(std::string fileName, Clock& clock)
    : fileName(std::move(fileName)), clock(clock) {
    RegistryValue total(bvqValuePath("totalplayingtime"), false);
    totalAtStart = total.readDword();
    startTick = clock.tickCount();
}

PropertyNode* StatisticsCollector::openDocument(RefHolder<PropertyStore>& store) {
    store = new PropertyStore();
    const bool loaded = store->loadFile(fileName);
    if (!loaded) {
        // A file there that does not load (damaged, empty, too large, no plain file) is kept
        // beside itself and told; one that cannot be moved is never saved over.
        fileHeld = !setAsideUnloadableFile(FileSource::PROCESS_WIDE, fileName,
                                           {StoredFileKind::STATISTICS, {}, false});
    }
    AbstractProperty* existing = store->getChild("DataGathering");
    if (existing && existing->isNode()) {
        auto* root = static_cast<PropertyNode*>(existing);
        // Sessions of earlier versions carried their events: the sessions stay, the events go.
        PropertyVector* list = root->getChildVector("PlayingSessions");
        for (int32_t i = 0; i < list->getChildCount(); ++i) {
            if (auto* session = objectCast<PropertyNode>(list->getChildAt(i))) {
                session->removeChild("Events");
            }
        }
        return root;
    }
    // A file without a usable "DataGathering" is started afresh, so it is written whole again.
    if (loaded) {
        store = new PropertyStore();
    }
    return static_cast<PropertyNode*>(
        store->addChild(new PropertyNode("DataGathering", "DataGathering")));
}

void StatisticsCollector::saveDocument(PropertyStore* store) const {
    if (fileHeld) {
        return;
    }
    store->setSaveFileName(fileName);
    writeOwnRecords(fileName, [store] { return store->save(); });
}

void StatisticsCollector::writeSystemReport(SystemInfoSource& source) {
    RegistryStringValue path(bvqValuePath("dgfilename"), false, std::string());
    path.write(fileName);

    RefHolder<PropertyStore> store;
    PropertyNode* root = openDocument(store);
    const SystemInfo info = source.gather();
    screenWidth = info.screenWidth;
    screenHeight = info.screenHeight;
    root->addChild(makeSystemInfoNode(info, BasicProperties::getGameId()));
    saveDocument(store.get());
}

void StatisticsCollector::startPlayingSession(int32_t gameMode, int32_t numOfPlayers) {
    PlayingSessionRecord session;
    session.startTime = clock.unixSeconds();
    session.gameMode = gameMode;
    session.numOfPlayers = numOfPlayers;
    if (const GameWindow* window = GameWindow::getInstance()) {
        session.fullScreen = window->isFullScreen();
        session.bitDepth = window->getBytesPerPixel() * 8;
    }
    session.screenWidth = screenWidth;
    session.screenHeight = screenHeight;
    sessions.push_back(std::move(session));
    closed = false;
}

void StatisticsCollector::addSessionEvent(PropertyNode* event) {
    if (closed || sessions.empty() || !event) {
        return;
    }
    sessions.back().events.emplace_back(event);
}

void StatisticsCollector::closePlayingSession() {
    if (closed || sessions.empty()) {
        return;
    }
    sessions.back().endTime = clock.unixSeconds();
    closed = true;
}

void StatisticsCollector::writeSessions() {
    // Unsigned arithmetic: the tick count may have wrapped since the start.
    const uint32_t runSeconds = (clock.tickCount() - startTick) / 1000;
    RegistryValue total(bvqValuePath("totalplayingtime"), false);
    total.writeDword(totalAtStart + runSeconds);
    if (fileHeld) {
        return;
    }

    RefHolder<PropertyStore> store;
    PropertyNode* root = openDocument(store);
    AbstractProperty* existing = root->getChild("PlayingSessions");
    PropertyVector* list = nullptr;
    if (existing && existing->isVector()) {
        list = static_cast<PropertyVector*>(existing);
    } else {
        // Missing, or of another kind that could hold no sessions: a new list takes its place.
        list = static_cast<PropertyVector*>(root->addChild(new PropertyVector("PlayingSessions")));
    }
    for (const PlayingSessionRecord& session : sessions) {
        list->addChild(makeSessionNode(session));
    }
    saveDocument(store.get());
}

StatisticsCollector* getStatisticsCollector() {
    return processCollector().get();
}

void initGameStatistics(Clock& clock, SystemInfoSource& source) {
    auto collector = std::make_unique<StatisticsCollector>(getTempFolder() + "/gd.xml", clock);
    collector->writeSystemReport(source);
    processCollector() = std::move(collector);
}

void writeGameStatistics() {
    std::unique_ptr<StatisticsCollector> collector = std::move(processCollector());
    if (collector) {
        collector->writeSessions();
    }
}

void startPlayingSession(StatisticsCollector* collector, int32_t gameMode, int32_t numOfPlayers) {
    if (collector) {
        collector->startPlayingSession(gameMode, numOfPlayers);
    }
}

void addSessionEvent(StatisticsCollector* collector, PropertyNode* event) {
    if (collector) {
        collector->addSessionEvent(event);
    }
}
