#include <gtest/gtest.h>

#include <tinyxml.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "framework/core/XmlNestingScan.h"

namespace xml_nesting_scan_test {

// The scan needs its text followed by four 0 bytes.
XmlNestingScan scan(const std::string& text, int32_t maxDepth = 1000) {
    std::string padded = text;
    padded.append(4, '\0');
    return scanXmlNesting(padded.c_str(), maxDepth);
}

std::string repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// Deepest element nesting of a parsed document, walked without recursion.
int elementDepth(const TiXmlNode& root) {
    int deepest = 0;
    std::vector<std::pair<const TiXmlNode*, int>> pending{{&root, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        for (const TiXmlElement* child = node->FirstChildElement(); child;
             child = child->NextSiblingElement()) {
            pending.emplace_back(child, depth + 1);
        }
    }
    return deepest;
}

struct Parsed {
    bool error = false;
    int depth = 0;
    std::string printed;  // the top-level elements
};

Parsed parseWithTinyXml(const std::string& text) {
    std::string padded = text;
    padded.append(4, '\0');
    TiXmlDocument document;
    document.Parse(padded.c_str(), nullptr, TIXML_ENCODING_UTF8);
    // Only elements become properties: other nodes are left out of the comparison.
    std::string printed;
    for (const TiXmlElement* top = document.FirstChildElement(); top;
         top = top->NextSiblingElement()) {
        TiXmlPrinter printer;
        top->Accept(&printer);
        printed += printer.Str();
    }
    return {document.Error(), elementDepth(document), printed};
}

TEST(XmlNestingScan, CountsElementsWithContent) {
    EXPECT_EQ(scan("<a/>").depth, 0);
    EXPECT_EQ(scan("<a><b/><c x='1'><d></d></c></a>").depth, 3);
    EXPECT_EQ(scan("<?xml version='1.0'?>\n<!-- <x><x> -->\n<a><![CDATA[<b><b>]]></a>").depth, 1);
    const XmlNestingScan plain = scan("<root><Node id=\"a\" text=\"x > y\">t</Node></root>");
    EXPECT_EQ(plain.outcome, XmlNestingScan::FITS);
    EXPECT_EQ(plain.depth, 2);
}

TEST(XmlNestingScan, StopsAtTheBoundWithoutWalkingTheRest) {
    const std::string deep = repeated("<a>", 256) + repeated("</a>", 256);
    EXPECT_EQ(scan(deep, 256).outcome, XmlNestingScan::FITS);
    EXPECT_EQ(scan(deep, 255).outcome, XmlNestingScan::TOO_DEEP);
    EXPECT_EQ(scan(repeated("<a>", 2000000), 256).outcome, XmlNestingScan::TOO_DEEP);
    EXPECT_EQ(scan(repeated("<a x=\"1\">text ", 300), 256).outcome, XmlNestingScan::TOO_DEEP);
}

TEST(XmlNestingScan, FollowsTheParsersQuirksThatHideEndTags) {
    // A numeric entity runs to the next ";", so these end tags are text to the parser, and
    // the elements after them nest deeper than a plain count of tags would say.
    const std::string hidden = "<a>" + repeated("<a>&#x</a></a>x41;", 5) + repeated("</a>", 6);
    EXPECT_EQ(scan(hidden).depth, 6);
    EXPECT_EQ(parseWithTinyXml(hidden).depth, 6);
    EXPECT_FALSE(parseWithTinyXml(hidden).error);
    // A UTF-8 lead byte takes the next three bytes, "<" included.
    const std::string swallowed = "<a><b>\xF0</b><b>\xF0</b><b></b></b></a>";
    EXPECT_EQ(scan(swallowed).depth, parseWithTinyXml(swallowed).depth);
    // Quoted attribute values may hold ">" and "</".
    EXPECT_EQ(scan("<a x='></a></a>'><a></a></a>").depth, 2);
}

TEST(XmlNestingScan, TellsWhereTheParserStopsWithoutAnError) {
    const std::string trailing = "<a></a> trailing <b><b><b>";
    const XmlNestingScan stopped = scan(trailing);
    EXPECT_EQ(stopped.outcome, XmlNestingScan::FITS);
    EXPECT_EQ(stopped.stopAt, trailing.find("trailing"));
    EXPECT_FALSE(parseWithTinyXml(trailing).error);

    const std::string brokenDeclaration = "<a/><?xml version=";
    EXPECT_EQ(scan(brokenDeclaration).stopAt, 4u);
    EXPECT_FALSE(parseWithTinyXml(brokenDeclaration).error);
    EXPECT_EQ(scan("<a/>").stopAt, 4u);
}

TEST(XmlNestingScan, ReportsWhatTheParserRejects) {
    for (const std::string text :
         {"", "   ", "text", "<a>", "<a></b>", "<a></ab>", "<a>text<", "<a x=1'/>", "<a x>",
          "<a>&#X41;</a>", "<a><?xml version=</a>", "<a><![CDATA[x</a>"}) {
        EXPECT_EQ(scan(text).outcome, XmlNestingScan::MALFORMED) << text;
        EXPECT_TRUE(parseWithTinyXml(text).error) << text;
    }
}

// Random texts made of XML pieces, quirks and stray characters: wherever the parser goes on,
// the scan must have gone the same way, so it never counts fewer levels than the parser nests.
TEST(XmlNestingScan, NeverUnderestimatesTheParserOnRandomTexts) {
    const std::vector<std::string> pieces = {"<a>",
                                             "</a>",
                                             "<b x='1'>",
                                             "</b>",
                                             "<c/>",
                                             "<a y=\"</a>\">",
                                             "&#x",
                                             "x41;",
                                             "&#",
                                             "65;",
                                             "&amp;",
                                             "<!--",
                                             "-->",
                                             "<![CDATA[",
                                             "]]>",
                                             "<?xml version='",
                                             "'?>",
                                             "<?pi ",
                                             "<!DOC ",
                                             "text",
                                             " ",
                                             "\n",
                                             "\"",
                                             "'",
                                             "<",
                                             ">",
                                             "/",
                                             "=",
                                             "\xF0",
                                             "\xC3\xA9",
                                             "\xEF\xBB\xBF",
                                             "</",
                                             "<_",
                                             "\x80",
                                             "<a>",
                                             "</a>",
                                             "&#x</a>x3c;",
                                             "&#</b>#60;",
                                             "<a\xEF\xBB\xBF>",
                                             "<?xml encoding=\"</a>\"?>",
                                             "<?xml foo=\"</a>\"?>"};
    std::mt19937 random(20240611);
    int checked = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int length = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i) {
            text += pieces[random() % pieces.size()];
        }
        const XmlNestingScan result = scan(text);
        const Parsed parsed = parseWithTinyXml(text);
        if (result.outcome == XmlNestingScan::MALFORMED) {
            // Either an error, or a document that holds nothing but a broken first node.
            EXPECT_TRUE(parsed.error || parsed.depth == 0) << text;
            continue;
        }
        ASSERT_EQ(result.outcome, XmlNestingScan::FITS);
        EXPECT_LE(parsed.depth, result.depth + 1) << text;
        // Cut where the scan says the parser stops, the text parses to the same document.
        const Parsed cut = parseWithTinyXml(text.substr(0, result.stopAt));
        EXPECT_EQ(cut.error, parsed.error) << text;
        EXPECT_EQ(cut.printed, parsed.printed) << text;
        ++checked;
    }
    EXPECT_GT(checked, 1000);
}

}  // namespace xml_nesting_scan_test
