#include "framework/core/XmlNestingScan.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

// Each helper below follows the TinyXML routine it names, step for step: a pointer that the
// parser would turn null (an error or the end of the text) is null here too.

namespace {

using Byte = unsigned char;

// The parser's character classes under the C locale; every byte from 127 up counts as a letter.
bool isXmlSpace(Byte c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isAlpha(Byte c) {
    return c >= 127 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isNameStart(Byte c) {
    return isAlpha(c) || c == '_';
}

bool isNameChar(Byte c) {
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
}

bool isDigit(Byte c, bool hexadecimal) {
    return (c >= '0' && c <= '9') ||
           (hexadecimal && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
}

// StringEqual: `p` begins with `tag` (ASCII letters compared without case when asked).
bool startsWith(const Byte* p, std::string_view tag, bool ignoreCase = false) {
    if (!p || !*p) {
        return false;
    }
    for (const char t : tag) {
        Byte c = *p++;
        Byte wanted = static_cast<Byte>(t);
        if (ignoreCase) {
            c = c >= 'A' && c <= 'Z' ? static_cast<Byte>(c - 'A' + 'a') : c;
            wanted =
                wanted >= 'A' && wanted <= 'Z' ? static_cast<Byte>(wanted - 'A' + 'a') : wanted;
        }
        if (c == 0 || c != wanted) {
            return false;
        }
    }
    return true;
}

// SkipWhiteSpace: also skips the byte-order mark and the two UTF-8 non-characters U+FFFE and
// U+FFFF; null when already at the end.
const Byte* skipWhiteSpace(const Byte* p) {
    if (!p || !*p) {
        return nullptr;
    }
    while (*p) {
        if (p[0] == 0xEF &&
            ((p[1] == 0xBB && p[2] == 0xBF) || (p[1] == 0xBF && (p[2] == 0xBE || p[2] == 0xBF)))) {
            p += 3;
        } else if (isXmlSpace(*p)) {
            ++p;
        } else {
            break;
        }
    }
    return p;
}

// GetEntity: a numeric entity runs to the next ";" and is valid when the characters just
// before it, back to the rightmost "x" (or "#"), are digits.
const Byte* skipEntity(const Byte* p) {
    if (p[1] == '#' && p[2]) {
        const bool hexadecimal = p[2] == 'x';
        if (hexadecimal && !p[3]) {
            return nullptr;
        }
        const char* semicolon =
            std::strchr(reinterpret_cast<const char*>(p + (hexadecimal ? 3 : 2)), ';');
        if (!semicolon) {
            return nullptr;
        }
        const Byte* end = reinterpret_cast<const Byte*>(semicolon);
        const Byte mark = hexadecimal ? 'x' : '#';
        for (const Byte* q = end - 1; *q != mark; --q) {
            if (!isDigit(*q, hexadecimal)) {
                return nullptr;
            }
        }
        return end + 1;
    }
    for (const std::string_view named : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"}) {
        if (startsWith(p, named)) {
            return p + named.size();
        }
    }
    return p + 1;
}

// GetChar: a whole UTF-8 sequence by its lead byte (taking what follows, whatever it is), or an
// entity.
const Byte* nextChar(const Byte* p) {
    const int length = TiXmlBase::utf8ByteTable[*p];
    if (length == 1) {
        return *p == '&' ? skipEntity(p) : p + 1;
    }
    return length > 0 ? p + length : nullptr;
}

// ReadText up to a one-character end mark: the position after the mark, null when the text
// or an entity ends first, or when nothing follows the mark.
const Byte* readText(const Byte* p, Byte end) {
    while (p && *p && *p != end) {
        p = nextChar(p);
    }
    if (p && *p) {
        ++p;
    }
    return p && *p ? p : nullptr;
}

// TiXmlAttribute::Parse: name, "=", then a quoted or bare value.
const Byte* skipAttribute(const Byte* p) {
    p = skipWhiteSpace(p);
    if (!p || !*p || !isNameStart(*p)) {
        return nullptr;
    }
    while (*p && isNameChar(*p)) {
        ++p;
    }
    if (!*p) {
        return nullptr;
    }
    p = skipWhiteSpace(p);
    if (!p || *p != '=') {
        return nullptr;
    }
    p = skipWhiteSpace(p + 1);
    if (!p || !*p) {
        return nullptr;
    }
    if (*p == '\'' || *p == '"') {
        return readText(p + 1, *p);
    }
    for (; *p && !isXmlSpace(*p) && *p != '/' && *p != '>'; ++p) {
        if (*p == '\'' || *p == '"') {
            return nullptr;
        }
    }
    return p;
}

// TiXmlDeclaration::Parse: only "version", "encoding" and "standalone" are read as attributes
// (quotes and all); anything else is skipped up to white space or ">".
const Byte* skipDeclaration(const Byte* p) {
    p += 5;  // "<?xml"
    while (p && *p) {
        if (*p == '>') {
            return p + 1;
        }
        p = skipWhiteSpace(p);
        if (startsWith(p, "version", true) || startsWith(p, "encoding", true) ||
            startsWith(p, "standalone", true)) {
            p = skipAttribute(p);
        } else {
            while (p && *p && *p != '>' && !isXmlSpace(*p)) {
                ++p;
            }
        }
    }
    return nullptr;
}

// TiXmlComment::Parse and TiXmlUnknown::Parse: plain searches; an unclosed one runs to the end.
const Byte* skipTo(const Byte* p, std::string_view end) {
    while (*p && !startsWith(p, end)) {
        ++p;
    }
    return *p ? p + end.size() : p;
}

// TiXmlText::Parse of a CDATA section.
const Byte* skipCdata(const Byte* p) {
    p += std::strlen("<![CDATA[");
    while (*p && !startsWith(p, "]]>")) {
        ++p;
    }
    if (*p) {
        p += 3;
    }
    return *p ? p : nullptr;
}

struct StartTag {
    const Byte* after = nullptr;  // null on an error
    std::string_view name;
    bool opensContent = false;  // ">" rather than "/>"
    int32_t attributes = 0;
};

// The start of TiXmlElement::Parse, up to and including the tag's ">" or "/>". The walk stops
// (as an error) at the attribute after `maxAttributes`, so a wide tag costs no more than that.
StartTag readStartTag(const Byte* p, int32_t maxAttributes) {
    StartTag tag;
    p = skipWhiteSpace(p + 1);
    if (!p || !isNameStart(*p)) {
        return tag;
    }
    const Byte* name = p;
    while (*p && isNameChar(*p)) {
        ++p;
    }
    tag.name = std::string_view(reinterpret_cast<const char*>(name), p - name);
    while (p && *p) {
        p = skipWhiteSpace(p);
        if (!p || !*p) {
            return tag;
        }
        if (*p == '/') {
            if (p[1] == '>') {
                tag.after = p + 2;
            }
            return tag;
        }
        if (*p == '>') {
            tag.after = p + 1;
            tag.opensContent = true;
            return tag;
        }
        if (tag.attributes == maxAttributes) {
            ++tag.attributes;
            return tag;
        }
        p = skipAttribute(p);
        ++tag.attributes;
    }
    return tag;
}

}  // namespace

XmlNestingScan scanXmlNesting(const char* text, int32_t maxDepth, int32_t maxAttributes,
                              const XmlNodeCosts& costs) {
    XmlNestingScan scan;
    // What the nodes cost. The walk goes on past the limit, so that a damaged text is told as
    // malformed, not as too large.
    size_t& memory = scan.memory;
    const Byte* const begin = reinterpret_cast<const Byte*>(text);
    // Names of the open elements, innermost last.
    std::vector<std::string_view> open;
    bool anyNode = false;
    auto stopCleanly = [&](const Byte* at) {
        scan.outcome = !anyNode               ? XmlNestingScan::MALFORMED
                       : memory > costs.limit ? XmlNestingScan::TOO_MUCH_MEMORY
                                              : XmlNestingScan::FITS;
        scan.stopAt = static_cast<size_t>(at - begin);
        return scan;
    };

    const Byte* p = skipWhiteSpace(begin);
    for (;;) {
        if (!p || !*p) {
            if (!open.empty()) {
                return scan;  // an element without its end tag
            }
            return stopCleanly(begin + std::strlen(text));
        }
        if (*p != '<') {
            if (open.empty()) {
                return stopCleanly(p);  // the document level holds no text: the parser stops
            }
            memory += costs.otherNode;
            p = readText(p, '<');
            if (!p) {
                return scan;
            }
            p = p - 1;  // back on the "<"
            continue;
        }
        if (!open.empty() && p[1] == '/') {
            // The end tag must name the innermost open element exactly.
            const std::string_view name = open.back();
            if (!startsWith(p + 2, name)) {
                return scan;
            }
            p = skipWhiteSpace(p + 2 + name.size());
            if (!p || *p != '>') {
                return scan;
            }
            open.pop_back();
            p = skipWhiteSpace(p + 1);
            continue;
        }

        const Byte* const node = p;
        const bool firstNode = !anyNode;
        anyNode = true;
        if (startsWith(p, "<?xml", true) || p[1] == '!' || !isNameStart(p[1])) {
            memory += costs.otherNode;
        }
        if (startsWith(p, "<?xml", true)) {
            p = skipDeclaration(p);
        } else if (startsWith(p, "<!--")) {
            p = skipTo(p + 4, "-->");
        } else if (startsWith(p, "<![CDATA[")) {
            p = skipCdata(p);
        } else if (p[1] == '!' || !isNameStart(p[1])) {
            p = skipTo(p + 1, ">");
        } else {
            const StartTag tag = readStartTag(p, maxAttributes);
            if (tag.attributes > maxAttributes) {
                scan.outcome = XmlNestingScan::TOO_MANY_ATTRIBUTES;
                return scan;
            }
            memory += costs.element + costs.attribute * static_cast<size_t>(tag.attributes);
            if (!tag.after) {
                return scan;
            }
            if (tag.opensContent) {
                open.push_back(tag.name);
                scan.depth = std::max(scan.depth, static_cast<int32_t>(open.size()));
                if (scan.depth > maxDepth) {
                    scan.outcome = XmlNestingScan::TOO_DEEP;
                    return scan;
                }
            }
            p = tag.after;
        }
        if (!p) {
            // A declaration or CDATA section that breaks off: at the document level the parser
            // stops there without an error, inside an element it reports one. A document that
            // begins so holds no element at all, and counts as malformed here.
            if (!open.empty() || firstNode) {
                return scan;
            }
            return stopCleanly(node);
        }
        p = skipWhiteSpace(p);
    }
}
