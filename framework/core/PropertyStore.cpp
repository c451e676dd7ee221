#include "framework/core/PropertyStore.h"

#include <algorithm>

#include <tinyxml.h>

#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/core/DataScrambler.h"
#include "framework/core/FileSourceMode.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyFileHooks.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/RefHolder.h"
#include "framework/core/StringUtils.h"
#include "framework/core/XmlNestingScan.h"
#include "framework/os/FileSystem.h"

QUOVEL_DEFINE_TYPE(PropertyStore, &PropertyNode::typeRecord)

namespace {

// TinyXML's white-space setting is one flag for the whole process: every parse sets it and
// parses under this lock.
std::mutex& parserMutex() {
    static std::mutex mutex;
    return mutex;
}

bool isValueTag(std::string_view tag) {
    return tag == "Integer" || tag == "Double" || tag == "Float" || tag == "Boolean" ||
           tag == "String" || tag == "Text";
}

// A name the parser reads back as a tag or an attribute name.
bool isXmlName(std::string_view name) {
    auto isLetter = [](unsigned char c) {
        return c >= 127 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    };
    if (name.empty() || !isLetter(static_cast<unsigned char>(name.front()))) {
        return false;
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (!isLetter(byte) && !(byte >= '0' && byte <= '9') && c != '-' && c != '.' && c != ':') {
            return false;
        }
    }
    return true;
}

// The tag a property is written with. A type word that is no XML name (an empty one above all)
// would make a file that cannot be read back, so the kind's plain tag stands in.
std::string tagOf(const AbstractProperty& property) {
    if (isXmlName(property.getTypeWord())) {
        return property.getTypeWord();
    }
    return property.isValue() ? "Text" : property.isVector() ? "Vector" : "Node";
}

// Whether `property`, held by a node, is written as an attribute of the node's element: an
// untyped value, unless its name could not be read back as one ("id" would rename the node).
bool isAttribute(const AbstractProperty& property) {
    return property.isValue() && property.getTypeWord().empty() && property.getName() != "id" &&
           isXmlName(property.getName());
}

// The children of what is no node.
const PropertyNameTable NO_CHILDREN;

// The text with every byte that is not part of valid UTF-8 replaced by U+FFFD.
std::string validUtf8(std::string_view text) {
    return wstringToString(stringToWString(text));
}

// What a file of `size` bytes may take, document and tree together.
size_t memoryFor(size_t size) {
    return std::max(size * PropertyStore::MAX_MEMORY_PER_BYTE, PropertyStore::MIN_MEMORY);
}

// What the tree read from a file of `size` bytes whose document the scan costed may take.
size_t treeMemoryFor(size_t size, const XmlNestingScan& scan) {
    const size_t document = size * PropertyStore::TEXT_MEMORY_PER_BYTE + scan.memory;
    return memoryFor(size) - std::min(memoryFor(size), document);
}

const std::string TOO_MUCH_MEMORY = "its elements and attributes would take more than " +
                                    std::to_string(PropertyStore::MAX_MEMORY_PER_BYTE) +
                                    " times its size";

// Why the reader refuses `text` (followed by four 0 bytes), or empty when it reads it. The scan
// tells where the parser stops and what the document's nodes take.
std::string refusalOf(const std::string& text, XmlNestingScan& scan) {
    const size_t size = text.size() - 4;  // without the four 0 bytes
    XmlNodeCosts costs;
    costs.element = PropertyStore::ELEMENT_MEMORY;
    costs.attribute = PropertyStore::ATTRIBUTE_MEMORY;
    costs.otherNode = PropertyStore::NODE_MEMORY;
    const size_t textMemory = size * PropertyStore::TEXT_MEMORY_PER_BYTE;
    costs.limit = memoryFor(size) - std::min(memoryFor(size), textMemory);
    scan = scanXmlNesting(text.c_str(), PropertyStore::MAX_NESTING, PropertyStore::MAX_ATTRIBUTES,
                          costs);
    switch (scan.outcome) {
        case XmlNestingScan::FITS:
            return {};
        case XmlNestingScan::TOO_DEEP:
            return "elements nest deeper than " + std::to_string(PropertyStore::MAX_NESTING);
        case XmlNestingScan::TOO_MANY_ATTRIBUTES:
            return "an element has more than " + std::to_string(PropertyStore::MAX_ATTRIBUTES) +
                   " attributes";
        case XmlNestingScan::TOO_MUCH_MEMORY:
            return TOO_MUCH_MEMORY;
        case XmlNestingScan::MALFORMED:
            break;
    }
    return "malformed";
}

// What the properties read take on the heap (glibc's malloc, libstdc++'s containers), counted
// as they are built, so that a file's tree stops growing at its share of memory.

// A block malloc hands out for `bytes`: an 8-byte header, in steps of 16, at least 32.
constexpr size_t heapBlock(size_t bytes) {
    return std::max<size_t>((bytes + 8 + 15) / 16 * 16, 32);
}

// The heap a string keeps for `length` characters of `width` bytes: none while they fit in the
// 16 bytes inside the string with the closing 0.
constexpr size_t stringMemory(size_t length, size_t width) {
    return length + 1 > 16 / width ? heapBlock((length + 1) * width) : 0;
}

// A list or hash table slot a child takes: up to twice its pointer once the table has grown,
// three times while it grows (the old slots beside the new).
constexpr size_t SLOT_MEMORY = 3 * sizeof(void*);
// The first buckets of a node's hash tables, made by the first child each holds.
constexpr size_t FIRST_BUCKETS_MEMORY = heapBlock(16 * sizeof(void*));
// A child held by name: its entries in the node's name list and in its name index, each with
// the name, and an index slot.
constexpr size_t NAMED_MEMORY =
    heapBlock(2 * sizeof(void*) + sizeof(PropertyNameTable::Entry)) +
    heapBlock(2 * sizeof(void*) + sizeof(std::pair<const std::string, void*>)) + SLOT_MEMORY;
// A child in the node's ordered list besides: its slot, and its entry and slot in the list's
// index.
constexpr size_t LISTED_MEMORY = SLOT_MEMORY + heapBlock(3 * sizeof(void*)) + SLOT_MEMORY;

// The property itself with its name and type word, a value with its text of `textLength`
// characters.
size_t ownMemory(const AbstractProperty& property, size_t typeLength, size_t textLength) {
    const size_t object = property.isValue()    ? sizeof(PropertyValue)
                          : property.isVector() ? sizeof(PropertyVector)
                                                : sizeof(PropertyNode);
    return heapBlock(object) + stringMemory(property.getName().size(), 1) +
           stringMemory(typeLength, 1) + stringMemory(textLength, sizeof(wchar_t));
}

// What a parent takes besides to hold `child`: a slot in a vector; in a node, the entries by
// name and, for a listed child, in the list, with the first buckets of each.
size_t placeMemory(bool inNode, const std::string& name, bool listed, bool firstNamed,
                   bool firstListed) {
    if (!inNode) {
        return SLOT_MEMORY;
    }
    return NAMED_MEMORY + 2 * stringMemory(name.size(), 1) +
           (firstNamed ? FIRST_BUCKETS_MEMORY : 0) +
           (listed ? LISTED_MEMORY + (firstListed ? FIRST_BUCKETS_MEMORY : 0) : 0);
}

// The same for `child` about to be added to `parent`.
size_t placeMemory(const PropertyVector& parent, const AbstractProperty& child) {
    if (!parent.isNode()) {
        return SLOT_MEMORY;
    }
    const auto& node = static_cast<const PropertyNode&>(parent);
    return placeMemory(true, child.getName(), PropertyNode::isListed(child),
                       node.getNameTable().empty(), node.getChildCount() == 0);
}

// What a property written by `save` and everything below it take when read back. The file
// holds a value's text as UTF-8, whose length the reader reserves in wide characters; an
// untyped value that cannot be an attribute comes back as a listed "Text" element.
size_t storedMemory(const AbstractProperty& property) {
    const size_t textLength = property.isValue() ? property.getValue().size() : 0;
    size_t bytes = ownMemory(property, tagOf(property).size(), textLength);
    if (property.isNode()) {
        bool firstNamed = true;
        bool firstListed = true;
        for (const auto& [name, child] :
             static_cast<const PropertyNode&>(property).getNameTable()) {
            const bool listed = !isAttribute(*child);
            bytes += placeMemory(true, name, listed, firstNamed, firstListed && listed) +
                     storedMemory(*child);
            firstNamed = false;
            firstListed = firstListed && !listed;
        }
    } else if (const auto* vector = objectCast<PropertyVector>(&property)) {
        for (int32_t i = 0; i < vector->getChildCount(); ++i) {
            bytes += SLOT_MEMORY + storedMemory(*vector->getChildAt(i));
        }
    }
    return bytes;
}

// Counts one element open in a write while it lives.
class NestingLevel {
public:
    explicit NestingLevel(int32_t& depth) : depth(depth) { ++depth; }
    ~NestingLevel() { --depth; }
    NestingLevel(const NestingLevel&) = delete;
    NestingLevel& operator=(const NestingLevel&) = delete;

private:
    int32_t& depth;
};

}  // namespace

