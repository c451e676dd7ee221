#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/PropertyNode.h"

// The root of one or more property files (type word "root", empty name): the files are read
// one after another into this node, so a later file's children replace earlier ones by name,
// and the whole tree is written back to one file.
class PropertyStore : public PropertyNode {
    QUOVEL_TYPE(PropertyStore)
public:
    // A non-empty `fileName` is the first file to read.
    explicit PropertyStore(const std::string& fileName = std::string());

    // Files to read, in order.
    const std::vector<std::string>& getFiles() const { return files; }
    void addFile(const std::string& fileName) { files.push_back(fileName); }

    const std::string& getSaveFileName() const { return saveFileName; }
    void setSaveFileName(const std::string& fileName) { saveFileName = fileName; }

    // 0 follows the process-wide file-source mode; any other value is used as it stands.
    int32_t getSourceMode() const { return sourceMode; }
    void setSourceMode(int32_t mode) { sourceMode = mode; }

    // Whether the XML reader folds runs of white space inside texts (on by default).
    bool getCondenseWhiteSpace() const { return condenseWhiteSpace; }
    void setCondenseWhiteSpace(bool condense) { condenseWhiteSpace = condense; }

private:
    std::vector<std::string> files;
    std::string saveFileName;
    int32_t sourceMode = 0;
    bool condenseWhiteSpace = true;
};
