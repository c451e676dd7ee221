#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/FileSourceMode.h"
#include "framework/core/PropertyNode.h"

class TiXmlDocument;
class TiXmlElement;
class TiXmlNode;
class TiXmlPrinter;

// The root of one or more property files (type word "root", empty name): the files are read
// one after another into this node, so a later file's children replace earlier ones by name,
// and the whole tree is written back to one file.
//
// The XML form: the top-level elements vanish and their child elements become the store's
// children. An element's tag is its property's type word and its "id" attribute the name;
// "Vector" is a vector, the six value tags ("Integer", "Double", "Float", "Boolean", "String",
// "Text") are values whose text is the "value" attribute or, when present, the text content,
// and any other tag is a node whose other attributes become untyped values and whose text
// content becomes a "Text" child "value".
class PropertyStore : public PropertyNode {
    QUOVEL_TYPE(PropertyStore)
public:
    // Elements nesting deeper than this make a file malformed (the parser recurses per level);
    // trees deeper than this are not written.
    static constexpr int32_t MAX_NESTING = 256;
    // Property files larger than this are refused (and the refusal logged) before they are
    // read: no real file comes near it, and parsing one costs several times its size.
    static constexpr uint32_t MAX_FILE_BYTES = 16u << 20;
    // An element with more attributes than this makes a file refused: the parser checks each
    // attribute against the element's earlier ones (the widest element written has 34).
    static constexpr int32_t MAX_ATTRIBUTES = 256;
    // So does a file whose parsed document and tree together would take more than this many
    // times its size: an element or an attribute becomes a node of the document and a property
    // of some hundred bytes each however short its text, so a file of empty elements would take
    // a hundred times its size. The document is costed before it is parsed, the tree as it is
    // built.
    static constexpr size_t MAX_MEMORY_PER_BYTE = 64;
    // Memory every file may take, however small: a short file of a few elements costs more
    // than 64 times its few bytes, and a level of a few kilobytes about 60 times.
    static constexpr size_t MIN_MEMORY = 4u << 20;
    // What the document takes, in bytes: per element, per attribute, per other node (text,
    // comment, declaration), and per byte of the file for the text itself (the file, its copy
    // for the parser and the document's strings, which grow by doubling).
    static constexpr size_t ELEMENT_MEMORY = 256;
    static constexpr size_t ATTRIBUTE_MEMORY = 192;
    static constexpr size_t NODE_MEMORY = 160;
    static constexpr size_t TEXT_MEMORY_PER_BYTE = 5;

    // A non-empty `fileName` is the first file to read.
    explicit PropertyStore(const std::string& fileName = std::string());

    // Files to read, in order.
    const std::vector<std::string>& getFiles() const { return files; }
    void addFile(const std::string& fileName) { files.push_back(fileName); }

    void setSaveFileName(const std::string& fileName) { saveFileName = fileName; }

    // PROCESS_WIDE follows the process-wide file-source mode (FileSourceMode.h); any other
    // mode is used as it stands.
    void setSourceMode(int32_t mode) { sourceMode = mode; }

    // Whether the XML reader folds runs of white space inside texts (on by default).
    bool getCondenseWhiteSpace() const { return condenseWhiteSpace; }
    void setCondenseWhiteSpace(bool condense) { condenseWhiteSpace = condense; }

    // Reads every listed file in order, going on after a failure; true only when all were read
    // (so also for an empty list).
    bool load();
    // Reads one file from the current source and adds its elements; a file that is missing or
    // does not parse leaves the tree as it was and gives false.
    bool loadFile(const std::string& fileName);
    // Whether the file can be read from the current source and parses; the tree is not changed.
    bool canLoad(const std::string& fileName);
    // Writes the whole tree to the save file name, scrambled in the scrambled modes. The bytes
    // are made in memory and replace the file all at once: on failure (false) the old file
    // stays whole. A tree that would make a file the reader refuses (too large, too wide, too
    // many properties) is not written, and the refusal is logged.
    bool save();

    // Writes `property` under `parent`: an untyped value inside a node as an attribute of the
    // node's element, anything else as an element. False when the tree nests too deep to write.
    // While `save` prints, each element is printed and let go as soon as it is written.
    virtual bool writeElement(AbstractProperty* property, TiXmlNode* parent, bool insideNode);
    // Adds the children of every top-level element to the store, unless their properties would
    // take more than `treeMemory` bytes: then nothing is added, the refusal is logged, named by
    // `source`, and the result is false.
    bool readDocument(const TiXmlDocument& document, size_t treeMemory,
                      const std::string& source = "property text");
    // What the properties of one document may still take; `spent` once one did not fit.
    struct TreeMemory {
        size_t left = 0;
        bool spent = false;
        bool take(size_t bytes);
    };
    // The property of one element and everything below it (reference count 0); `depth` counts
    // the element's enclosing elements. Null when more than MAX_NESTING enclose an element or
    // the properties would take more than `memory` has left.
    AbstractProperty* readElement(const TiXmlElement& element, int32_t depth, TreeMemory& memory);
    // Parses the XML text of `bytes` into `document`, with this store's white-space setting.
    // False on any error, including nesting deeper than MAX_NESTING, an element wider than
    // MAX_ATTRIBUTES, a document taking more than MAX_MEMORY_PER_BYTE times its size and a text
    // without any element; a text refused for one of these limits is logged, named by `source`.
    // `treeMemory`, when given, receives what the tree built from the document may take: the
    // text's share less the document's.
    bool parseBuffer(std::string_view bytes, TiXmlDocument& document,
                     const std::string& source = "property text", size_t* treeMemory = nullptr);

private:
    // The file-source mode of this store's reads and writes (PROCESS_WIDE resolved).
    int32_t currentMode() const;
    bool readFileDocument(const std::string& fileName, TiXmlDocument& document,
                          size_t* treeMemory = nullptr);

    std::vector<std::string> files;
    std::string saveFileName;
    int32_t sourceMode = FileSource::PROCESS_WIDE;
    bool condenseWhiteSpace = true;
    // Elements open in the write under way.
    int32_t writeDepth = 0;
    // Where the write under way is printed as it goes, if anywhere.
    TiXmlPrinter* printing = nullptr;
};
