#pragma once

#include <cstdint>
#include <string>

class Button;
class Label;
class LabelTicker;
class Panel;
class PlayScreen;

// The game screen's HUD, bound from the scene's definition: the pause, menu, hint, shuffle and
// undo buttons, the token labels, the score ticker and the level, matches, time and progress
// labels, each shown or hidden for the level's room, and the panel the board is centred in. The
// game scene owns it.
class GameHud {
public:
    explicit GameHud(PlayScreen& play);

    // Finds the widgets in the scene's tree; on the first show.
    void bind();

    // The level's HUD: the hint button and the match labels of its room, the name of its game
    // type, and every label's number with the widgets its room shows.
    void setHintButton();
    void setMatchLabels();
    void setGameTypeName();
    void updateHud();
    // Shows and hides the HUD widgets (and the bars) of the level's room.
    void showHudForRoom();

    // The buttons: all off while a state or a dialog holds the game; on, the shown ones.
    void enableHudButtons();
    void disableHudButtons();
    void enablePauseAndMenu();

    void updateLevelLabel();
    // The matches left on the board; a board with none that is stuck asks the stuck question.
    void updateMatchesText();
    void updateProgressLabel();
    // The token labels show the stocks' shown values.
    void updateShufflesLabel();
    void updateHintsLabel();

    // The ticker counts from the number it shows to the game's shown score.
    void restartScoreCount();
    // The ticker shows the score at once, without counting.
    void setScoreAtOnce(int32_t score);
    LabelTicker* getScoreTicker() const { return scoreTicker; }
    // The ticker's number, or null.
    Label* getScoreLabel() const;

    Button* getHintButton() const { return hintButton; }
    Button* getShuffleButton() const { return shuffleButton; }
    Label* getMatchesLabel() const { return matchesLabel; }
    Label* getTimeLabel() const { return timeLabel; }
    // The panel the board is centred in; null centres it on the screen.
    Panel* getLayoutPanel() const { return layoutPanel; }

private:
    Label* findLabel(const std::string& name);

    PlayScreen& play;

    Button* pauseButton = nullptr;
    Button* menuButton = nullptr;
    Button* shuffleButton = nullptr;
    Button* hintButton = nullptr;
    Button* undoButton = nullptr;
    Label* hintsLabel = nullptr;
    Label* shufflesLabel = nullptr;
    LabelTicker* scoreTicker = nullptr;
    Label* scoreCaption = nullptr;
    Label* levelLabel = nullptr;
    Label* levelCaption = nullptr;
    Label* matchesLabel = nullptr;
    Label* matchesCaption = nullptr;
    Label* timeLabel = nullptr;
    Label* timeCaption = nullptr;
    Label* progressLabel = nullptr;
    Panel* layoutPanel = nullptr;
};
