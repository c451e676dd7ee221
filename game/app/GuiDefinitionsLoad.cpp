#include "game/app/GuiDefinitionsLoad.h"

#include "framework/core/RefHolder.h"
#include "framework/gui/GuiDefinitions.h"
#include "game/rules/TuningConstants.h"

namespace {

class TuningConstantsHook : public GuiLoadHook {
public:
    void onLoaded() override { loadTuningConstants(); }
};

}  // namespace

bool loadGuiDefinitions() {
    GuiDefinitions* definitions = GuiDefinitions::instance();
    for (const char* file : GUI_PROPERTY_FILES) {
        definitions->addFile(file);
    }
    definitions->setLoadHook(RefHolder<GuiLoadHook>(new TuningConstantsHook()).get());
    return definitions->load();
}
