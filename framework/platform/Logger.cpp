#include "framework/platform/Logger.h"

#include <cstdio>

#include "framework/os/Clock.h"
#include "framework/platform/Folders.h"
#include "framework/platform/RegistryValue.h"

Logger& Logger::instance() {
    static Logger logger;
    return logger;
}

std::string logFileNameFor(const UtcTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d-%02d-%02d.log", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

void Logger::makeFileName(Clock& clock) {
    const std::string folder = getTempFolder() + "/log";
    createFolderTree(folder);
    const std::string name = folder + "/" + logFileNameFor(clock.utcTime());
    std::lock_guard<std::mutex> lock(mutex);
    fileName = name;
}

void Logger::registerGameLogFile(Clock& clock) {
    registerLogFile(getGameRegistryPath(), clock);
}

void Logger::registerLogFile(const std::string& registryPath, Clock& clock) {
    makeFileName(clock);
    RegistryStringValue value(registryPath + "\\bvq\\cdgfilename", false, std::string());
    value.write(getFileName());
}

std::string Logger::getFileName() const {
    std::lock_guard<std::mutex> lock(mutex);
    return fileName;
}
