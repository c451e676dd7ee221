// The process's resident memory along a player's route through the real program, driven as the
// roads drive it (tests/e2e), with the music played by the real mixer on SDL's dummy audio
// driver so that the decoded track counts. Two routes, each walked three times in one process:
//  - a first run: name, the host's hints, lobby, lift, hallway, level 1, its end, the hallway,
//    the casino, the rec room, the roof and back to the lobby (the later laps from the lobby);
//  - a returning player (quovel-idle-player's, hints off): lobby, lift, floor 18, door 5 (the
//    144-tile level), back to the hallway and down to the lobby.
// Every walk runs in a child process of its own (a program run leaves process-wide state
// behind it); the parent walks each route five times and prints every step's median, minimum
// and maximum beside the goal, and the start-up bench's figure inside a level for comparison.
// Also the time from a door click to the level shown, in the program's own (simulated) time.
// Usage: quovel-route-bench [benchmark flags]; quovel-route-bench --walk=first|returning walks
// once and prints "STEP <lap> <name> <MiB>" lines (a failed check of the road on stderr, and the
// walk then ends non-zero); with --stop-at=<lap>:<name> it ends at once after that step, so that
// a heap profiler (heaptrack) lists what the step holds as leaked.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/BenchSize.h"
#include "framework/os/SdlAudioMixer.h"
#include "framework/platform/Image.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/ResourceObject.h"
#include "framework/platform/ResourceSection.h"
#include "game/app/ProgramStart.h"
#include "game/screen/SceneQuovelMahjong.h"
#include "testsupport/PeakMemory.h"
#include "testsupport/e2e/RoadDriver.h"
#include "testsupport/e2e/RoadSteps.h"

namespace {

constexpr double RSS_GOAL_MIB = 90;
const int RUNS = static_cast<int>(benchCount(5));
// Laps of each route in one run: the first builds the scenes it meets, the later ones show
// whether anything grows.
const int LAPS = static_cast<int>(benchCount(3));
// The real time the music is given to decode before a step's figure is read.
const auto DECODE_TIME = std::chrono::milliseconds(benchCount(1200, 100));
// The returning player's level: the hallway's 144-tile Triple.
constexpr int32_t LARGEST_FLOOR = 18;
constexpr int32_t LARGEST_DOOR = 5;

double residentMiB() {
    return peakmemory::statusMegabytes("VmRSS:");
}

// The three largest anonymous mappings by resident size (heaps, mapped blocks, thread arenas).
void printLargestMappings(int lap, const std::string& step) {
    std::ifstream maps("/proc/self/smaps");
    std::vector<std::pair<double, std::string>> found;
    std::string line;
    std::string range;
    bool anonymous = false;
    while (std::getline(maps, line)) {
        if (!line.empty() && std::isxdigit(static_cast<unsigned char>(line[0])) &&
            line.find('-') != std::string::npos && line.find(':') > line.find(' ')) {
            range = line.substr(0, line.find(' '));
            // An anonymous mapping names no file; the main heap is named [heap].
            anonymous =
                line.find('/') == std::string::npos &&
                (line.find('[') == std::string::npos || line.find("[heap]") != std::string::npos);
        } else if (anonymous && line.rfind("Rss:", 0) == 0) {
            found.emplace_back(std::atof(line.c_str() + 4) / 1024.0, range);
        }
    }
    std::sort(found.rbegin(), found.rend());
    for (size_t k = 0; k < found.size() && k < 3; ++k) {
        std::printf("MAP %d %s %s %.2f MiB\n", lap, step.c_str(), found[k].second.c_str(),
                    found[k].first);
    }
}

bool loaderIdle() {
    ResourceManager* resources = ResourceManager::getInstance();
    return !resources ||
           (!resources->nextPendingSection(ResourceManager::Queue::URGENT, false) &&
            !resources->nextPendingSection(ResourceManager::Queue::BACKGROUND, false));
}

int64_t imageBytes(const Image* image) {
    const int32_t depth = image->getBytesPerPixel();
    const int64_t alpha =
        depth == 4 ? 0 : Image::bufferBytes(image->getWidth(), image->getHeight(), 1);
    return (depth == 1 ? 0 : Image::bufferBytes(image->getWidth(), image->getHeight(), depth)) +
           alpha;
}

// The decoded pictures each loaded section holds, each picture counted once (in the first
// section that has it), and the part of them that no scene or dialog holds besides.
void printSectionHolders(int lap, const std::string& step) {
    ResourceManager* resources = ResourceManager::getInstance();
    if (!resources) {
        return;
    }
    ResourceManager::DataLock lock;
    std::set<const Image*> seen;
    for (const char* name :
         {"splash", "preloading", "default", "lobby", "trophy", "elevator", "hallway", "casino",
          "casrecroof", "recroom", "roof", "game", "manual"}) {
        ResourceSection* section = resources->getSection(name);
        if (!section) {
            continue;
        }
        int64_t held = 0;
        int64_t sectionOnly = 0;
        for (const auto& [key, resource] : section->getResources()) {
            auto* image = objectCast<Image>(resource->isLoaded() ? resource->getData() : nullptr);
            if (!image || !seen.insert(image).second) {
                continue;
            }
            held += imageBytes(image);
            // The section's resource holds one reference; a sprite or a font another.
            if (image->getRefCount() <= 1) {
                sectionOnly += imageBytes(image);
            }
        }
        if (held > 0) {
            std::printf("HOLD %d %s %s %.2f MiB (%.2f MiB held by nothing else)\n", lap,
                        step.c_str(), name, held / 1048576.0, sectionOnly / 1048576.0);
        }
    }
}

// One walk: the figures it prints are read by the parent.
struct Walk {
    RoadDriver& road;
    std::string stopAt;
    int lap = 1;

