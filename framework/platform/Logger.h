#pragma once

#include <mutex>
#include <string>

class Clock;
struct UtcTime;

// Names the run's dated log file in the temp folder's "log" folder and records the name in the
// settings store ("cdgfilename" under the game key's "bvq"). Only the folder is made: nothing
// is ever written to the file. One logger exists per process.
class Logger {
public:
    // The logger, made on the first call.
    static Logger& instance();

    // Makes the folder "log" in the temp folder (failure ignored) and names the file in it by
    // the clock's UTC date and time: "2007-03-05 14-03-09.log".
    void makeFileName(Clock& clock);
    // The start-up entry: registerLogFile with the game's key.
    void registerGameLogFile(Clock& clock);
    // makeFileName, then the name is stored as the text "cdgfilename" under `registryPath`
    // + "\bvq" (failure ignored).
    void registerLogFile(const std::string& registryPath, Clock& clock);

    // Empty until makeFileName ran.
    std::string getFileName() const;

private:
    Logger() = default;

    // Stands for the logging mutex named after the game; it guards the name.
    mutable std::mutex mutex;
    std::string fileName;
};

// The log file's own name for a time: date and time with "-" between their fields.
std::string logFileNameFor(const UtcTime& time);
