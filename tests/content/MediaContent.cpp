#include "content/MediaContent.h"

#include <gtest/gtest.h>

#include <fstream>

#include "content/ContentXml.h"
#include "framework/core/NumberText.h"
#include "framework/core/StringUtils.h"

namespace media {

std::map<std::string, int32_t> geometryValues() {
    std::map<std::string, int32_t> values;
    std::vector<ContentNode> top;
    std::string error;
    if (!readContentFile((GAME_FOLDER / "media/properties/mahjong.xml").string(), top, error)) {
        ADD_FAILURE() << error;
        return values;
    }
    for (const ContentNode& node : top) {
        if (node.tag == "Integer") {
            // Read as the game reads it: colors are "#RRGGBB".
            values[node.id] = parseInt(stringToWString(node.value("value")));
        }
    }
    return values;
}

std::vector<std::string> builtFiles() {
    std::vector<std::string> files;
    std::ifstream manifest(std::filesystem::path(QUOVEL_BINARY_DIR) / "media-manifest.txt");
    EXPECT_TRUE(manifest) << "no media manifest in the build tree";
    for (std::string line; std::getline(manifest, line);) {
        if (!line.empty()) {
            files.push_back(line);
        }
    }
    return files;
}

}  // namespace media