    // The step's figure once its sections are in and the music had its real time to decode.
    void measure(const std::string& step) {
        road.run(1500);
        road.waitFor(loaderIdle, "the loader to finish at " + step, 60000);
        std::this_thread::sleep_for(DECODE_TIME);
        printSectionHolders(lap, step);
        printLargestMappings(lap, step);
        std::printf("STEP %d %s %.2f\n", lap, step.c_str(), residentMiB());
        std::fflush(stdout);
        // Ended here, a heap profiler reports what the step holds as never freed.
        if (stopAt == std::to_string(lap) + ":" + step) {
            std::_Exit(0);
        }
    }

    // The host's words and the tutorial's hints, read and closed.
    void readHints() {
        for (int turn = 0; turn < 3; ++turn) {
            road.run(800);
            dismissHostHint(road);
            dismissTutorialHint(road);
        }
    }

    // From a room with a lift button to the lift's stop `button`.
    bool viaLift(const std::string& button, const std::string& sceneName) {
        readHints();
        if (!road.click("BUTTON_ELEVATOR") || !road.waitForScene("SCENE_ELEVATOR")) {
            return false;
        }
        auto* stop = objectCast<Button>(road.find(button));
        if (!road.waitFor([&] { return stop && stop->isEnabled(); }, button, 30000)) {
            return false;
        }
        road.run(300);
        if (!road.click(button) || !road.waitForScene(sceneName, 30000)) {
            return false;
        }
        readHints();
        return true;
    }

    // A hallway door clicked; the simulated time until the level is shown is printed.
    bool door(int32_t number) {
        auto* hallway = objectCast<SceneHallway>(road.scene());
        Button* knob = hallway ? hallway->getDoor(number) : nullptr;
        if (!knob) {
            return false;
        }
        const uint32_t clicked = road.now();
        road.clickAt(knob->getAbsoluteX() + knob->getWidth() / 2,
                     knob->getAbsoluteY() + knob->getHeight() / 2);
        // A stopped level's saved game is declined.
        for (const uint32_t asked = road.now(); road.now() - asked < 500 && road.step();) {
            if (road.dialog(SceneQuovelMahjong::SAVED_GAME_QUESTION_KEY)) {
                road.clickIn(SceneQuovelMahjong::SAVED_GAME_QUESTION_KEY, "BUTTON_NO");
                break;
            }
        }
        if (!road.waitForScene("SCENE_GAME", 30000)) {
            return false;
        }
        std::printf("DOOR %d %u\n", lap, road.now() - clicked);
        return waitUntilPlaying(road);
    }

    // Measures the step once the player got there; false (and no figure) when the road failed.
    bool reached(bool arrived, const std::string& step) {
        if (arrived) {
            measure(step);
        }
        return arrived;
    }

