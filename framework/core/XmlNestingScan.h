#pragma once

#include <cstddef>
#include <cstdint>

// TinyXML parses nested elements by recursion, so a hostile file of a million opening tags
// would overflow the stack before any error could be reported; it also looks up every attribute
// among the element's earlier ones, so a wide element costs the square of its width, and each
// element or attribute becomes a property of some hundred bytes. This walks a text the way
// TinyXML 2.6 does (UTF-8 encoding), without recursion, and tells how deep its elements nest
// and whether an element is too wide or its nodes would take too much memory, before the text
// is handed to the parser.
//
// The walk mirrors the parser's own quirks, because they decide where an element really ends:
// a numeric entity runs to the next ";" whatever lies between ("&#x</a>x41;" is one "A"), and a
// UTF-8 lead byte takes the following bytes with it even when one of them is "<".
struct XmlNestingScan {
    enum Outcome {
        FITS,      // nests no deeper than asked; `stopAt` tells where the parser would stop
        TOO_DEEP,  // some element lies deeper than asked
        TOO_MANY_ATTRIBUTES,  // some element has more attributes than asked
        TOO_MUCH_MEMORY,      // the nodes would take more memory than asked
        MALFORMED  // the parser would report an error, or would find no node but a broken one
    };

    Outcome outcome = MALFORMED;
    // Deepest nesting of elements with content ("<a>" at the top level is 1; an empty "<a/>"
    // adds nothing, so the parser's element nesting is at most this + 1).
    int32_t depth = 0;
    // Where the parser stops reading without an error (text after the last top-level node,
    // a broken declaration at the top level), as an offset; the text's length otherwise.
    // Cutting the text there leaves the parser nothing it would read that this walk did not.
    size_t stopAt = 0;
    // What the nodes cost together (XmlNodeCosts), counted to where the walk ended.
    size_t memory = 0;
};

// The memory that the parser and what is built from its document take per node, in bytes, and
// the most all nodes may take together.
struct XmlNodeCosts {
    size_t element = 0;
    size_t attribute = 0;
    // Texts, CDATA sections, comments, declarations and unknown tags.
    size_t otherNode = 0;
    size_t limit = SIZE_MAX;
};

// Walks `text` up to its first 0 byte, which must be followed by at least three more 0 bytes
// (the parser can step over the first one inside a UTF-8 sequence). Elements nesting deeper than
// `maxDepth` stop the walk with TOO_DEEP, an element of more than `maxAttributes` attributes with
// TOO_MANY_ATTRIBUTES; a text that would otherwise fit but whose nodes together cost more than
// `costs.limit` gives TOO_MUCH_MEMORY.
XmlNestingScan scanXmlNesting(const char* text, int32_t maxDepth, int32_t maxAttributes = INT32_MAX,
                              const XmlNodeCosts& costs = {});
