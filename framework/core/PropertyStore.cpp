#include "framework/core/PropertyStore.h"

#include <algorithm>

#include <tinyxml.h>

#include <mutex>
#include <string_view>

#include "framework/core/DataScrambler.h"
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

// The text with every byte that is not part of valid UTF-8 replaced by U+FFFD.
std::string validUtf8(std::string_view text) {
    return wstringToString(stringToWString(text));
}

// Why the reader refuses `text` (followed by four 0 bytes), or empty when it reads it. The scan
// tells where the parser stops.
std::string refusalOf(const std::string& text, XmlNestingScan& scan) {
    const size_t size = text.size() - 4;  // without the four 0 bytes
    XmlNodeCosts costs;
    costs.element = PropertyStore::ELEMENT_MEMORY;
    costs.attribute = PropertyStore::ATTRIBUTE_MEMORY;
    costs.otherNode = PropertyStore::NODE_MEMORY;
    costs.limit = std::max(
        size * (PropertyStore::MAX_MEMORY_PER_BYTE - PropertyStore::TEXT_MEMORY_PER_BYTE),
        PropertyStore::MIN_MEMORY);
    scan = scanXmlNesting(text.c_str(), PropertyStore::MAX_NESTING, PropertyStore::MAX_ATTRIBUTES,
                          costs);
    switch (scan.outcome) {
        case XmlNestingScan::fits:
            return {};
        case XmlNestingScan::tooDeep:
            return "elements nest deeper than " + std::to_string(PropertyStore::MAX_NESTING);
        case XmlNestingScan::tooManyAttributes:
            return "an element has more than " + std::to_string(PropertyStore::MAX_ATTRIBUTES) +
                   " attributes";
        case XmlNestingScan::tooMuchMemory:
            return "its elements and attributes would take more than " +
                   std::to_string(PropertyStore::MAX_MEMORY_PER_BYTE) + " times its size";
        case XmlNestingScan::malformed:
            break;
    }
    return "malformed";
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
    if (sourceMode != 0) {
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
    if (!readFileDocument(fileName, document)) {
        return false;
    }
    readDocument(document);
    return true;
}

bool PropertyStore::canLoad(const std::string& fileName) {
    TiXmlDocument document;
    return readFileDocument(fileName, document);
}

bool PropertyStore::readFileDocument(const std::string& fileName, TiXmlDocument& document) {
    // Every mode reads through the archive's reader: it picks the archive member or the loose
    // file, applies the stored name and unscrambles.
    std::string bytes;
    const FileReadResult read =
        PropertyFileHooks::read(currentMode(), fileName, MAX_FILE_BYTES, bytes);
    if (read == FileReadResult::tooLarge) {
        logProblem("property file \"" + fileName + "\" not read: larger than " +
                   std::to_string(MAX_FILE_BYTES >> 20) + " MB");
    }
    return read == FileReadResult::ok &&
           parseBuffer(bytes, document, "property file \"" + fileName + "\"");
}

bool PropertyStore::parseBuffer(std::string_view bytes, TiXmlDocument& document,
                                const std::string& source) {
    // The text ends at its first 0 byte, as the parser sees it, and is padded with more, so
    // that the parser's UTF-8 steps past the end still land on a 0.
    std::string text(bytes.substr(0, bytes.find('\0')));
    text.append(4, '\0');

    XmlNestingScan scan;
    const std::string refusal = refusalOf(text, scan);
    if (!refusal.empty()) {
        // A damaged file is common and says nothing; a file past a limit is worth a line.
        if (scan.outcome != XmlNestingScan::malformed) {
            logProblem(source + " not read: " + refusal);
        }
        return false;
    }
    // The parser would stop here anyway; cutting the text makes sure it reads nothing the scan
    // did not see.
    text[scan.stopAt] = '\0';

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

void PropertyStore::readDocument(const TiXmlDocument& document) {
    for (const TiXmlElement* top = document.FirstChildElement(); top;
         top = top->NextSiblingElement()) {
        for (const TiXmlElement* child = top->FirstChildElement(); child;
             child = child->NextSiblingElement()) {
            if (AbstractProperty* property = readElement(*child, 1)) {
                addChild(property);
            }
        }
    }
}

AbstractProperty* PropertyStore::readElement(const TiXmlElement& element, int32_t depth) {
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

    if (value || node) {
        for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute;
             attribute = attribute->Next()) {
            const std::string attributeName = validUtf8(attribute->NameTStr());
            if (attributeName == "id") {
                continue;
            }
            if (node) {
                node->addChild(new PropertyValue(attributeName, attribute->ValueStr(), true));
            } else if (attributeName == "value") {
                value->setText(stringToWString(attribute->ValueStr()));
            }
        }
        for (const TiXmlNode* child = element.FirstChild(); child; child = child->NextSibling()) {
            if (const TiXmlText* text = child->ToText()) {
                std::wstring content = stringToWString(text->ValueStr());
                if (node) {
                    node->addChild(new PropertyValue("value", std::move(content)));
                } else {
                    value->setText(std::move(content));
                }
                break;
            }
        }
    }
    if (list) {
        for (const TiXmlElement* child = element.FirstChildElement(); child;
             child = child->NextSiblingElement()) {
            AbstractProperty* childProperty = readElement(*child, depth + 1);
            if (!childProperty) {
                RefHolder<AbstractProperty> discarded(property);  // deletes what was built
                return nullptr;
            }
            list->addChild(childProperty);
        }
    }
    return property;
}

bool PropertyStore::writeElement(AbstractProperty* property, TiXmlNode* parent, bool insideNode) {
    if (!property || !parent) {
        return true;
    }
    const std::string& name = property->getName();
    TiXmlElement* parentElement = parent->ToElement();
    // An untyped value becomes an attribute of its node, unless its name could not be read
    // back as one ("id" would rename the node): then it is written as an element like the rest.
    if (property->isValue() && property->getTypeWord().empty() && insideNode && parentElement &&
        name != "id" && isXmlName(name)) {
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
        return true;
    }
    if (auto* node = objectCast<PropertyNode>(property)) {
        for (const auto& [childName, child] : node->getNameTable()) {
            if (!writeElement(child.get(), element, true)) {
                return false;
            }
        }
        return true;
    }
    auto* vector = objectCast<PropertyVector>(property);
    for (int32_t i = 0; vector && i < vector->getChildCount(); ++i) {
        if (!writeElement(vector->getChildAt(i), element, false)) {
            return false;
        }
    }
    return true;
}

bool PropertyStore::save() {
    if (saveFileName.empty()) {
        return false;
    }
    TiXmlDocument document;
    writeDepth = 0;
    if (!writeElement(this, &document, false)) {
        return false;
    }
    TiXmlPrinter printer;
    document.Accept(&printer);
    std::string bytes = printer.Str();
    // A file the reader would refuse is not written: the old one, readable, stays.
    std::string refusal;
    if (bytes.size() > MAX_FILE_BYTES) {
        refusal = "larger than " + std::to_string(MAX_FILE_BYTES >> 20) + " MB";
    } else {
        bytes.append(4, '\0');
        XmlNestingScan scan;
        refusal = refusalOf(bytes, scan);
        bytes.resize(bytes.size() - 4);
    }
    if (!refusal.empty()) {
        logProblem("property file \"" + saveFileName + "\" not saved: " + refusal);
        return false;
    }

    const int32_t mode = currentMode();
    if (mode == 3 || mode == 4) {
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
