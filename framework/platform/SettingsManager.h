#pragma once

#include <memory>
#include <string>

#include "framework/core/BaseObject.h"
#include "framework/core/Hook.h"
#include "framework/platform/IGameSettings.h"

class AbstractProperty;

// Owns the game's settings object: loads it from the game's key of the settings store at
// start-up, saves it when asked (settings dialog, full-screen toggle, shut-down), and reads three
// flags that only the store sets. A missing key leaves the defaults; a damaged settings file is
// set aside first (see DamagedFile.h), and one that cannot be moved is never written over.
class SettingsManager : public BaseObject {
    QUOVEL_TYPE(SettingsManager)
public:
    // Makes the singleton (holding one reference) around `settings`, which it owns from now
    // on, and loads the stored values into it. An existing manager stays, and `settings` is
    // deleted.
    static void createInstance(IGameSettings* settings);
    // Drops the singleton, deleting its settings object.
    static void releaseInstance();
    // The singleton, or null.
    static SettingsManager* instance();

    ~SettingsManager() override;

    // Writes the settings object's values into the game's key and tells the saved listener
    // whether all of them were written. Settings held unread (see DamagedFile.h) are not written,
    // and that is no failure: it was told when they were found.
    virtual void saveToRegistry();
    // Hears the outcome of every save of the settings; the game tells the player through it
    // while it runs.
    static inline Hook<void(bool written)> savedListener;
    // The folder that holds the settings, for messages.
    std::string getSettingsFolder() const;
    // Reads every number and text of the game's key into the settings and the flags; when
    // "shutdowncorrect" then reads false, full screen is turned off.
    virtual void loadFromRegistry();
    // The six settings plus the three flags (untyped "Boolean" values) into a node.
    virtual void writeSettings(AbstractProperty* target);
    // The six settings, then each flag the node holds, read as a boolean (false only for an
    // empty text or "false").
    virtual void readSettings(AbstractProperty* source);

    IGameSettings* getSettings() const { return settings.get(); }
    const std::string& getRegistryPath() const { return registryPath; }
    bool getDontUseRegistry() const { return dontuseregistry; }
    bool getShutdownCorrect() const { return shutdowncorrect; }
    bool getFatalError() const { return fatalerror; }

private:
    explicit SettingsManager(IGameSettings* settings);

    std::unique_ptr<IGameSettings> settings;
    std::string registryPath;
    // Read and kept; nothing acts on these two.
    bool dontuseregistry = false;
    bool shutdowncorrect = true;
    bool fatalerror = false;
    bool settingsHeld = false;
};