PropertyStore::PropertyStore(const std::string& fileName) : PropertyNode(std::string(), "root") {
    if (!fileName.empty()) {
        files.push_back(fileName);
    }
}

int32_t PropertyStore::currentMode() const {
    if (sourceMode != FileSource::PROCESS_WIDE) {
        return sourceMode;
    }
    return PropertyFileHooks::processMode();
}

bool PropertyStore::load() {
    bool allRead = true;
    for (size_t i = 0; i < files.size(); ++i) {
        allRead = loadFile(files[i]) && allRead;
    }
    return allRead;
}

bool PropertyStore::loadFile(const std::string& fileName) {
    TiXmlDocument document;
    size_t treeMemory = 0;
    return readFileDocument(fileName, document, &treeMemory) &&
           readDocument(document, treeMemory, "property file \"" + fileName + "\"");
}

bool PropertyStore::canLoad(const std::string& fileName) {
    TiXmlDocument document;
    return readFileDocument(fileName, document);
}

bool PropertyStore::readFileDocument(const std::string& fileName, TiXmlDocument& document,
                                     size_t* treeMemory) {
    // Every mode reads through the archive's reader: it picks the archive member or the loose
    // file, applies the stored name and unscrambles.
    std::string bytes;
    const FileReadResult read =
        PropertyFileHooks::read(currentMode(), fileName, MAX_FILE_BYTES, bytes);
    if (read == FileReadResult::TOO_LARGE) {
        logProblem("property file \"" + fileName + "\" not read: larger than " +
                   std::to_string(MAX_FILE_BYTES >> 20) + " MB");
    }
    return read == FileReadResult::OK &&
           parseBuffer(bytes, document, "property file \"" + fileName + "\"", treeMemory);
}