    bool firstRunLap() {
        return reached(rideToFloorOne(road), "hallway") && reached(door(1), "level-1") &&
               reached(clearBoardByClicks(road) && road.waitForDialog("DIALOG_LEVEL_END"),
                       "level-end") &&
               reached(continueFromLevelEnd(road, "SCENE_HALLWAY") && (readHints(), true),
                       "hallway-again") &&
               reached(viaLift("BUTTON_CASINO", "SCENE_CASINO"), "casino") &&
               reached(viaLift("BUTTON_RECROOM", "SCENE_RECROOM"), "recroom") &&
               reached(viaLift("BUTTON_ROOF", "SCENE_ROOF"), "roof") &&
               reached(viaLift("BUTTON_LOBBY", "SCENE_LOBBY"), "lobby-again");
    }

    bool firstRun() {
        if (!reachLobby(road)) {
            return false;
        }
        measure("name-input");
        if (!enterFirstName(road, L"Ann") || !road.waitForDialog("DIALOG_DORRICK_HINT")) {
            return false;
        }
        measure("host-hints");
        dismissHostHint(road);
        measure("lobby");
        openTheRooms();
        for (lap = 1; lap <= LAPS; ++lap) {
            if (!firstRunLap()) {
                return false;
            }
        }
        return true;
    }

    bool returningLap() {
        return reached(rideToFloor(road, LARGEST_FLOOR), "hallway-18") &&
               reached(door(LARGEST_DOOR), "floor-18-door-5") &&
               reached(stopFromMenu(road, "SCENE_HALLWAY"), "hallway-18-again") &&
               reached(viaLift("BUTTON_LOBBY", "SCENE_LOBBY"), "lobby-again");
    }

    bool returning() {
        if (!reachLobby(road)) {
            return false;
        }
        measure("lobby");
        for (lap = 1; lap <= LAPS; ++lap) {
            if (!returningLap()) {
                return false;
            }
        }
        return true;
    }
};

// A program this one runs, its output read line by line. It is killed when this process ends,
// however that ends (a signal's default action, a crash): no walk outlives the bench.
class ChildProgram {
public:
    ChildProgram(std::vector<std::string> words, bool dropErrors) {
        std::vector<char*> arguments;
        for (std::string& word : words) {
            arguments.push_back(word.data());
        }
        arguments.push_back(nullptr);
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        const pid_t parent = getpid();
        pid = fork();
        if (pid == 0) {
            // A parent that ended before the request sends no signal.
            if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent ||
                dup2(out[1], STDOUT_FILENO) < 0 ||
                (dropErrors && dup2(open("/dev/null", O_WRONLY), STDERR_FILENO) < 0)) {
                _exit(127);
            }
            execv(arguments[0], arguments.data());
            _exit(127);
        }
        close(out[1]);
        output = pid > 0 ? fdopen(out[0], "r") : (close(out[0]), nullptr);
    }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;
    ~ChildProgram() { succeeded(); }

    bool readLine(char* line, int size) { return output && std::fgets(line, size, output); }

