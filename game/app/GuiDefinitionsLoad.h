#pragma once

#include <array>

// The game's property files, in the order they are read: a later file's definitions replace an
// earlier one's of the same name.
inline constexpr std::array<const char*, 6> GUI_PROPERTY_FILES = {
    "media/properties/dialogs.xml", "media/properties/default.xml",
    "media/properties/dynamic.xml", "media/properties/commontext.xml",
    "media/properties/text.xml",    "media/properties/mahjong.xml"};

// Start-up: appends the six files to the GUI definitions, installs the hook that reads the
// tuning constants once the files are in, and loads them all in one call. False when a file
// could not be read.
bool loadGuiDefinitions();
