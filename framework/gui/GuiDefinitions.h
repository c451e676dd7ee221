#pragma once

#include <string>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/RefHolder.h"

// What the application runs once the definitions are loaded (the game reads its tuning
// constants there).
class GuiLoadHook : public BaseObject {
public:
    virtual void onLoaded() = 0;
};

// The registry every dialog, scene, transition, painter and setup is built from. `load` reads
// the listed property files in order into three sections searched by name ("templates",
// "dialogs", "scenes"; a later file's definition replaces an earlier one of the same name),
// stores every other top-level value and every setup as a global value of BasicProperties,
// lets definitions inherit from the setups they name, and ends with the load hook.
//
// Definitions are shared: objects built from them keep references, so nothing changes one in
// place after load.
class GuiDefinitions : public BaseObject {
public:
    // The registry, made on first use.
    static GuiDefinitions* instance();
    // Drops the registry at shut-down.
    static void releaseInstance();

    GuiDefinitions();
    ~GuiDefinitions() override;
    GuiDefinitions(const GuiDefinitions&) = delete;
    GuiDefinitions& operator=(const GuiDefinitions&) = delete;

    // Files to read, in order.
    void addFile(const std::string& fileName) { files.push_back(fileName); }
    const std::vector<std::string>& getFiles() const { return files; }
    // The hook is referenced; null removes it.
    void setLoadHook(GuiLoadHook* hook) { loadHook = hook; }
    GuiLoadHook* getLoadHook() const { return loadHook.get(); }

    // Empties the sections and builds them again from the files; a file that cannot be read
    // contributes nothing. A top-level entry whose type word has no registration is skipped.
    // True when every file was read.
    bool load();

    PropertyNode* getTemplates() const { return templates.get(); }
    PropertyNode* getDialogs() const { return dialogs.get(); }
    PropertyNode* getScenes() const { return scenes.get(); }

    // The definition of that name in a section; DUMMY_NODE when absent or not a node. Given the
    // `builder` that needs it, an absent one is a developer's mistake and is reported.
    PropertyNode* findTemplate(const std::string& name) const;
    PropertyNode* findDialog(const std::string& name, const char* builder = nullptr) const;
    PropertyNode* findScene(const std::string& name, const char* builder = nullptr) const;

private:
    std::vector<std::string> files;
    RefHolder<PropertyNode> templates;
    RefHolder<PropertyNode> dialogs;
    RefHolder<PropertyNode> scenes;
    RefHolder<GuiLoadHook> loadHook;
};
