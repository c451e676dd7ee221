#include "framework/core/ProblemLog.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <utility>

#include "framework/os/ProgramName.h"

namespace {

std::mutex& logMutex() {
    static std::mutex mutex;
    return mutex;
}

std::function<void(const std::string&)>& currentSink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

std::mutex& missingMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

void logProblem(const std::string& text) {
    std::lock_guard lock(logMutex());
    if (currentSink()) {
        currentSink()(text);
        return;
    }
    static const std::string prefix = programName() + ": ";
    std::fprintf(stderr, "%s%s\n", prefix.c_str(), text.c_str());
}

void setProblemSink(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(logMutex());
    currentSink() = std::move(sink);
}

void reportMissingContent(const std::string& kind, const std::string& key) {
    std::unique_lock lock(missingMutex());
    static std::set<std::string> reported;
    const std::string line = "no " + kind + " \"" + key + "\"";
    if (!reported.insert(line).second) {
        return;
    }
    lock.unlock();
    logProblem(line);
}

void reportMistake(const std::string& text) {
    logProblem("mistake: " + text);
    mistakeMade(text);
}

void reportEmptyHook(const MustBeFilled& hook) {
    reportMistake(std::string(hook.name) + " was called while empty: " + hook.filledBy +
                  " fills it");
}
