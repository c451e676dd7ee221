#include "framework/gui/GuiDefinitions.h"

#include <array>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyStore.h"

namespace {

GuiDefinitions* registry = nullptr;

constexpr std::array<const char*, 4> SECTION_NAMES = {"setups", "templates", "dialogs", "scenes"};

bool isSectionName(const std::string& name) {
    for (const char* section : SECTION_NAMES) {
        if (name == section) {
            return true;
        }
    }
    return false;
}

// The object a definition makes is not kept: value handlers store what they read and return
// nothing, anything else is released at once.
void createAndDrop(AbstractProperty* definition) {
    RefHolder<BaseObject> made = ObjectFactoryContainer::instance()->createObject(definition);
}

void emptyNode(RefHolder<PropertyNode>& node) {
    node = new PropertyNode(std::string());
}

void mergeSection(PropertyNode* into, AbstractProperty* section) {
    for (const auto& [name, child] : nodeOrDummy(section)->getNameTable()) {
        into->addChild(child.get());
    }
}

PropertyNode* definitionFor(const char* builder, const char* section, const std::string& name,
                            PropertyNode* found) {
    if (builder && found == DUMMY_NODE) {
        reportMistake(std::string(builder) + ": no definition \"" + name + "\" among the \"" +
                      section + "\" of the property files");
    }
    return found;
}

}  // namespace

GuiDefinitions* GuiDefinitions::instance() {
    if (!registry) {
        registry = new GuiDefinitions();
        registry->addRef();
    }
    return registry;
}

void GuiDefinitions::releaseInstance() {
    if (GuiDefinitions* old = registry) {
        registry = nullptr;
        old->release();
    }
}

GuiDefinitions::GuiDefinitions() {
    emptyNode(templates);
    emptyNode(dialogs);
    emptyNode(scenes);
}

GuiDefinitions::~GuiDefinitions() = default;

bool GuiDefinitions::load() {
    emptyNode(templates);
    emptyNode(dialogs);
    emptyNode(scenes);

    std::vector<RefHolder<PropertyStore>> stores;
    bool allRead = true;
    for (const std::string& file : files) {
        RefHolder<PropertyStore> store = new PropertyStore();
        store->setCondenseWhiteSpace(false);
        allRead = store->loadFile(file) && allRead;
        stores.push_back(store);
    }
    for (const RefHolder<PropertyStore>& store : stores) {
        for (const auto& [name, child] : store->getNameTable()) {
            if (!isSectionName(name)) {
                createAndDrop(child.get());
            }
        }
    }
    for (const RefHolder<PropertyStore>& store : stores) {
        if (AbstractProperty* setups = store->getChild("setups")) {
            nodeOrDummy(setups)->createChildObjects();
        }
    }
    for (const RefHolder<PropertyStore>& store : stores) {
        store->applySetup();
    }
    for (const RefHolder<PropertyStore>& store : stores) {
        if (AbstractProperty* properties = store->getChild("properties")) {
            nodeOrDummy(properties)->createChildObjects();
        }
    }
    for (const RefHolder<PropertyStore>& store : stores) {
        mergeSection(templates.get(), store->getChild("templates"));
        mergeSection(dialogs.get(), store->getChild("dialogs"));
        mergeSection(scenes.get(), store->getChild("scenes"));
    }
    if (loadHook) {
        loadHook->onLoaded();
    }
    return allRead;
}

PropertyNode* GuiDefinitions::findTemplate(const std::string& name) const {
    return nodeOrDummy(templates->getChild(name));
}

PropertyNode* GuiDefinitions::findDialog(const std::string& name, const char* builder) const {
    return definitionFor(builder, "dialogs", name, nodeOrDummy(dialogs->getChild(name)));
}

PropertyNode* GuiDefinitions::findScene(const std::string& name, const char* builder) const {
    return definitionFor(builder, "scenes", name, nodeOrDummy(scenes->getChild(name)));
}
