#include "game/app/GuiDefinitionsLoad.h"

#include "framework/core/ProblemLog.h"
#include "framework/core/RefHolder.h"
#include "framework/gui/GuiDefinitions.h"
#include "game/rules/TuningConstants.h"

namespace {

class TuningConstantsHook : public GuiLoadHook {
public:
    void onLoaded() override {
        missing = missingTuningConstants();  // before the read enters them with 0
        loadTuningConstants();
    }
    std::vector<std::string> missing;
};

}  // namespace

bool loadGuiDefinitions() {
    GuiDefinitions* definitions = GuiDefinitions::instance();
    for (const char* file : GUI_PROPERTY_FILES) {
        definitions->addFile(file);
    }
    RefHolder<TuningConstantsHook> hook(new TuningConstantsHook());
    definitions->setLoadHook(hook.get());
    if (!definitions->load()) {
        return false;
    }
    if (!hook->missing.empty()) {
        std::string names;
        for (const std::string& name : hook->missing) {
            names += " " + name;
        }
        reportMistake("tuning constants missing from the property files, each read as 0:" + names);
    }
    return true;
}