    // Waits for the program's end: whether it ended with status 0.
    bool succeeded() {
        if (output) {
            std::fclose(output);
            output = nullptr;
        }
        while (pid > 0 && waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        pid = 0;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

private:
    pid_t pid = -1;
    FILE* output = nullptr;
    int status = -1;
};

// Set by a failed check of the road, on whichever thread it failed.
std::atomic<bool> roadFailed{false};

int walk(const std::string& route, const std::string& stopAt) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    RoadDriver road("route-" + route);
    road.mixer = std::make_shared<SdlAudioMixer>();
    if (route == "returning") {
        // The player is saved by the helper into the road's own data folder.
        if (!ChildProgram({QUOVEL_IDLE_PLAYER, std::to_string(LARGEST_FLOOR + 1)}, false)
                 .succeeded()) {
            return 1;
        }
    }
    Walk walking{road, stopAt};
    const bool done = route == "first" ? walking.firstRun() : walking.returning();
    road.finish();
    return done ? 0 : 1;
}

struct StepFigures {
    std::vector<double> mib;
};

// The lines a child prints, run `RUNS` times: figures by "<lap> <step>" in the walk's order.
bool walkTimes(const std::string& route, std::vector<std::string>& order,
               std::map<std::string, StepFigures>& steps, std::vector<double>& doorMs) {
    for (int run = 0; run < RUNS; ++run) {
        ChildProgram child({"/proc/self/exe", "--walk=" + route}, true);
        char line[512];
        while (child.readLine(line, sizeof line)) {
            int lap = 0;
            char name[128] = {};
            double value = 0;
            if (std::sscanf(line, "STEP %d %127s %lf", &lap, name, &value) == 3) {
                const std::string key = std::to_string(lap) + " " + name;
                if (std::find(order.begin(), order.end(), key) == order.end()) {
                    order.push_back(key);
                }
                steps[key].mib.push_back(value);
            } else if (std::sscanf(line, "DOOR %d %lf", &lap, &value) == 2) {
                doorMs.push_back(value);
            }
        }
        if (!child.succeeded()) {
            std::fprintf(stderr, "walk %d of the %s route failed\n", run + 1, route.c_str());
            return false;
        }
    }
    return true;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? -1 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The start-up bench's resident memory inside its level, from one run of it.
double startupBenchInLevel() {
    ChildProgram child(
        {QUOVEL_STARTUP_BENCH, "--benchmark_filter=StartUp", "--benchmark_format=json"}, true);
    double figure = -1;
    char line[512];
    while (child.readLine(line, sizeof line)) {
        if (const char* at = std::strstr(line, "\"rss_in_level_MiB\":")) {
            figure = std::atof(at + std::strlen("\"rss_in_level_MiB\":"));
        }
    }
    return figure;
}

void BM_RouteMemory(benchmark::State& state, const std::string& route) {
    for (auto _ : state) {
        std::vector<std::string> order;
        std::map<std::string, StepFigures> steps;
        std::vector<double> doorMs;
        if (!walkTimes(route, order, steps, doorMs)) {
            state.SkipWithError("a walk failed");
            return;
        }
        // One run of the start-up bench serves both routes.
        static const double startup = startupBenchInLevel();
        std::printf("\n%s route, resident memory (MiB), median of %d runs [min, max], goal %.0f\n",
                    route.c_str(), RUNS, RSS_GOAL_MIB);
        double highest = 0;
        for (const std::string& key : order) {
            const std::vector<double>& mib = steps[key].mib;
            const double mid = median(mib);
            highest = std::max(highest, *std::max_element(mib.begin(), mib.end()));
            std::printf("  lap %-24s %7.1f  [%6.1f, %6.1f]  goal %.0f %s\n", key.c_str(), mid,
                        *std::min_element(mib.begin(), mib.end()),
                        *std::max_element(mib.begin(), mib.end()), RSS_GOAL_MIB,
                        mid <= RSS_GOAL_MIB ? "ok" : "OVER");
        }
        std::printf("  start-up bench inside its 144-tile level: %.1f MiB\n", startup);
        std::printf("  door click to the level shown: median %.0f ms of game time\n\n",
                    median(doorMs));
        state.counters["highest_MiB"] = highest;
        state.counters["goal_MiB"] = RSS_GOAL_MIB;
        state.counters["startup_bench_in_level_MiB"] = startup;
        state.counters["door_to_level_ms"] = median(doorMs);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // A signal ends the bench at once, and its walks with it.
    if (const int boxShown = startGameProgram(argc, argv, terminationSignals::Ending::END_PROCESS);
        boxShown >= 0) {
        return boxShown;
    }
    if (argc >= 2 && std::strncmp(argv[1], "--walk=", 7) == 0) {
        const bool stops = argc == 3 && std::strncmp(argv[2], "--stop-at=", 10) == 0;
        RoadCheck::report.install([](const char* file, int line, const std::string& message) {
            std::fprintf(stderr, "%s:%d: %s\n", file, line, message.c_str());
            roadFailed = true;
        });
        const int code = walk(argv[1] + 7, stops ? argv[2] + 10 : "");
        return roadFailed ? 1 : code;
    }
    benchmark::RegisterBenchmark("BM_RouteMemory/first_run", BM_RouteMemory, "first")
        ->Iterations(1)
        ->Unit(benchmark::kSecond);
    benchmark::RegisterBenchmark("BM_RouteMemory/returning_player", BM_RouteMemory, "returning")
        ->Iterations(1)
        ->Unit(benchmark::kSecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
