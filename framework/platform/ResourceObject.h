#pragma once

#include <cstdint>
#include <string>

#include "framework/core/BaseObject.h"
#include "framework/core/FileSourceMode.h"

class PropertyNode;

// One named resource of a section: a file, how to load it, the object it yields once loaded and
// its diagnostic text. The kinds are made by the object factory from resource nodes ("file"
// names the file, "archive" chooses how it is read).
//
// Loading runs on the loader thread or, for a lookup that needs the object at once, on the
// caller's. A load decodes without any lock and publishes its outcome (object, error flag,
// loaded state) under the resource manager's data lock, so readers that hold that lock always
// see a whole state. The loading and discard flags belong to the manager and are guarded by
// the data lock too.
class ResourceObject : public BaseObject {
    QUOVEL_TYPE(ResourceObject)
public:
    explicit ResourceObject(PropertyNode* definition);
    ResourceObject(std::string fileName, int32_t fileMode);
    ~ResourceObject() override;

    // Reads and decodes the file, then publishes the outcome; ends loaded, with the error flag
    // set when the file was missing or undecodable (so it is not tried again until unloaded).
    virtual void load() = 0;
    // The loaded object, null while not loaded or after an error. Call with the data lock held
    // while the loader may run.
    virtual BaseObject* getData() const = 0;
    // Back to not loaded; kinds drop their object first. A load under way is told to drop its
    // result. Call with the data lock held while the loader may run.
    virtual void unload();
    // True when loading `other` would give the same object (base: the same kind and file name).
    virtual bool isSameAs(const ResourceObject* other) const;
    virtual void setLoaded();
    std::string toString() const override;

    const std::string& getFileName() const { return fileName; }
    bool isLoaded() const { return loaded; }
    bool getHasError() const { return hasError; }
    int32_t getWeight() const { return weight; }
    int32_t getLoadedAmount() const { return loadedAmount; }
    int32_t getFileMode() const { return fileMode; }
    // True while the loader thread loads this resource without the data lock.
    bool isLoading() const { return loading; }

    // The file-source mode an "archive" word chooses: "file" LOOSE_FILES, "zip" ARCHIVE_FIRST,
    // "encryptfile" and "encryptzip" the same scrambled, anything else PROCESS_WIDE.
    static int32_t fileModeOfWord(const std::string& word);

protected:
    void setHasError(bool value) { hasError = value; }
    // For a load that has decoded its file, with the data lock held: false when an unload came
    // while it ran, so its result must be dropped and the resource stay unloaded.
    bool keepsLoadResult() const { return !discardLoad; }

private:
    friend class ResourceManager;

    std::string fileName;
    bool loaded = false;
    bool hasError = false;
    int32_t weight = 1;
    int32_t loadedAmount = 0;
    int32_t fileMode = FileSource::PROCESS_WIDE;
    bool loading = false;
    bool discardLoad = false;
};

// "yes" or "no", as the diagnostic texts write flags.
const char* yesNo(bool value);
// "true" or "false".
const char* trueFalse(bool value);
