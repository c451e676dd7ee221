#pragma once
// The built media as the media tests see it: the game's folder, the integer values of its
// property file "mahjong.xml", and the list of files the build made.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace media {

inline const std::filesystem::path GAME_FOLDER = std::filesystem::path(QUOVEL_BINARY_DIR) / "game";

// The integer values of "media/properties/mahjong.xml" of the game's folder, by name.
std::map<std::string, int32_t> geometryValues();

// The files the build made under the game's folder ("media/..."), from its manifest.
std::vector<std::string> builtFiles();

}  // namespace media
