#pragma once

#include <cstdint>

class BasicProperties;

// The tuning constants that the rules read, taken once from BasicProperties' Integer table at
// start-up (a missing name reads 0). Their values live in the game's property files.
struct TuningConstants {
    int32_t TILE_FACE_WIDTH = 0;  // face size in the tile-face sheet
    int32_t TILE_FACE_HEIGHT = 0;
    int32_t TILE_WIDTH = 0;  // size of a drawn tile picture
    int32_t TILE_HEIGHT = 0;
    int32_t RENDERER_TILE_FACE_WIDTH = 0;
    int32_t RENDERER_TILE_FACE_HEIGHT = 0;
    int32_t RENDERER_TILE_SIDE_WIDTH = 0;
    int32_t SIDEBOARD_WIDTH_PER_TILE = 0;
    int32_t SIDEBOARD_HEIGHT_PER_TILE = 0;
    int32_t SIDEBOARD_PADDING_X = 0;
    int32_t SIDEBOARD_PADDING_Y = 0;
    int32_t SIDEBOARD_FREECELL_PADDING_X = 0;
    int32_t SIDEBOARD_FREECELL_PADDING_Y = 0;
    int32_t SIDEBOARD_SPEED_EXTRA_X = 0;
    int32_t SIDEBOARD_SPEED_EXTRA_Y = 0;
    int32_t TILE_SELECT_COLOR = 0;
    int32_t TILE_SELECT_ALPHA = 0;
    int32_t TILE_HOVER_COLOR = 0;
    int32_t TILE_HOVER_ALPHA = 0;
    int32_t TILE_SUPER_HINT_COLOR = 0;
    int32_t TILE_SUPER_HINT_ALPHA = 0;
    int32_t TILE_FADEOUT_TIME = 0;  // milliseconds
    int32_t TILE_FLIGHT_TIME = 0;   // milliseconds of a tile's flight to a side-board slot
    int32_t MIN_NUM_SHUFFLES = 0;
    int32_t MAX_NUM_SHUFFLES = 0;
    int32_t MIN_NUM_HINTS = 0;
    int32_t MAX_NUM_HINTS = 0;

    // Every constant from the Integer table of `properties`.
    void readFrom(BasicProperties& properties);
};

// The process-wide constants; all 0 until loadTuningConstants.
const TuningConstants& tuning();
// Reads the process-wide constants from the BasicProperties singleton (nothing without one).
void loadTuningConstants();
