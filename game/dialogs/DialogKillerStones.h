#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/rules/Progression.h"

class Font;
class Image;
class Label;
class Sound;
class Sprite;

// The hidden arcade game: number tiles fall from the top of a black screen, and the player
// steers the gold trophy along the bottom with the mouse, shooting upwards with the left button
// and throwing a fan of stars with the right. A tile that reaches the bottom ends the game and
// enters the score in the "minigame" table; every 25 hits clear a level and the next one is
// faster. Every tenth hit that does not clear the level awards a power-up.
//
// Everything that moves is a sprite among the dialog's components, told apart by its tag. The
// shot list holds what can hit a tile, the tile list the falling tiles, and the object list
// every shot made, until the next level drops those that have ended.
class DialogKillerStones : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogKillerStones)
public:
    // Tags of the sprites in the shot list.
    enum ShotTag : int32_t {
        SHOT_PLAIN = 0,  // an ordinary shot or a laser segment
        SHOT_BOMB_STAR = 1,
        SHOT_SHIELD = 2,
        SHOT_FRAG = 3,
        SHOT_FRAG_PIECE = 4,
    };
    // Tags of the sprites in the tile list.
    enum TileTag : int32_t { TILE_STRAIGHT = 0, TILE_WEAVING = 1 };
    enum SpecialKind : int32_t { SPECIAL_NONE = 0, SPECIAL_LASER = 1, SPECIAL_FRAG = 2 };
    enum PowerUp : int32_t {
        POWER_UP_NONE = -1,
        POWER_UP_RAPID_FIRE = 0,
        POWER_UP_LASER = 1,
        POWER_UP_FRAG = 2,
        POWER_UP_BOMB = 3,
        POWER_UP_SHIELD = 4,
        POWER_UP_SCORE = 5,
    };
    static constexpr int32_t HITS_PER_LEVEL = 25;
    static constexpr const char* SCORE_TABLE = "minigame";

    // Waits (bounded) for the sections it draws from, takes its pictures and sounds, and builds
    // the black screen with its three status labels and the ship.
    explicit DialogKillerStones(PropertyNode* definition);
    ~DialogKillerStones() override;

    // The base's show, the start sound, the intro and level captions; the first tile falls
    // 4500 ms later and the ship starts under the mouse.
    void show() override;
    // The frame step.
    void update(int32_t elapsedMs) override;

    // Input; none of it is consumed. Escape closes at once in any state.
    bool onKeyUp(int32_t key) override;
    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override;
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    bool onRightButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    // Left button: fires (queued during the cooldown), continues after a cleared level, closes
    // after a game over.
    bool onFireButton(int32_t x, int32_t y, int32_t buttons, bool doubleClick);
    // Right button: throws a bomb.
    bool onBombButton(int32_t x, int32_t y, int32_t buttons, bool doubleClick);

    // Function-modifier callbacks (the sender is the modifier).
    // Ends the game; it does nothing once the game is over.
    int32_t gameOver(BaseObject* sender);
    // Marks the modifier's target for removal and takes it out of the shot list.
    int32_t removeObject(BaseObject* sender);

    void nextLevel();
    // Gives the power-up of that index (POWER_UP_RAPID_FIRE to POWER_UP_SCORE) with its
    // captions and sounds; the award after every tenth hit draws the index.
    void grantPowerUp(int32_t index);
    void addObject(Sprite* sprite);
    // Drops from the object list every sprite that has been removed from the screen.
    void purgeFinished();
    void clearShots(bool fade);
    void clearTiles(bool fade);
    // A shot sprite right after the ship; registered ones can hit tiles.
    Sprite* createShot(int32_t x, int32_t y, bool registered);
    // A new falling tile at a random place of the top edge.
    Sprite* spawnTile();

    // A caption that pops in after `delay`, rises 100 pixels over `duration` and, when asked,
    // fades out over its last 400 ms and goes.
    Label* floatLabel(const std::wstring& text, bool removeAtEnd, int32_t x, int32_t y,
                      int32_t delay, int32_t duration, Font* font);
    // floatLabel in the header font at the screen's middle, `dy` below it.
    Label* showHeader(const std::wstring& text, bool removeAtEnd, int32_t dy, int32_t delay,
                      int32_t duration);
    void showLevel(int32_t delay);
    void updateScoreLabel();
    void updateBulletsLabel();
    void updateBombsLabel();
    // Shakes the label about its place (x, y) and leaves it there.
    static void shakeLabel(Label* label, int32_t x, int32_t y);

    Sprite* getShip() const { return ship.get(); }
    Label* getScoreLabel() const { return scoreLabel.get(); }
    Label* getBulletsLabel() const { return bulletsLabel.get(); }
    Label* getBombsLabel() const { return bombsLabel.get(); }
    Label* getContinueLabel() const { return continueLabel.get(); }
    const std::vector<RefHolder<Sprite>>& getShots() const { return shots; }
    const std::vector<RefHolder<Sprite>>& getTiles() const { return tiles; }
    float getShipX() const { return shipX; }
    int32_t getFireCooldown() const { return fireCooldown; }
    bool isShotQueued() const { return shotQueued; }
    int32_t getSpawnTimer() const { return spawnTimer; }
    const Progression& getCooldownProgression() const { return cooldownProgression; }
    const Progression& getSpawnProgression() const { return spawnProgression; }
    const Progression& getFallProgression() const { return fallProgression; }
    const Progression& getWeaveProgression() const { return weaveProgression; }
    int32_t getBombs() const { return bombs; }
    int32_t getSpecialShotsLeft() const { return specialShotsLeft; }
    int32_t getSpecialKind() const { return specialKind; }
    bool isGameOver() const { return over; }
    bool isLevelCleared() const { return levelCleared; }
    int32_t getLevel() const { return level; }
    int32_t getScore() const { return score; }
    int32_t getHits() const { return hits; }
    int32_t getPowerUp() const { return powerUp; }
    int32_t getPreviousPowerUp() const { return previousPowerUp; }