bool PropertyStore::parseBuffer(std::string_view bytes, TiXmlDocument& document,
                                const std::string& source, size_t* treeMemory) {
    // The text ends at its first 0 byte, as the parser sees it, and is padded with more, so
    // that the parser's UTF-8 steps past the end still land on a 0.
    std::string text(bytes.substr(0, bytes.find('\0')));
    text.append(4, '\0');

    XmlNestingScan scan;
    const std::string refusal = refusalOf(text, scan);
    if (!refusal.empty()) {
        // A damaged file is common and says nothing; a file past a limit is worth a line.
        if (scan.outcome != XmlNestingScan::MALFORMED) {
            logProblem(source + " not read: " + refusal);
        }
        return false;
    }
    // The parser would stop here anyway; cutting the text makes sure it reads nothing the scan
    // did not see.
    text[scan.stopAt] = '\0';
    if (treeMemory) {
        *treeMemory = treeMemoryFor(text.size() - 4, scan);
    }

    std::lock_guard lock(parserMutex());
    const bool previous = TiXmlBase::IsWhiteSpaceCondensed();
    TiXmlBase::SetCondenseWhiteSpace(condenseWhiteSpace);
    // UTF-8 explicitly: left to guess, TinyXML reads "&#233;" as one Latin-1 byte.
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    TiXmlBase::SetCondenseWhiteSpace(previous);
    // The parser takes a lone "<" or a comment for a document; a property file has an element
    // (a truncated one would otherwise read as an empty file).
    return !document.Error() && document.FirstChildElement();
}

