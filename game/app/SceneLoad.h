#pragma once

#include <cstdint>

#include "framework/core/RefHolder.h"
#include "framework/nodes/Sprite.h"
#include "game/screen/SceneQuovelMahjong.h"

// The second scene of every run: starts the game's music, drops the splash, shows the partners'
// logos of "media/properties/partners.xml" and fills a progress bar while the loader finishes
// the sections asked for at start-up. Then it plays a sound, shows the blinking click text and
// goes to the lobby on a click; a click made while loading is kept until loading is complete.
// Once loading is complete a light sweeps over the logo every one to four seconds.
class SceneLoad : public SceneQuovelMahjong {
    QUOVEL_TYPE(SceneLoad)
public:
    static constexpr const char* PARTNERS_FILE = "media/properties/partners.xml";

    explicit SceneLoad(PropertyNode* definition);
    ~SceneLoad() override;

    void loadResources() override;
    // None: its section, "preloading", also holds the fonts and dialog pictures of every scene,
    // some of them looked up only when a dialog is first made.
    std::string getLeftSection() const override { return std::string(); }
    void update(int32_t elapsedMs) override;
    // Any release of the left button: kept while loading, leaves for the lobby once complete.
    // False always, so the click goes on to other listeners.
    bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) override;

    // The bar's share for the loader's progress when the scene first measured `start`: it
    // counts from empty then; a loader already complete at the first look gives a full bar.
    static double barFraction(double start, double progress);

    // The countdown to the logo's next shine is shared by the whole run and starts it at 0, so
    // the first shine comes on the first frame after loading is complete. This puts it back
    // to 0, as at the start of a run.
    static void resetShineCountdown();

    bool isComplete() const { return complete; }
    bool isClickPending() const { return clickPending; }
    Sprite* getProgressBar() const { return progressBar.get(); }
    GameNode* getLoadingText() const { return loadingText.get(); }
    GameNode* getClickText() const { return clickText.get(); }

private:
    // The click text's callback.
    int32_t onClickText(BaseObject* sender);
    void startMusic();
    void addPartners();
    void setBarFraction(double fraction);
    void completeLoading();
    void animateShine(int32_t elapsedMs);

    bool complete = false;
    bool clickPending = false;
    double startProgress = -1.0;
    RefHolder<Sprite> progressBar;
    RefHolder<GameNode> loadingText;
    RefHolder<GameNode> clickText;
    RefHolder<GameNode> backgroundLogo;
    RefHolder<GameNode> logo;
};