private:
    // Shots, tiles and what was collected for the shot list, per frame.
    using SpriteList = std::vector<RefHolder<Sprite>>;

    void hitPass(SpriteList& pieces);
    void scoreHit(Sprite* tile, Sprite* shot, SpriteList& pieces);
    void fragBurst(int32_t x, int32_t y, int32_t pan, SpriteList& pieces);
    void awardPowerUp();
    void fire();
    void throwBomb();
    // Where the ship is steered for a pointer at x: as near as keeps it whole on the screen.
    float shipPlace(float x) const;
    void moveShip(int32_t elapsedMs);
    // The step while the game is over or the level cleared: the screen empties and, once the
    // wait is over, the continue caption shows.
    void waitForClick(int32_t elapsedMs);
    void showContinueLabel();
    // The header font (kept once asked for).
    Font* header();
    void showHighScores();
    void clearList(SpriteList& list, bool fade);
    Label* statusLabel(int32_t x, int32_t y, int32_t anchor);
    // A label of the game-over table, added as a component.
    // A label of the score table; with a width, its text is shortened with "..." to fit it.
    void tableLabel(const std::wstring& text, int32_t x, int32_t y, int32_t anchor, Font* font,
                    int32_t width = 0);
    // Pan 0..255 of a screen x.
    static int32_t panAt(int32_t x);
    static void play(Sound* sound, int32_t pan);
    // A sound of the section that is not held by the dialog.
    static void play(const std::string& key, const std::string& section, int32_t pan);
    // Closes at once, without the closing animation.
    void leave();

    RefHolder<Image> shotPicture;
    RefHolder<Image> sparkPicture;
    RefHolder<Sprite> ship;
    RefHolder<Label> scoreLabel;
    RefHolder<Label> bulletsLabel;
    RefHolder<Label> bombsLabel;
    RefHolder<Label> continueLabel;
    // The welcome's words of the last showing, gone before a new showing says them again.
    std::vector<RefHolder<Label>> introLabels;
    RefHolder<Sound> soundButton;
    RefHolder<Sound> soundDialogShow;
    RefHolder<Sound> soundTrophyArrives;
    RefHolder<Sound> soundTileHover;
    RefHolder<Sound> soundStuck;
    RefHolder<Sound> soundUseShuffle;
    RefHolder<Sound> soundElevatorDoorOpen;
    RefHolder<Image> symbolSheet;
    RefHolder<Image> tilePicture;
    RefHolder<Font> bigFont;
    RefHolder<Font> headerFont;
    RefHolder<Font> floaterFont;
    float shipTargetX = 0.0f;
    float shipX = 0.0f;
    float shipSpeed = 0.0f;
    int32_t fireCooldown = 0;
    Progression cooldownProgression{225.0f, 25.0f, 425.0f};
    bool shotQueued = false;
    int32_t spawnTimer = 0;
    Progression spawnProgression{1600.0f, -150.0f, 300.0f};
    Progression fallProgression{2200.0f, -75.0f, 600.0f};
    Progression weaveProgression{0.0f, 80.0f, 1000.0f};
    int32_t previousSpawnX = 0;
    int32_t bombs = 3;
    int32_t specialShotsLeft = 0;
    int32_t specialKind = SPECIAL_NONE;
    SpriteList shots;
    SpriteList tiles;
    SpriteList objects;
    bool over = false;
    bool levelCleared = false;
    int32_t wait = 0;
    int32_t level = 0;
    int32_t score = 0;
    int32_t hits = 0;
    int32_t powerUp = POWER_UP_NONE;
    int32_t previousPowerUp = POWER_UP_NONE;
    int32_t rapidFireTimer = 0;
};