bool PropertyStore::TreeMemory::take(size_t bytes) {
    spent = spent || bytes > left;
    left = spent ? 0 : left - bytes;
    return !spent;
}

bool PropertyStore::readDocument(const TiXmlDocument& document, size_t treeMemory,
                                 const std::string& source) {
    TreeMemory memory{treeMemory};
    // Everything is built before anything is added, so that a refused file changes nothing.
    std::vector<RefHolder<AbstractProperty>> read;
    for (const TiXmlElement* top = document.FirstChildElement(); top;
         top = top->NextSiblingElement()) {
        for (const TiXmlElement* child = top->FirstChildElement(); child;
             child = child->NextSiblingElement()) {
            RefHolder<AbstractProperty> property(readElement(*child, 1, memory));
            if (property && memory.take(placeMemory(*this, *property))) {
                read.push_back(property);
            }
            if (memory.spent) {
                logProblem(source + " not read: " + TOO_MUCH_MEMORY);
                return false;
            }
        }
    }
    for (const RefHolder<AbstractProperty>& property : read) {
        addChild(property.get());
    }
    return true;
}

AbstractProperty* PropertyStore::readElement(const TiXmlElement& element, int32_t depth,
                                             TreeMemory& memory) {
    if (depth > MAX_NESTING) {
        return nullptr;
    }
    // Names and tags are kept as valid UTF-8, so that what is written back reads back the same.
    const char* id = element.Attribute("id");
    const std::string name = id ? validUtf8(id) : "";
    const std::string tag = validUtf8(element.ValueStr());

    PropertyValue* value = nullptr;
    PropertyVector* list = nullptr;  // a vector or a node
    PropertyNode* node = nullptr;
    if (tag == "Vector") {
        list = new PropertyVector(name);
    } else if (isValueTag(tag)) {
        value = new PropertyValue(name, std::wstring(), true);
        value->setTypeWord(tag);
    } else {
        node = new PropertyNode(name, tag);
        list = node;
    }
    AbstractProperty* const property = value ? static_cast<AbstractProperty*>(value) : list;
    // Adds `child` to the node when it fits; deletes it otherwise.
    auto addToNode = [&](PropertyValue* child) {
        RefHolder<AbstractProperty> held(child);
        if (memory.take(
                ownMemory(*child, child->getTypeWord().size(), child->getText().capacity()) +
                placeMemory(*node, *child))) {
            node->addChild(child);
        }
    };
    memory.take(ownMemory(*property, tag.size(), 0));

    if (value || node) {
        for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute && !memory.spent;
             attribute = attribute->Next()) {
            const std::string attributeName = validUtf8(attribute->NameTStr());
            if (attributeName == "id") {
                continue;
            }
            if (node) {
                addToNode(new PropertyValue(attributeName, attribute->ValueStr(), true));
            } else if (attributeName == "value") {
                value->setText(stringToWString(attribute->ValueStr()));
            }
        }
        for (const TiXmlNode* child = element.FirstChild(); child && !memory.spent;
             child = child->NextSibling()) {
            if (const TiXmlText* text = child->ToText()) {
                std::wstring content = stringToWString(text->ValueStr());
                if (node) {
                    addToNode(new PropertyValue("value", std::move(content)));
                } else {
                    value->setText(std::move(content));
                }
                break;
            }
        }
        if (value) {
            memory.take(stringMemory(value->getText().capacity(), sizeof(wchar_t)));
        }
    }
    bool whole = true;
    for (const TiXmlElement* child = list ? element.FirstChildElement() : nullptr;
         child && whole && !memory.spent; child = child->NextSiblingElement()) {
        RefHolder<AbstractProperty> childProperty(readElement(*child, depth + 1, memory));
        whole = childProperty && memory.take(placeMemory(*list, *childProperty));
        if (whole) {
            list->addChild(childProperty.get());
        }
    }
    if (!whole || memory.spent) {
        RefHolder<AbstractProperty> discarded(property);  // deletes what was built
        return nullptr;
    }
    return property;
}

