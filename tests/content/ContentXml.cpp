#include "content/ContentXml.h"

#include <tinyxml.h>

namespace content_xml {

ContentNode readElement(const TiXmlElement* e) {
    ContentNode node;
    node.tag = e->Value();
    for (const TiXmlAttribute* a = e->FirstAttribute(); a != nullptr; a = a->Next()) {
        if (std::string(a->Name()) == "id") {
            node.id = a->Value();
        } else {
            node.attributes[a->Name()] = a->Value();
        }
    }
    for (const TiXmlElement* c = e->FirstChildElement(); c != nullptr;
         c = c->NextSiblingElement()) {
        node.children.push_back(readElement(c));
    }
    return node;
}

}  // namespace content_xml

const ContentNode* ContentNode::child(const std::string& name) const {
    return findById(children, name);
}

bool ContentNode::has(const std::string& name) const {
    return attributes.count(name) != 0 || child(name) != nullptr;
}

bool ContentNode::isValueTag() const {
    return tag == "Integer" || tag == "Double" || tag == "Float" || tag == "Boolean" ||
           tag == "String" || tag == "Text";
}

std::string ContentNode::value(const std::string& name) const {
    // A node keeps one child per name; the last one written wins. Attributes come first in
    // the element, so a child element of the same name replaces an attribute.
    if (const ContentNode* c = child(name)) {
        auto it = c->attributes.find("value");
        return it == c->attributes.end() ? std::string() : it->second;
    }
    auto it = attributes.find(name);
    return it == attributes.end() ? std::string() : it->second;
}

const ContentNode* findById(const std::vector<ContentNode>& nodes, const std::string& id) {
    const ContentNode* found = nullptr;
    for (const ContentNode& n : nodes) {
        if (n.id == id) {
            found = &n;
        }
    }
    return found;
}

bool readContentFile(const std::string& path, std::vector<ContentNode>& out, std::string& error) {
    TiXmlDocument doc;
    if (!doc.LoadFile(path.c_str(), TIXML_ENCODING_UTF8)) {
        error = path + ": " + doc.ErrorDesc();
        return false;
    }
    out.clear();
    for (const TiXmlElement* top = doc.FirstChildElement(); top != nullptr;
         top = top->NextSiblingElement()) {
        for (const TiXmlElement* c = top->FirstChildElement(); c != nullptr;
             c = c->NextSiblingElement()) {
            out.push_back(content_xml::readElement(c));
        }
    }
    return true;
}
