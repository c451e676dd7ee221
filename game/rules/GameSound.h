#pragma once

#include <string>

// Plays the sound resource of that name from the resource section "game" once, at volume 255
// and centre pan, when it has loaded. A sound that is missing or not loaded yet plays nothing,
// like every sound failure.
void playGameSound(const std::string& name);
// The same for a sound of any section.
void playSectionSound(const std::string& name, const std::string& section);
