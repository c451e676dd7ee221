// The frame loop on the real lobby: every frame the picture presented is checked against the
// scene drawn afresh, so a change that fails to reach the screen fails here, while a still
// lobby draws nothing into the back buffer and presents nothing. The fake display takes only the
// rectangles a damaged frame hands it, as a texture that keeps the last picture would, so a
// change drawn outside them shows up as a stale screen.
#include "LobbyFixture.h"

#include <functional>

#include "framework/nodes/ModifierLocation.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/ImageDD.h"
#include "game/visuals/GameModifiers.h"
#include "game/visuals/ImageEffects.h"
#include "game/visuals/ModifierLabelValue.h"

namespace still_screen_test {

class StillScreen : public LobbyRoad {
protected:
    StillScreen() {
        display.keepShownPicture = true;
        window = GameWindow::getInstance();
        surface.width = 800;
        surface.height = 600;
        surface.pitch = 800 * 4;
        surface.bytesPerPixel = 4;
    }

    // One pass of the frame loop's tasks (the scenes, then the window), then the check that the
    // screen shows what the scene looks like now.
    void frame() {
        const uint64_t drawnBefore = window->getBackBuffer()->getChangeCount();
        const int presentsBefore = display.presentCount;
        manager->update(FRAME_MS);
        window->update(FRAME_MS);
        drew = window->getBackBuffer()->getChangeCount() != drawnBefore;
        presented = display.presentCount != presentsBefore;
        std::vector<uint8_t> picture = drawAfresh();
        pictureChanged = picture != lastPicture;
        // Swapped, not copied: the sanitized build copies a vector byte by byte.
        lastPicture.swap(picture);
        ++frameCount;
        drawnFrames += drew;
        changedFrames += pictureChanged;
        stillRun = drew ? 0 : stillRun + 1;
        longestStillRun = std::max(longestStillRun, stillRun);
        // Not EXPECT_EQ: the pictures are too large to print.
        ASSERT_TRUE(display.shownPicture == lastPicture) << "stale screen in frame " << frameCount;
        // A frame is shown exactly when its picture differs from the last one.
        ASSERT_EQ(presented, pictureChanged) << "frame " << frameCount;
    }
    void frames(int32_t ms) {
        for (int32_t time = 0; time < ms && !HasFatalFailure(); time += FRAME_MS) {
            frame();
        }
    }
    // The current scene drawn into a picture of its own, as the render pass draws it. The
    // picture is a surface over memory of the test's, which is not a picture the screen shows.
    std::vector<uint8_t> drawAfresh() {
        std::vector<uint8_t> pixels(static_cast<size_t>(800 * 600 * 4), 0);
        surface.pixels = pixels.data();
        RefHolder<Image> image(ImageDD::createSurface(surface));
        RefHolder<Graphics> graphics(image ? image->createGraphics() : nullptr);
        EXPECT_NE(graphics, nullptr);
        if (graphics) {
            manager->getRunningScene()->getRenderTask()->render(graphics.get());
        }
        return pixels;
    }
    // An opaque 60 x 30 picture of one color.
    static RefHolder<Image> solidPicture(uint32_t color) {
        RefHolder<Image> picture(Image::createImage(60, 30));
        RefHolder<Graphics> graphics(picture->createGraphics());
        graphics->setColor(color);
        graphics->fillRect(0, 0, 60, 30);
        graphics->fillChannel(Channel::ALPHA, 255);
        return picture;
    }
    // Runs frames until the lobby has drawn nothing for a while; false when it never settles.
    bool settle() {
        for (int32_t time = 0; time < 20000 && !HasFatalFailure(); time += FRAME_MS) {
            frame();
            if (stillRun >= 10) {
                return true;
            }
        }
        return false;
    }
    // Makes a change in a still lobby: the next frame must show a different picture.
    void expectShownAtOnce(const char* what, const std::function<void()>& change) {
        ASSERT_TRUE(settle()) << what;
        const std::vector<uint8_t> before = display.shownPicture;
        change();
        frame();
        EXPECT_TRUE(presented) << what;
        EXPECT_TRUE(display.shownPicture != before) << what;
    }

