#pragma once

#include <map>
#include <string>
#include <vector>

// A small reader of the game's property XML for the content tests: every element keeps its
// tag, its "id", its other attributes and its child elements. Lookups by name follow the
// game's rule that a later element or attribute of a name replaces an earlier one.
struct ContentNode {
    std::string tag;
    std::string id;
    std::map<std::string, std::string> attributes;
    std::vector<ContentNode> children;

    // The last child element with this id, or null.
    const ContentNode* child(const std::string& name) const;
    // True when the name is an attribute or a child element.
    bool has(const std::string& name) const;
    // The text of a named value: an attribute, or a value element's "value" attribute.
    std::string value(const std::string& name) const;
    bool isValueTag() const;
};

// Reads a file; its top-level elements' children become `out` (in document order). False with
// a message when the file is missing or not well-formed.
bool readContentFile(const std::string& path, std::vector<ContentNode>& out, std::string& error);

// The last node of a list with this id, or null.
const ContentNode* findById(const std::vector<ContentNode>& nodes, const std::string& id);
