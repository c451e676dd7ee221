// Saving and loading 100 player profiles with full records through the player manager, as the
// game stores them (scrambled, one file each, written atomically), next to a plain read of the
// same stored bytes. The counter "per_profile" is the wall time of one profile. Last, a player
// list of 40,000 names read whole, with the resident memory it took ("peak_MB").
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSize.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/RefHolder.h"
#include "framework/os/FileSystem.h"
#include "framework/platform/Folders.h"
#include "framework/platform/PlayerManager.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/TuningConstants.h"
#include "testsupport/PeakMemory.h"
#include "testsupport/TempFolder.h"

namespace {

const int PROFILE_COUNT = static_cast<int>(benchCount(100, 10));
// Layouts played per game type in the rec room.
constexpr int REC_ROOM_LAYOUTS = 24;

// Every record played, every counter and trophy set.
void fillProfile(QuovelMahjongPlayer& player, int seed) {
    QuovelMahjongStats& stats = player.getStats();
    int value = seed * 1000;
    for (RoomRecord& room : stats.rooms) {
        room = {value + 48213, 95000 + value % 777, 3, static_cast<GameType>(value % 6), 2};
        ++value;
    }
    for (CasinoRecord& casino : stats.casino) {
        casino = {value * 31, 12, 40, 8, 8, 8, 8, 8};
        ++value;
    }
    for (std::vector<RecRoomRecord>& layouts : stats.recRoom) {
        layouts.assign(REC_ROOM_LAYOUTS, RecRoomRecord{61000 + value, 5, 4});
    }
    for (RooftopRecord& roof : stats.rooftop) {
        roof = {value * 17, 9, 30};
    }
    stats.firstDoorClicked.fill(3);
    stats.numMatches = 123456 + seed;
    stats.quovelRecord = 987654;
    player.floorReached = 21;
    player.unlockedStuff.fill(2);
    player.modesUnlocked.fill(2);
    for (const auto& trophy : player.getTrophies().trophies) {
        trophy->state = Trophy::SEEN;
    }
}

// A game folder in a temporary folder holding 100 saved profiles, with the game's trophy
// definitions in the current folder.
struct ProfileFiles {
    ProfileFiles() : inside(folder.path) {
        writeTestFile(
            folder.path / TrophyList::DEFINITION_FILE,
            readTestFile(std::string(QUOVEL_SOURCE_DIR) + "/" + TrophyList::DEFINITION_FILE));
        setenv("XDG_DATA_HOME", folder.str().c_str(), 1);
        resetFolderCache();
        setGameName("Quovel Profile Bench");
        BasicProperties::createInstance();
        BasicProperties::instance()->setInteger("MAX_NUM_SHUFFLES", 5);
        BasicProperties::instance()->setInteger("MAX_NUM_HINTS", 9);
        loadTuningConstants();
        manager = new PlayerManager("1", true);
        for (int i = 0; i < PROFILE_COUNT; ++i) {
            auto* player = new QuovelMahjongPlayer("Player " + std::to_string(i));
            fillProfile(*player, i);
            manager->addPlayer(player);
            manager->savePlayer(player);
            names.push_back(player->getName());
            paths.push_back(getStoredFileName(3, manager->getPlayerFilePath(player->getName())));
        }
    }

    TempFolder folder;
    CurrentFolderScope inside;
    RefHolder<PlayerManager> manager;
    std::vector<std::string> names;
    std::vector<std::string> paths;
};

ProfileFiles& files() {
    static ProfileFiles made;
    return made;
}

void perProfile(benchmark::State& state) {
    state.counters["per_profile"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * PROFILE_COUNT,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_SaveProfiles(benchmark::State& state) {
    ProfileFiles& f = files();
    for (auto _ : state) {
        for (const auto& player : f.manager->getPlayers()) {
            benchmark::DoNotOptimize(f.manager->savePlayer(player.get()));
        }
    }
    perProfile(state);
}
BENCHMARK(BM_SaveProfiles)->Unit(benchmark::kMillisecond)->UseRealTime();

// A profile as the game makes it: built (reading the trophy definitions), then loaded.
void BM_LoadProfiles(benchmark::State& state) {
    ProfileFiles& f = files();
    for (auto _ : state) {
        for (const std::string& name : f.names) {
            RefHolder<QuovelMahjongPlayer> player(new QuovelMahjongPlayer(name));
            benchmark::DoNotOptimize(f.manager->loadPlayer(player.get()));
        }
    }
    perProfile(state);
}
BENCHMARK(BM_LoadProfiles)->Unit(benchmark::kMillisecond)->UseRealTime();

// The profile's own reading, without building the profile and its trophy list.
void BM_LoadIntoBuiltProfiles(benchmark::State& state) {
    ProfileFiles& f = files();
    for (auto _ : state) {
        for (const auto& player : f.manager->getPlayers()) {
            benchmark::DoNotOptimize(f.manager->loadPlayer(player.get()));
        }
    }
    perProfile(state);
}
BENCHMARK(BM_LoadIntoBuiltProfiles)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same stored files read as bytes, nothing more.
void BM_ReadProfileBytes(benchmark::State& state) {
    ProfileFiles& f = files();
    std::vector<uint8_t> bytes;
    int64_t total = 0;
    for (auto _ : state) {
        for (const std::string& path : f.paths) {
            FileSystem::current().readFile(path, 1 << 24, bytes);
            total += static_cast<int64_t>(bytes.size());
        }
    }
    state.SetBytesProcessed(total);
    perProfile(state);
}
BENCHMARK(BM_ReadProfileBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

// The list is read as the game starts: every name made into a profile (each reading the trophy
// definitions), then the current player's profile read.
void BM_LoadLongPlayerList(benchmark::State& state) {
    files();  // the game folder and the trophy definitions
    const int count = static_cast<int>(state.range(0));
    {
        RefHolder<PlayerManager> writer(new PlayerManager("1", true));
        for (int i = 0; i < count; ++i) {
            writer->addPlayer(new QuovelMahjongPlayer("Listed " + std::to_string(i)));
        }
        writer->savePlayers();
    }
    auto load = [] {
        RefHolder<PlayerManager> reader(new PlayerManager("1", true));
        reader->loadPlayers();
        return reader->getPlayers().size();
    };
    size_t loaded = 0;
    for (auto _ : state) {
        loaded = load();
        benchmark::DoNotOptimize(loaded);
    }
    state.counters["players"] = static_cast<double>(loaded);
    state.counters["peak_MB"] = peakmemory::peakMegabytes(load);
}
BENCHMARK(BM_LoadLongPlayerList)
    ->Arg(benchCount(40000, 1000))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
