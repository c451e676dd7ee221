#include "tools/levels/LayoutFile.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace levels {

bool writeLayoutFile(const std::string& path, const std::string& displayName,
                     const LayoutShape& shape, const std::vector<RackSpec>& racks) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    std::fprintf(file, "<root>\n  <Layout id=\"layout\" displayname=\"%s\">\n",
                 displayName.c_str());
    std::fprintf(file, "    <Vector id=\"tiles\">\n");
    for (const TilePos& t : shape.sorted()) {
        std::fprintf(file, "      <Tile x=\"%d\" y=\"%d\" z=\"%d\"/>\n", t.x, t.y, t.z);
    }
    std::fprintf(file, "    </Vector>\n");
    if (!racks.empty()) {
        std::fprintf(file, "    <Vector id=\"sideboards\">\n");
        for (const RackSpec& r : racks) {
            std::fprintf(file, "      <SideBoard x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\"/>\n",
                         r.x, r.y, r.columns, r.rows);
        }
        std::fprintf(file, "    </Vector>\n");
    }
    std::fprintf(file, "  </Layout>\n</root>\n");
    return std::fclose(file) == 0;
}

namespace {

int intAttribute(const TiXmlElement* e, const char* name) {
    const char* text = e->Attribute(name);
    return text == nullptr ? 0 : std::atoi(text);
}

const TiXmlElement* childWithId(const TiXmlElement* parent, const char* id) {
    const TiXmlElement* found = nullptr;
    for (const TiXmlElement* e = parent->FirstChildElement(); e != nullptr;
         e = e->NextSiblingElement()) {
        const char* eid = e->Attribute("id");
        if (eid != nullptr && std::strcmp(eid, id) == 0) {
            found = e;  // a later element of the same name replaces an earlier one
        }
    }
    return found;
}

RackSpec readRack(const TiXmlElement* e) {
    return {intAttribute(e, "width"), intAttribute(e, "height"), intAttribute(e, "x"),
            intAttribute(e, "y")};
}

}  // namespace

bool readLayoutFile(const std::string& path, LayoutFileData& out) {
    TiXmlDocument doc;
    if (!doc.LoadFile(path.c_str())) {
        return false;
    }
    const TiXmlElement* layout = nullptr;
    for (const TiXmlElement* top = doc.FirstChildElement(); top != nullptr;
         top = top->NextSiblingElement()) {
        if (const TiXmlElement* e = childWithId(top, "layout")) {
            layout = e;
        }
    }
    if (layout == nullptr) {
        return false;
    }
    out = {};
    if (const char* name = layout->Attribute("displayname")) {
        out.displayName = name;
    }
    if (const TiXmlElement* tiles = childWithId(layout, "tiles")) {
        for (const TiXmlElement* t = tiles->FirstChildElement(); t != nullptr;
             t = t->NextSiblingElement()) {
            out.tiles.push_back({intAttribute(t, "x"), intAttribute(t, "y"), intAttribute(t, "z")});
        }
    }
    if (const TiXmlElement* one = childWithId(layout, "sideboard")) {
        out.racks.push_back(readRack(one));
    } else if (const TiXmlElement* many = childWithId(layout, "sideboards")) {
        for (const TiXmlElement* r = many->FirstChildElement(); r != nullptr;
             r = r->NextSiblingElement()) {
            out.racks.push_back(readRack(r));
        }
    }
    return true;
}

}  // namespace levels
