// High-score files: the tables read, a score added to each, and the file written and read back.
#include <vector>

#include "FuzzSupport.h"
#include "framework/platform/HighScoreEntry.h"
#include "framework/platform/HighScoreManager.h"
#include "framework/platform/HighScoreTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > fuzz::INPUT_LIMIT) {
        return 0;
    }
    fuzz::files();
    fuzz::clearFiles();
    RefHolder<HighScoreManager> manager(new HighScoreManager("1", false));
    fuzz::putFile(manager->getScoresFileName(), data, size);
    manager->load();
    for (const auto& [name, table] : manager->getTables()) {
        table->addScore(RefHolder<HighScoreEntry>(new HighScoreEntry("fuzz", 1000, true)));
        table->containsPlayer("fuzz");
    }
    if (manager->save()) {
        RefHolder<HighScoreManager> again(new HighScoreManager("1", false));
        again->load();
        if (again->getTables().size() != manager->getTables().size()) {
            __builtin_trap();
        }
    }
    return 0;
}