    GameWindow* window = nullptr;
    SurfaceMemory surface;
    std::vector<uint8_t> lastPicture;
    bool drew = false;
    bool presented = false;
    bool pictureChanged = false;
    int frameCount = 0;
    int drawnFrames = 0;
    int changedFrames = 0;
    int stillRun = 0;
    int longestStillRun = 0;
};

TEST_F(StillScreen, AFirstRunLobbyShowsBlinksCaretTypingAndShinesWhereTheyChangeAndNothingElse) {
    // No player yet: the name dialog is open over the lobby, its caret blinking, the porter's
    // eyes blinking now and then.
    showLobby();
    ASSERT_NE(dialog<DialogNameInput>("DIALOG_NEWPLAYER"), nullptr);
    // The pointer is kept process-wide: away from the doors, which would open instead of shining.
    pointAt(400, 60);
    frames(15000);
    EXPECT_GT(changedFrames, 20);
    // Only changes draw: a still frame neither copies the background nor compares the frame.
    // A change made while drawing (a label laying out its text) draws one frame more.
    EXPECT_LE(drawnFrames, 2 * changedFrames + 2);
    EXPECT_LT(drawnFrames, frameCount / 2);
    EXPECT_GE(longestStillRun, 20);
    // The changed frames show their damaged rectangles alone, on average a small part of the
    // screen.
    EXPECT_GT(display.rectPresentCount, changedFrames / 2);
    EXPECT_LT(display.presentedArea, display.rectPresentCount * int64_t{800 * 600 / 8});

    // Letters typed into the field and taken back, then the name taken: the dialog fades out.
    for (wchar_t c : std::wstring(L"Mei\b\b")) {
        send(WM_CHAR, static_cast<uint32_t>(c));
        frames(100);
    }
    EXPECT_EQ(dialog<DialogNameInput>("DIALOG_NEWPLAYER")->getNameInput()->getText(), L"M");
    send(WM_KEYDOWN, VK_RETURN);
    send(WM_KEYUP, VK_RETURN);
    frames(1000);
    EXPECT_EQ(currentName(), "M");
    // The host's first hint for the new player, closed.
    for (int tries = 0; tries < 5 && !lobby->getOpenDialogs().empty(); ++tries) {
        lobby->closeDialog(lobby->getOpenDialogs().front().get());
        frames(1000);
    }
    ASSERT_TRUE(lobby->getOpenDialogs().empty());

    // Without a dialog the shine sweeps over the doors.
    bool shineSeen = false;
    for (int32_t time = 0; time < 30000 && !shineSeen && !HasFatalFailure(); time += FRAME_MS) {
        frame();
        for (GameNode* node = lobby->getDoorRight()->getNextSibling();
             node && node != lobby->getDoorMiddle(); node = node->getNextSibling()) {
            shineSeen = shineSeen || (objectCast<AdditiveSprite>(node) && presented);
        }
    }
    EXPECT_TRUE(shineSeen);
    frames(2000);
    EXPECT_TRUE(settle());
}

TEST_F(StillScreen, LabelsModifiersPicturesRedrawnInPlaceAndDialogsReachTheScreen) {
    // A known player with the host's hints off: the lobby opens without a dialog.
    addPlayers({"Ada"});
    QuovelMahjongPlayer::current()->showHints = false;
    showLobby();
    auto* welcomeLabel = objectCast<Label>(lobby->findChild("LABEL_PLAYERNAME"));
    ASSERT_NE(welcomeLabel, nullptr);

    // A label counting up shows each value (the per-frame check), then the lobby is still.
    ASSERT_TRUE(settle());
    const int presentsBefore = display.presentCount;
    GameNode::addModifier(welcomeLabel, new ModifierLabelValue(600, 0, 40, 100, L"Score "));
    frames(800);
    EXPECT_EQ(welcomeLabel->getText(), L"Score 40");
    EXPECT_GE(display.presentCount - presentsBefore, 5);

    // A sprite moved by a modifier.
    expectShownAtOnce("move", [&] {
        GameNode::addModifier(welcomeLabel,
                              new ModifierLocationLine(welcomeLabel->getX(), welcomeLabel->getY(),
                                                       welcomeLabel->getX() + 120,
                                                       welcomeLabel->getY() + 40, 300, false));
    });
    frames(400);

    // A picture of our own on the lobby, then drawn over in place through a drawing context,
    // and turned grey pixel by pixel.
    RefHolder<Image> picture(solidPicture(0xFF2040FF));
    expectShownAtOnce("sprite", [&] {
        GameNode::appendChild(new Sprite(300, 260, picture.get()), lobby->getTree());
    });
    expectShownAtOnce("drawn in place", [&] {
        RefHolder<Graphics> graphics(picture->createGraphics());
        graphics->setColor(0xFFFFC000);
        graphics->fillRect(10, 5, 20, 10);
    });
    expectShownAtOnce("pixels in place", [&] { greyImageRect(picture.get(), 0, 0, 60, 30); });

    // A second picture over the first, then the first raised above it, hidden, shown again
    // with another picture of the same size.
    auto* first = new Sprite(200, 220, picture.get());
    expectShownAtOnce("linked", [&] { GameNode::appendChild(first, lobby->getTree()); });
    RefHolder<Image> cover(solidPicture(0xFF10C060));
    expectShownAtOnce("covered", [&] {
        GameNode::appendChild(new Sprite(230, 235, cover.get()), lobby->getTree());
    });
    expectShownAtOnce("raised", [&] { GameNode::appendChild(first, lobby->getTree()); });
    expectShownAtOnce("hidden", [&] { first->setVisible(false); });
    expectShownAtOnce("replaced", [&] {
        first->setVisible(true);
        RefHolder<Image> other(solidPicture(0xFFE0E0E0));
        first->setImage(other.get());
    });

    // A picture changing under another one it overlaps but for a column: the damage cuts the
    // upper one at an odd pixel, where its row loop would pair its pixels otherwise than whole.
    RefHolder<Image> lower(solidPicture(0xFF2040FF));
    expectShownAtOnce("underneath", [&] {
        GameNode::appendChild(new Sprite(401, 400, lower.get()), lobby->getTree());
        GameNode::appendChild(new Sprite(400, 400, cover.get()), lobby->getTree());
    });
    expectShownAtOnce("changed underneath", [&] { greyImageRect(lower.get(), 0, 0, 60, 30); });

    // A half-transparent glow fading under a plaque whose middle is opaque and whose rim is
    // not, its opaque part starting at an odd column: the fade redraws and shows the glow
    // around the plaque's middle alone.
    RefHolder<Image> glow(Image::createImage(180, 140));
    // The plaque's second frame is shown, so that its rows start below the picture's top.
    RefHolder<Image> plaque(Image::createImage(131, 162));
    {
        RefHolder<Graphics> graphics(glow->createGraphics());
        graphics->setColor(0xFFFFE080);
        graphics->fillRect(0, 0, 180, 140);
        graphics->fillChannel(Channel::ALPHA, 140);
        graphics = plaque->createGraphics();
        graphics->setColor(0xFF603010);
        graphics->fillRect(0, 0, 131, 162);
        graphics->fillChannel(Channel::ALPHA, 90);
        graphics->fillRectChannel(Channel::ALPHA, 255, 3, 85, 124, 73);
        plaque->setFrameCount(2);
    }
    auto* glowSprite = new Sprite(614, 100, glow.get());
    auto* plaqueSprite = new Sprite(634, 129, plaque.get());
    plaqueSprite->setFrame(1);
    expectShownAtOnce("glow", [&] {
        GameNode::appendChild(glowSprite, lobby->getTree());
        GameNode::appendChild(plaqueSprite, lobby->getTree());
    });
    for (int32_t alpha = 250; alpha > 100 && !HasFatalFailure(); alpha -= 9) {
        const int64_t areaBefore = display.presentedArea;
        glowSprite->setAlpha(alpha);
        frame();
        EXPECT_LE(display.presentedArea - areaBefore, 180 * 140 - 120 * 72) << alpha;
    }
    // A light sweeping over the plaque as the glow fades on: each frame shows the plaque's
    // strip where the light was and is, and the glow around the plaque's middle, alone.
    RefHolder<Image> light(Image::createImage(20, 100));
    {
        RefHolder<Graphics> graphics(light->createGraphics());
        graphics->setColor(0xFF604020);
        graphics->fillRect(0, 0, 20, 100);
        graphics->fillChannel(Channel::ALPHA, 200);
    }
    GameNode::addModifier(plaqueSprite, new ModifierShine(light.get(), 500));
    int sweptFrames = 0;
    for (int32_t alpha = 100; alpha < 250 && !HasFatalFailure(); alpha += 4) {
        const int64_t areaBefore = display.presentedArea;
        const Image* shown = plaqueSprite->getImage();
        glowSprite->setAlpha(alpha);
        frame();
        // The sweep's first and last frames change the plaque's picture for another.
        if (shown == plaqueSprite->getImage() && shown != plaque.get()) {
            ++sweptFrames;
            EXPECT_LE(display.presentedArea - areaBefore, 180 * 140 - 120 * 72 + 2 * 20 * 81)
                << alpha;
        }
    }
    EXPECT_GT(sweptFrames, 20);
    EXPECT_EQ(plaqueSprite->getImage(), plaque.get());

    // A dialog opening, fading in over frames.
    expectShownAtOnce("dialog", [&] { click(lobby->findChild("BUTTON_CHANGENAME")); });
    frames(600);
    EXPECT_NE(dialog<DialogPlayerSelect>("DIALOG_PLAYERSELECT"), nullptr);
    EXPECT_TRUE(settle());
}

}  // namespace still_screen_test
