#pragma once

// A program folder in which a road plays its own small levels: the built game's folder is
// linked in entry by entry, except the data archive (so every file is read loose) and the
// level files, which are written here in the shipped format. Every floor door, casino series,
// rec-room entry and roof series is then one level whose board holds `groups` matching groups
// (pairs; triples for Triple), each tile free, so a road clears a level in a few clicks. The
// definitions, art, fonts, texts, sounds and the shipped layouts stay the built ones.

#include <cstdint>
#include <filesystem>

// The board of every level but Triple's, in the program folder's media/levels.
inline constexpr const char* ROAD_PAIR_BOARD = "road-pairs.xml";

// Builds (again) the program folder `folder` over the built game folder `built`.
void writeRoadProgram(const std::filesystem::path& built, const std::filesystem::path& folder,
                      int32_t groups);

// Gives the program folder `folder` (linked over `built` when new) a branding file that skips
// the maker's logo: the splash pictures and timings stay, seven seconds of frames go.
void skipMakersLogo(const std::filesystem::path& built, const std::filesystem::path& folder);
