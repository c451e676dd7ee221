#pragma once

#include <cstdint>
#include <string>
#include <vector>

class BasicProperties;

// Every constant once: its name is both the member and the BasicProperties key.
#define QUOVEL_TUNING_CONSTANTS(INTEGER, FLOAT) \
    INTEGER(BONUS_ANIM_BONUS_DELAY)             \
    INTEGER(BONUS_ANIM_EXPLOSION_TIME)          \
    INTEGER(BONUS_ANIM_FLASH_COUNT)             \
    INTEGER(BONUS_ANIM_FLASH_MSPF)              \
    INTEGER(BONUS_ANIM_FLY_TIME)                \
    INTEGER(BONUS_ANIM_SCALE_DELAY)             \
    INTEGER(BONUS_ANIM_SHINE_ALPHA)             \
    INTEGER(BONUS_ANIM_SHINE_FADE_TIME)         \
    INTEGER(BONUS_ANIM_SHINE_MSPF)              \
    INTEGER(BONUS_ANIM_SHINE_TIME)              \
    INTEGER(BONUS_ANIM_STAR_INTERVAL)           \
    INTEGER(BUILD_LAYOUT_DURATION)              \
    INTEGER(BUTTON_OK_APPEAR_TIME)              \
    INTEGER(DIALOG_APPEAR_TIME)                 \
    INTEGER(DIALOG_BACKGROUND_ALPHA)            \
    INTEGER(DIALOG_FADE_TIME)                   \
    INTEGER(DIALOG_ZOOM_APPEAR_TIME)            \
    INTEGER(DIALOG_ZOOM_DISAPPEAR_TIME)         \
    INTEGER(DIALOG_ZOOM_HIDE_DELAY)             \
    INTEGER(DIALOG_ZOOM_SCROLL_TIME)            \
    INTEGER(DOOR_ANIM_DELAY)                    \
    INTEGER(DORRICK_STAT_FREQUENCY)             \
    INTEGER(DORRICK_TIP_FIRST_DELAY)            \
    INTEGER(DORRICK_TIP_FREQUENCY)              \
    INTEGER(DORRICK_TIP_MINIMAL_TIME_APPEAR)    \
    INTEGER(ELEVATOR_OPENING_SIZE)              \
    INTEGER(FLOOR_COMPLETE_JINGLE_DELAY)        \
    INTEGER(GOODIE_APPEAR_TIME)                 \
    FLOAT(GOODIE_WIGGLE_ANGLE)                  \
    INTEGER(GOODIE_WIGGLE_TIME)                 \
    INTEGER(HINT_AUTO_CLOSE_TIME)               \
    INTEGER(HINT_CLICK_TIME_RIVER)              \
    INTEGER(HINT_CLICK_TIME_SEASONFLOWERS)      \
    INTEGER(HINT_CLOCK_TIME_PENALTY)            \
    INTEGER(HINT_ENTER_FROM_OPEN)               \
    INTEGER(HINT_TIME_PENALTY)                  \
    INTEGER(INFO_DIALOGS_ANIM_TIME)             \
    INTEGER(LABEL_APPEAR_TIME)                  \
    INTEGER(LAYER_OFFSETX)                      \
    INTEGER(LAYER_OFFSETY)                      \
    INTEGER(LEVELSTART_TIMES)                   \
    INTEGER(LEVEL_INFO_APPEAR)                  \
    INTEGER(LEVEL_INFO_DELAY)                   \
    INTEGER(LEVEL_INFO_DISAPPEAR)               \
    INTEGER(MAX_FIRST_RADIUS)                   \
    INTEGER(MAX_NUM_HINTS)                      \
    INTEGER(MAX_NUM_SHUFFLES)                   \
    INTEGER(MAX_SECOND_RADIUS)                  \
    INTEGER(MIN_FIRST_RADIUS)                   \
    INTEGER(MIN_NUM_HINTS)                      \
    INTEGER(MIN_NUM_SHUFFLES)                   \
    INTEGER(MIN_SECOND_RADIUS)                  \
    FLOAT(MULTIPLIER_MINIMUM)                   \
    FLOAT(MULTIPLIER_PERCENTAGE)                \
    INTEGER(NUM_DORRICK_MISCELLANEOUS)          \
    INTEGER(NUM_DORRICK_STATS)                  \
    INTEGER(NUM_DORRICK_TIPS)                   \
    INTEGER(NUM_DORRICK_UNLOCK_TEXT)            \
    INTEGER(PANEL_PADDING)                      \
    FLOAT(PATH_ANIM_DELAY_MUL)                  \
    INTEGER(PATH_ANIM_FADE_TIME)                \
    INTEGER(PATH_APPEAR_DELAY)                  \
    INTEGER(PREVIEW_HEIGHT)                     \
    INTEGER(PREVIEW_LAYER_OFFSETX)              \
    INTEGER(PREVIEW_LAYER_OFFSETY)              \
    FLOAT(PREVIEW_SCALE)                        \
    FLOAT(PREVIEW_SCALE_RECROOM)                \
    INTEGER(PREVIEW_SCROLL_DURATION)            \
    INTEGER(PREVIEW_TILE_FACE_HEIGHT)           \
    INTEGER(PREVIEW_TILE_FACE_WIDTH)            \
    INTEGER(PREVIEW_WIDTH)                      \
    INTEGER(RENDERER_SHADOW_OFFSETX)            \
    INTEGER(RENDERER_SHADOW_OFFSETY)            \
    INTEGER(RENDERER_TILE_FACE_HEIGHT)          \
    INTEGER(RENDERER_TILE_FACE_WIDTH)           \
    INTEGER(RENDERER_TILE_LAYER_OFFSETX)        \
    INTEGER(RENDERER_TILE_LAYER_OFFSETY)        \
    INTEGER(RENDERER_TILE_SIDE_HEIGHT)          \
    INTEGER(RENDERER_TILE_SIDE_WIDTH)           \
    INTEGER(SIDEBOARD_FREECELL_PADDING_X)       \
    INTEGER(SIDEBOARD_FREECELL_PADDING_Y)       \
    INTEGER(SIDEBOARD_HEIGHT_PER_TILE)          \
    INTEGER(SIDEBOARD_LOCATIONX)                \
    INTEGER(SIDEBOARD_LOCATIONY)                \
    INTEGER(SIDEBOARD_PADDING_X)                \
    INTEGER(SIDEBOARD_PADDING_Y)                \
    INTEGER(SIDEBOARD_SPEED_EXTRA_X)            \
    INTEGER(SIDEBOARD_SPEED_EXTRA_Y)            \
    INTEGER(SIDEBOARD_WIDTH_PER_TILE)           \
    INTEGER(SMALL_STAR_APPEAR_TIME)             \
    INTEGER(SMALL_STAR_Y)                       \
    INTEGER(STARS_LEFT_PADDING)                 \
    INTEGER(STAR_MOVE_TIME)                     \
    INTEGER(STAR_WIDTH)                         \
    INTEGER(STAR_Y)                             \
    INTEGER(SUPER_HINT_DURATION)                \
    INTEGER(TEAR_DOWN_LAYOUT_DURATION)          \
    INTEGER(TEAR_DOWN_LAYOUT_MIN_DURATION)      \
    INTEGER(TILE_BLOCKED_COLOR)                 \
    INTEGER(TILE_BLOCKED_MAX_ALPHA)             \
    INTEGER(TILE_BLOCKED_MIN_ALPHA)             \
    INTEGER(TILE_DARKEN_ALPHA)                  \
    INTEGER(TILE_DARKEN_COLOR)                  \
    INTEGER(TILE_FACE_HEIGHT)                   \
    INTEGER(TILE_FACE_OFFSETX)                  \
    INTEGER(TILE_FACE_OFFSETY)                  \
    INTEGER(TILE_FACE_WIDTH)                    \
    INTEGER(TILE_FADEOUT_TIME)                  \
    INTEGER(TILE_FLASH_COLOR)                   \
    INTEGER(TILE_FLASH_MAX_ALPHA)               \
    INTEGER(TILE_FLIGHT_TIME)                   \
    INTEGER(TILE_HEIGHT)                        \
    INTEGER(TILE_HINT_COLOR)                    \
    INTEGER(TILE_HINT_HOVER_COLOR)              \
    INTEGER(TILE_HINT_MAX_ALPHA)                \
    INTEGER(TILE_HINT_MIN_ALPHA)                \
    INTEGER(TILE_HOVER_ALPHA)                   \
    INTEGER(TILE_HOVER_COLOR)                   \
    INTEGER(TILE_LAYER_OFFSETX)                 \
    INTEGER(TILE_LAYER_OFFSETY)                 \
    INTEGER(TILE_SELECT_ALPHA)                  \
    INTEGER(TILE_SELECT_COLOR)                  \
    INTEGER(TILE_SHADOW_OFFSETX)                \
    INTEGER(TILE_SHADOW_OFFSETY)                \
    INTEGER(TILE_SIDEBOARD_FADE_TIME)           \
    INTEGER(TILE_SUPER_HINT_ALPHA)              \
    INTEGER(TILE_SUPER_HINT_COLOR)              \
    INTEGER(TILE_WIDTH)                         \
    INTEGER(TIMEBAR_ANIMATION_DURATION)         \
    INTEGER(TIME_ALMOST_UP_ANIM)                \
    INTEGER(TIME_ALMOST_UP_SOUND)               \
    INTEGER(TIME_BONUS)                         \
    INTEGER(TROPHY_CLOSE_CALL_MILLISECONDS)     \
    INTEGER(TROPHY_COMBO_FRENZY_MULTIPLIER)     \
    INTEGER(TROPHY_DIALOG_TIME)                 \
    INTEGER(TROPHY_HEADER_APPEAR)               \
    INTEGER(TROPHY_HEADER_DISAPPEAR)            \
    INTEGER(TROPHY_INFO_SHOW_TIME)              \
    INTEGER(TROPHY_PLENTY_OF_TIME_PERCENTAGE)   \
    INTEGER(TROPHY_SPEEDFREAK_TIME)             \
    INTEGER(TROPHY_STAR_COUNT)

// The game's timings, sizes, colors, alphas, counts and thresholds, taken once from
// BasicProperties at start-up (a missing name reads 0 and is inserted with 0). Six are floats,
// authored as Float values; the rest are integers. Values used as durations are milliseconds,
// _COLOR values colors, _ALPHA values opacities 0-255, sizes and offsets pixels.
struct TuningConstants {
#define QUOVEL_DECLARE_INTEGER(Name) int32_t Name = 0;
#define QUOVEL_DECLARE_FLOAT(Name) float Name = 0.0f;
    QUOVEL_TUNING_CONSTANTS(QUOVEL_DECLARE_INTEGER, QUOVEL_DECLARE_FLOAT)
#undef QUOVEL_DECLARE_FLOAT
#undef QUOVEL_DECLARE_INTEGER

    // Every constant from `properties`.
    void readFrom(BasicProperties& properties);
};

// The process-wide constants; all 0 until loadTuningConstants.
const TuningConstants& tuning();
// Reads the process-wide constants from the BasicProperties singleton; all 0 without one.
void loadTuningConstants();
// The constants the BasicProperties singleton lacks (all without one), which would read 0.
std::vector<std::string> missingTuningConstants();