bool PropertyStore::writeElement(AbstractProperty* property, TiXmlNode* parent, bool insideNode) {
    if (!property || !parent) {
        return true;
    }
    const std::string& name = property->getName();
    TiXmlElement* parentElement = parent->ToElement();
    if (insideNode && parentElement && isAttribute(*property)) {
        parentElement->SetAttribute(name, property->getValue());
        return true;
    }
    if (writeDepth >= MAX_NESTING) {
        return false;  // too deep to read back, or a tree that holds itself
    }
    const NestingLevel level(writeDepth);
    auto* element = new TiXmlElement(tagOf(*property));
    parent->LinkEndChild(element);
    if (!name.empty()) {
        element->SetAttribute("id", name);
    }
    if (property->isValue()) {
        element->SetAttribute("value", property->getValue());
    }
    // A node's attributes first, so that the start tag is whole before any child element.
    auto* node = objectCast<PropertyNode>(property);
    auto* vector = node ? nullptr : objectCast<PropertyVector>(property);
    bool hasElements = vector && vector->getChildCount() > 0;
    for (const auto& [childName, child] : node ? node->getNameTable() : NO_CHILDREN) {
        if (!isAttribute(*child)) {
            hasElements = true;
        } else if (!writeElement(child.get(), element, true)) {
            return false;
        }
    }
    if (printing) {
        // Printed as it goes: the start tag now, each child element as it is written, then the
        // end tag, every element let go once printed, so that no document of the whole tree is
        // held. A stand-in child has the printer write a start tag for content.
        if (hasElements) {
            element->LinkEndChild(new TiXmlElement(""));
        }
        printing->VisitEnter(*element, element->FirstAttribute());
    }
    // Past the size of a file that is read, the rest is left out: the file will not be written.
    auto writeChild = [&](AbstractProperty* child) {
        return (printing && printing->Size() > MAX_FILE_BYTES) ||
               writeElement(child, element, node != nullptr);
    };
    for (const auto& [childName, child] : node ? node->getNameTable() : NO_CHILDREN) {
        if (!isAttribute(*child) && !writeChild(child.get())) {
            return false;
        }
    }
    for (int32_t i = 0; vector && i < vector->getChildCount(); ++i) {
        if (!writeChild(vector->getChildAt(i))) {
            return false;
        }
    }
    if (printing) {
        printing->VisitExit(*element);
        parent->RemoveChild(element);
    }
    return true;
}

bool PropertyStore::save() {
    if (saveFileName.empty()) {
        return false;
    }
    std::string bytes;
    {
        TiXmlDocument document;
        TiXmlPrinter printer;
        writeDepth = 0;
        printing = &printer;
        const bool written = writeElement(this, &document, false);
        printing = nullptr;
        if (!written) {
            return false;
        }
        bytes = printer.Str();
    }
    // A file the reader would refuse is not written: the old one, readable, stays.
    std::string refusal;
    if (bytes.size() > MAX_FILE_BYTES) {
        refusal = "larger than " + std::to_string(MAX_FILE_BYTES >> 20) + " MB";
    } else {
        bytes.append(4, '\0');
        XmlNestingScan scan;
        refusal = refusalOf(bytes, scan);
        bytes.resize(bytes.size() - 4);
        const size_t tree = storedMemory(*this) - ownMemory(*this, tagOf(*this).size(), 0);
        if (refusal.empty() && tree > treeMemoryFor(bytes.size(), scan)) {
            refusal = TOO_MUCH_MEMORY;
        }
    }
    if (!refusal.empty()) {
        logProblem("property file \"" + saveFileName + "\" not saved: " + refusal);
        return false;
    }

    const int32_t mode = currentMode();
    if (FileSource::isScrambledMode(mode)) {
        DataScrambler::apply(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
    }
    const std::string storedName = PropertyFileHooks::storedName(mode, saveFileName);
    if (!FileSystem::current().writeFileAtomic(
            storedName, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) {
        return false;
    }
    PropertyFileHooks::grantAccess(storedName);
    return true;
}
