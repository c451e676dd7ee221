#pragma once

#include <map>
#include <string>

#include "framework/core/BaseObject.h"
#include "framework/core/FileSourceMode.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/HighScoreTable.h"

// The named high-score tables of the machine, shared by all players, and their file
// "players/scores.xml" in the game folder (stored scrambled, as "scores.xml.!", when the
// manager is). A file of another version is set aside (see DamagedFile.h), never read.
class HighScoreManager : public BaseObject {
    QUOVEL_TYPE(HighScoreManager)
public:
    // Tables by name; ordered, so that the file is written in a stable order.
    using TableMap = std::map<std::string, RefHolder<HighScoreTable>>;

    // An empty `version` stands for BasicProperties' "HIGHSCORES_VERSION".
    HighScoreManager(const std::string& version, bool scrambled);

    // Makes the singleton (holding one reference) unless it exists.
    static void createInstance(const std::string& version, bool scrambled);
    static void releaseInstance();
    // The singleton, or null.
    static HighScoreManager* getInstance();

    // Reads the tables of the file when it is readable and of this version; every loaded
    // table's lastScore is -1 (a position of an earlier run means nothing now). A file that is
    // there but holds no tables of this version is set aside, and the tables start empty.
    virtual void load();
    // Writes every table; false when the file was not written (the old one then stays whole).
    // A file held unread at load (see DamagedFile.h) is not written, and that is no failure.
    virtual bool save();
    // Stores the table under the name, releasing one stored there before.
    virtual void setTable(const std::string& name, HighScoreTable* table);
    // The table stored under the name, or null.
    HighScoreTable* getTable(const std::string& name) const;
    const TableMap& getTables() const { return tables; }

    // The file's path before the ".!" of the stored name; makes the folder "players".
    std::string getScoresFileName() const;
    const std::string& getVersion() const { return version; }

private:
    int32_t fileMode() const {
        return scrambled ? FileSource::SCRAMBLED_LOOSE_FILES : FileSource::LOOSE_FILES;
    }

    std::string version;
    TableMap tables;
    bool keepLastScore = false;
    bool scrambled = false;
    // The file failed to load and could not be moved aside: it is never written over.
    bool fileHeld = false;
};
